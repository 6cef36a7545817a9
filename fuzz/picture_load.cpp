// Picture load: any bytes as a source picture (JPEG or BMP, told apart by content, EXIF
// orientation applied), loaded through the picture model as a job or the preview loads it.
// Either the load raises sc::Error and leaves the control empty, or it holds a whole picture
// within the size limit, made of the file's bytes, that saves as a JPEG which loads again at
// the same size.
#include "FuzzSupport.h"

#include "imaging/ByteOrder.h"
#include "imaging/GKitImage.h"
#include "platform/Error.h"

namespace {

// Saving re-encodes every pixel: only small pictures take that round, so that the fuzzer
// keeps its pace.
constexpr qint64 kSaveCheckPixels = 256 * 256;

bool knownDepth(int depth) {
    using sc::GKitImage;
    return depth == GKitImage::kDepthMono || depth == GKitImage::kDepthPalette16 ||
           depth == GKitImage::kDepthPalette256 || depth == GKitImage::kDepthGray ||
           depth == GKitImage::kDepthFull;
}

// An uncompressed bitmap's rows come from its bytes: a load that shows more pixels than the
// file holds has made rows up (a half-written file, or a tiny one claiming a huge size).
bool madeUpRows(const std::uint8_t* data, std::size_t size, const QImage& picture) {
    using sc::imaging::get16, sc::imaging::get32;
    if (size < 34 || data[0] != 'B' || data[1] != 'M')
        return false;
    const quint32 headerSize = get32(data + 14, true);
    int bits = 0;
    quint32 compression = 0;
    if (headerSize == 12) {
        bits = get16(data + 24, true);
    } else if (headerSize >= 40) {
        bits = get16(data + 28, true);
        compression = get32(data + 30, true);
    }
    const bool plainRows = compression == 0 || compression == 3 || compression == 6;
    return plainRows && qint64(picture.width()) * picture.height() * bits > qint64(size) * 8;
}

void checkSavedCopy(sc::GKitImage& image, const QString& path) {
    try {
        image.Save(path);
    } catch (const sc::Error&) {
        sc::fuzz::fail("a loaded picture cannot be saved");
    }
    sc::GKitImage copy;
    try {
        copy.Load(path);
    } catch (const sc::Error&) {
        sc::fuzz::fail("a saved picture cannot be loaded");
    }
    SC_FUZZ_CHECK(copy.image().size() == image.image().size());
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    sc::fuzz::quietQt();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static const sc::fuzz::ScratchFile source(QStringLiteral("source.jpg"));
    static const sc::fuzz::ScratchFile saved(QStringLiteral("saved.jpg"));
    source.write(data, size);

    sc::GKitImage image;
    try {
        image.Load(source.path());
    } catch (const sc::Error&) {
        SC_FUZZ_CHECK(image.isEmpty());
        return 0;
    }
    const QImage& picture = image.image();
    SC_FUZZ_CHECK(!picture.isNull() && picture.format() == QImage::Format_RGB32);
    const qint64 pixels = qint64(picture.width()) * picture.height();
    SC_FUZZ_CHECK(pixels > 0 && pixels <= sc::GKitImage::kMaxPixels);
    SC_FUZZ_CHECK(knownDepth(image.ColorDepth()));
    SC_FUZZ_CHECK(!madeUpRows(data, size, picture));
    if (pixels <= kSaveCheckPixels)
        checkSavedCopy(image, saved.path());
    return 0;
}
