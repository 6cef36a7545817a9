// Picture load: any bytes as a source picture (JPEG or BMP, told apart by content, EXIF
// orientation applied), loaded through the picture model as a job or the preview loads it.
// Either the load raises sc::Error and leaves the control empty, or it holds a whole picture
// within the size limit that saves as a JPEG which loads again at the same size.
#include "FuzzSupport.h"

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

void checkSavedCopy(sc::GKitImage& image, const QString& path) {
    try {
        image.Save(path);
    } catch (const sc::Error&) {
        sc::fuzz::fail("a loaded picture cannot be saved");
    }
    sc::GKitImage copy;
    copy.setInputFileName(path);
    try {
        copy.Load();
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
    image.setInputFileName(source.path());
    try {
        image.Load();
    } catch (const sc::Error&) {
        SC_FUZZ_CHECK(image.isEmpty());
        return 0;
    }
    const QImage& picture = image.image();
    SC_FUZZ_CHECK(!picture.isNull() && picture.format() == QImage::Format_RGB32);
    const qint64 pixels = qint64(picture.width()) * picture.height();
    SC_FUZZ_CHECK(pixels > 0 && pixels <= sc::GKitImage::kMaxPixels);
    SC_FUZZ_CHECK(knownDepth(image.ColorDepth()));
    if (pixels <= kSaveCheckPixels)
        checkSavedCopy(image, saved.path());
    return 0;
}
