// The page file: any bytes as an existing multi-page TIFF that the print job appends a sheet
// to and the print control reads page by page. Reading either raises sc::Error or gives pages
// at their stated sizes; appending either raises sc::Error and leaves the file as it was, or
// leaves a file with one page more than it had, the sheet last and intact, and every page that
// could be read before unchanged.
#include "FuzzSupport.h"

#include "platform/Error.h"
#include "printing/TiffPages.h"

#include <optional>

namespace {

// Decoding a page costs its pixels: larger pages are only sized, so that the fuzzer keeps its
// pace.
constexpr qint64 kDecodePixels = 2'000'000;

QImage sheet() {
    QImage picture(5, 3, QImage::Format_RGB32);
    picture.fill(Qt::darkCyan);
    picture.setPixel(4, 2, qRgb(250, 10, 20));
    return picture;
}

struct Pages {
    QList<QSize> sizes;
    QList<QImage> pictures; // null for a page too large to decode or one that cannot be read
};

std::optional<Pages> readPages(const QString& path) {
    try {
        const sc::printing::TiffPageReader reader(path);
        Pages pages;
        for (int i = 0; i < reader.pageCount(); ++i) {
            const QSize size = reader.pageSize(i);
            pages.sizes.append(size);
            pages.pictures.append(QImage());
            if (qint64(size.width()) * size.height() > kDecodePixels)
                continue;
            try {
                pages.pictures.back() = reader.page(i);
            } catch (const sc::Error&) {
                continue; // a damaged page: printing it fails with a message
            }
            SC_FUZZ_CHECK(pages.pictures.back().size() == size &&
                          pages.pictures.back().format() == QImage::Format_RGB32);
        }
        return pages;
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
    const std::optional<Pages> pagesBefore = readPages(pageFile.path());

    try {
        sc::printing::appendTiffPage(pageFile.path(), page);
    } catch (const sc::Error&) {
        SC_FUZZ_CHECK(pageFile.read() == before);
        return 0;
    }
    const std::optional<Pages> pagesAfter = readPages(pageFile.path());
    SC_FUZZ_CHECK(pagesAfter && !pagesAfter->pictures.isEmpty() &&
                  pagesAfter->pictures.back() == page);
    if (!pagesBefore)
        return 0;
    SC_FUZZ_CHECK(pagesAfter->sizes.size() == pagesBefore->sizes.size() + 1);
    for (qsizetype i = 0; i < pagesBefore->sizes.size(); ++i)
        SC_FUZZ_CHECK(pagesBefore->pictures[i].isNull() ||
                      pagesAfter->pictures[i] == pagesBefore->pictures[i]);
    return 0;
}
