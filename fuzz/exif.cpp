// JPEG metadata: the walk over a JPEG's header segments to its EXIF block and colour profile,
// the EXIF structure check, the orientation rewrite and the segments a saved copy carries.
// Input that does not start like a JPEG is taken as an EXIF block and wrapped in a minimal
// JPEG header, so that the fuzzer spends its time in the IFD parser.
// What a load keeps must come back unchanged from the segments a save writes, upright. The
// orientation is read from IFD0 alone, so a damaged block is dropped while its picture still
// turns upright: an empty block may come with any orientation.
#include "FuzzSupport.h"

#include "imaging/JpegMetadata.h"

#include <algorithm>

namespace {

using sc::imaging::JpegMetadata;

QByteArray asJpeg(const std::uint8_t* data, std::size_t size) {
    const auto* bytes = reinterpret_cast<const char*>(data);
    if (size >= 2 && data[0] == 0xff && data[1] == 0xd8)
        return QByteArray(bytes, qsizetype(size));
    // The segment length counts itself (2 bytes) and the "Exif\0\0" mark (6 bytes).
    const qsizetype payload = qsizetype(std::min<std::size_t>(size, 0xffff - 8));
    const qsizetype length = payload + 8;
    QByteArray jpeg("\xff\xd8\xff\xe1", 4);
    jpeg.append(char(length >> 8)).append(char(length & 0xff));
    jpeg.append("Exif\0\0", 6).append(bytes, payload);
    return jpeg.append("\xff\xd9", 2);
}

JpegMetadata metadataOf(const QByteArray& jpeg) {
    return sc::imaging::readJpegMetadata(reinterpret_cast<const uchar*>(jpeg.constData()),
                                         jpeg.size());
}

// A profile goes only into a stream of the colours it describes.
bool profileFits(const QByteArray& icc, bool grey) {
    return icc.size() >= 128 && icc.mid(16, 4) == (grey ? "GRAY" : "RGB ");
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const JpegMetadata found = metadataOf(asJpeg(data, size));
    SC_FUZZ_CHECK(found.orientation >= 1 && found.orientation <= 8);
    if (found.isEmpty())
        return 0;

    // As a load keeps it: the pixels are turned upright, the block says so (or is dropped
    // when the rewrite would damage it).
    JpegMetadata kept = found;
    kept.exif = sc::imaging::exifForCopy(found.exif);
    kept.orientation = 1;
    SC_FUZZ_CHECK(kept.exif.isEmpty() || kept.exif.size() == found.exif.size());
    for (const bool grey : {false, true}) {
        const QByteArray saved = QByteArray("\xff\xd8", 2) +
                                 sc::imaging::metadataSegments(kept, grey) +
                                 QByteArray("\xff\xd9", 2);
        const JpegMetadata copy = metadataOf(saved);
        SC_FUZZ_CHECK(copy.exif == kept.exif && copy.orientation == 1);
        SC_FUZZ_CHECK(copy.icc == (profileFits(kept.icc, grey) ? kept.icc : QByteArray()));
    }
    return 0;
}
