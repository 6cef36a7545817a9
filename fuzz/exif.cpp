// EXIF metadata: the walk over a JPEG's header segments to its EXIF block and that block's
// first IFD. Input that does not start like a JPEG is taken as an EXIF block and wrapped in a
// minimal JPEG header, so that the fuzzer spends its time in the IFD parser.
#include "FuzzSupport.h"

#include "imaging/Codecs.h"

#include <algorithm>

namespace {

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

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const QByteArray jpeg = asJpeg(data, size);
    const auto* bytes = reinterpret_cast<const uchar*>(jpeg.constData());
    const int orientation = sc::imaging::jpegOrientation(bytes, jpeg.size());
    SC_FUZZ_CHECK(orientation >= 1 && orientation <= 8);
    return 0;
}
