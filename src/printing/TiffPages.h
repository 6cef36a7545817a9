#pragma once

#include <QFile>
#include <QImage>
#include <QList>
#include <QSize>
#include <QString>

typedef struct tiff TIFF;

namespace sc::printing {

// Appends `picture` (Format_RGB32) as the next page of the multi-page TIFF at `path`, created
// when absent: 24-bit RGB, uncompressed. The existing pages are streamed, never held in memory
// together, into a temporary file beside the target, which is checked and then renamed over it.
// Raises sc::Error, leaving the file as it was, when the existing file's page chain cannot be
// followed to its end (a loop, an offset outside the file, a page whose data is missing, lies
// outside the file or over the last page's link, or has no byte counts) or when the written
// file does not hold one page more.
void appendTiffPage(const QString& path, const QImage& picture);

// Reads the pages of a page file one at a time. The whole page chain is checked as the file
// opens, so a looping or damaged file raises sc::Error at once instead of printing half.
class TiffPageReader {
public:
    explicit TiffPageReader(const QString& path);
    ~TiffPageReader();
    TiffPageReader(const TiffPageReader&) = delete;
    TiffPageReader& operator=(const TiffPageReader&) = delete;

    int pageCount() const { return m_pageCount; }
    QSize pageSize(int index) const;
    // The page as a Format_RGB32 picture, whatever its colour model or compression.
    QImage page(int index) const;

private:
    void select(int index) const;

    QString m_path;
    mutable QFile m_file;
    TIFF* m_tif = nullptr;
    int m_pageCount = 0;
};

// Sizes of the pages of a TIFF file, for callers that check a page file.
QList<QSize> tiffPageSizes(const QString& path);

} // namespace sc::printing
