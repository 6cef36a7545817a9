// The page file: any bytes as an existing multi-page TIFF that the print job appends a sheet
// to, and whose pages are counted. Counting either raises sc::Error or ends; appending either
// raises sc::Error and leaves the file as it was, or leaves a file that reads whole with the
// new sheet as its last page, one page more than the file had.
#include "FuzzSupport.h"

#include "imaging/TiffPages.h"
#include "platform/Error.h"

#include <optional>

namespace {

QImage sheet() {
    QImage picture(5, 3, QImage::Format_RGB32);
    picture.fill(Qt::darkCyan);
    return picture;
}

std::optional<QList<QSize>> pagesOf(const QString& path) {
    try {
        return sc::imaging::tiffPageSizes(path);
    } catch (const sc::Error&) {
        return std::nullopt;
    }
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    sc::fuzz::quietQt();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static const sc::fuzz::ScratchFile pageFile(QStringLiteral("bg_tate.tif"));
    static const QImage page = sheet();
    pageFile.write(data, size);
    const QByteArray before = pageFile.read();
    const std::optional<QList<QSize>> pagesBefore = pagesOf(pageFile.path());

    try {
        sc::imaging::appendTiffPage(pageFile.path(), page);
    } catch (const sc::Error&) {
        SC_FUZZ_CHECK(pageFile.read() == before);
        return 0;
    }
    const std::optional<QList<QSize>> pagesAfter = pagesOf(pageFile.path());
    SC_FUZZ_CHECK(pagesAfter && !pagesAfter->isEmpty() && pagesAfter->back() == page.size());
    if (pagesBefore)
        SC_FUZZ_CHECK(pagesAfter->size() == pagesBefore->size() + 1);
    return 0;
}
