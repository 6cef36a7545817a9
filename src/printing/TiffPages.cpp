#include "printing/TiffPages.h"

#include "imaging/ByteOrder.h"
#include "imaging/GKitImage.h"
#include "platform/Error.h"
#include "platform/FileFailure.h"
#include "platform/FileKinds.h"
#include "platform/FileOps.h"
#include "platform/FileWrites.h"
#include "platform/WinPath.h"

#include <QFileInfo>
#include <tiffio.h>

#include <cerrno>
#include <cstring>
#include <set>
#include <vector>

namespace sc::printing {

namespace {

using imaging::get16;
using imaging::get32;

// --- libtiff on a QFile (reading), so a page file is never read into memory whole ----------

tmsize_t fileRead(thandle_t h, void* buf, tmsize_t size) {
    return tmsize_t(static_cast<QFile*>(h)->read(static_cast<char*>(buf), size));
}
tmsize_t fileWrite(thandle_t, void*, tmsize_t) {
    return -1;
}
toff_t fileSeek(thandle_t h, toff_t offset, int whence) {
    auto* f = static_cast<QFile*>(h);
    const qint64 base = whence == SEEK_CUR ? f->pos() : whence == SEEK_END ? f->size() : 0;
    const qint64 target = base + qint64(offset);
    if (target < 0 || !f->seek(target))
        return toff_t(-1);
    return toff_t(target);
}
toff_t fileSize(thandle_t h) {
    return toff_t(static_cast<QFile*>(h)->size());
}

// --- one new page written in memory, placed as if it followed `base` bytes of a file --------

// libtiff writes the 8-byte header at the start and everything else at the end of the file.
// The header goes to `header` (the first page's offset lands there); the rest to `tail`,
// whose first byte sits at file offset `base`.
struct PageSink {
    QByteArray header = QByteArray(8, '\0');
    QByteArray tail;
    qint64 base = 8;
    qint64 position = 0;
};

tmsize_t sinkRead(thandle_t, void*, tmsize_t) {
    return 0;
}
tmsize_t sinkWrite(thandle_t h, void* buf, tmsize_t size) {
    auto* s = static_cast<PageSink*>(h);
    const auto* bytes = static_cast<const char*>(buf);
    if (s->position + size <= 8) {
        std::memcpy(s->header.data() + s->position, bytes, size_t(size));
    } else if (s->position >= s->base) {
        const qint64 at = s->position - s->base;
        if (at + size > s->tail.size())
            s->tail.resize(qsizetype(at + size), '\0');
        std::memcpy(s->tail.data() + at, bytes, size_t(size));
    } else {
        return -1; // the existing pages are never written through libtiff
    }
    s->position += size;
    return size;
}
toff_t sinkSeek(thandle_t h, toff_t offset, int whence) {
    auto* s = static_cast<PageSink*>(h);
    const qint64 end = s->base + s->tail.size();
    const qint64 base = whence == SEEK_CUR ? s->position : whence == SEEK_END ? end : 0;
    const qint64 target = base + qint64(offset);
    if (target < 0)
        return toff_t(-1);
    s->position = target;
    return toff_t(target);
}
toff_t sinkSize(thandle_t h) {
    const auto* s = static_cast<PageSink*>(h);
    return toff_t(s->base + s->tail.size());
}

int noClose(thandle_t) {
    return 0;
}
int noMap(thandle_t, void**, toff_t*) {
    return 0;
}
void noUnmap(thandle_t, void*, toff_t) {}

// libtiff reports to stderr by default; our callers get an sc::Error instead.
void quietHandlers() {
    static const bool done = [] {
        TIFFSetErrorHandler(nullptr);
        TIFFSetWarningHandler(nullptr);
        return true;
    }();
    (void)done;
}

TIFF* openForReading(QFile& file) {
    quietHandlers();
    if (!file.seek(0)) // libtiff reads the header from where the file stands
        return nullptr;
    return TIFFClientOpen("page file", "rm", &file, fileRead, fileWrite, fileSeek, noClose,
                          fileSize, noMap, noUnmap);
}

Error damaged(const QString& path, const char* why) {
    return Error(QStringLiteral("The page file %1 is damaged: %2").arg(path, QLatin1String(why)));
}

QByteArray readAt(QFile& file, qint64 offset, qint64 size) {
    if (!file.seek(offset))
        return {};
    return file.read(size);
}

// Where the chain of pages ends: how many there are and where the last "next page" offset
// sits (the header's first-page offset for a file without pages).
struct PageChain {
    bool littleEndian = true;
    int pages = 0;
    qint64 lastLink = 4;
};

// A page's directory entries: every value kept outside the directory lies inside the file, and
// the page says how many bytes its pixel data take. Without that count libtiff guesses it from
// the file's size, and the page would read differently once another page follows it.
void checkEntries(const QByteArray& entries, bool littleEndian, qint64 fileSize,
                  const QString& path) {
    // Bytes per value of the TIFF field types 1 … 13; other types are skipped by readers.
    static constexpr int kTypeSize[] = {0, 1, 1, 2, 4, 8, 1, 1, 2, 4, 8, 4, 8, 4};
    const auto* e = reinterpret_cast<const uchar*>(entries.constData());
    bool byteCounts = false;
    for (qsizetype at = 0; at + 12 <= entries.size(); at += 12) {
        const quint16 tag = get16(e + at, littleEndian), type = get16(e + at + 2, littleEndian);
        byteCounts = byteCounts || tag == TIFFTAG_STRIPBYTECOUNTS || tag == TIFFTAG_TILEBYTECOUNTS;
        if (type < 1 || type > 13)
            continue;
        const quint64 bytes = quint64(get32(e + at + 4, littleEndian)) * kTypeSize[type];
        if (bytes > 4 && quint64(get32(e + at + 8, littleEndian)) + bytes > quint64(fileSize))
            throw damaged(path, "a page's data lies outside the file");
    }
    if (!byteCounts)
        throw damaged(path, "a page does not say where its data ends");
}

// Follows the chain of directories without trusting any offset: each must lie inside the
// file and be met once only. libtiff itself would walk a loop forever when appending.
PageChain followChain(QFile& file, const QString& path) {
    const qint64 size = file.size();
    const QByteArray head = readAt(file, 0, 8);
    if (head.size() < 8)
        throw Error(QStringLiteral("%1 is not a page file").arg(path));
    const auto* h = reinterpret_cast<const uchar*>(head.constData());
    PageChain chain;
    if (h[0] == 'I' && h[1] == 'I')
        chain.littleEndian = true;
    else if (h[0] == 'M' && h[1] == 'M')
        chain.littleEndian = false;
    else
        throw Error(QStringLiteral("%1 is not a page file").arg(path));
    if (get16(h + 2, chain.littleEndian) != 42)
        throw Error(QStringLiteral("%1 is not a page file this program writes").arg(path));

    std::set<quint32> seen;
    quint32 offset = get32(h + 4, chain.littleEndian);
    while (offset != 0) {
        if (!seen.insert(offset).second)
            throw damaged(path, "its pages loop");
        const QByteArray countBytes = readAt(file, offset, 2);
        if (offset < 8 || countBytes.size() < 2)
            throw damaged(path, "a page lies outside the file");
        const quint16 entries =
            get16(reinterpret_cast<const uchar*>(countBytes.constData()), chain.littleEndian);
        const qint64 link = qint64(offset) + 2 + 12 * qint64(entries);
        const QByteArray next = readAt(file, link, 4);
        if (entries == 0 || link + 4 > size || next.size() < 4)
            throw damaged(path, "a page is cut short");
        checkEntries(readAt(file, qint64(offset) + 2, 12 * qint64(entries)), chain.littleEndian,
                     size, path);
        ++chain.pages;
        chain.lastLink = link;
        offset = get32(reinterpret_cast<const uchar*>(next.constData()), chain.littleEndian);
    }
    return chain;
}

// Every page of the chain must be one libtiff reads, with all its pixel data inside the file
// and none over the last page's link, which an appended page changes.
void checkPages(QFile& file, const QString& path, const PageChain& chain) {
    const int pages = chain.pages;
    if (pages == 0)
        return;
    TIFF* tif = openForReading(file);
    if (!tif)
        throw damaged(path, "its first page cannot be read");
    const quint64 size = quint64(file.size()), link = quint64(chain.lastLink);
    bool ok = true;
    for (int page = 0; ok && page < pages; ++page) {
        if (page > 0 && !TIFFReadDirectory(tif)) {
            ok = false;
            break;
        }
        quint32 w = 0, h = 0;
        TIFFGetField(tif, TIFFTAG_IMAGEWIDTH, &w);
        TIFFGetField(tif, TIFFTAG_IMAGELENGTH, &h);
        const quint32 pieces = TIFFIsTiled(tif) ? TIFFNumberOfTiles(tif) : TIFFNumberOfStrips(tif);
        ok = w > 0 && h > 0 && pieces > 0;
        for (quint32 i = 0; ok && i < pieces; ++i) {
            int err = 0;
            const quint64 at = TIFFGetStrileOffsetWithErr(tif, i, &err);
            const quint64 count = err ? 0 : TIFFGetStrileByteCountWithErr(tif, i, &err);
            ok = !err && count > 0 && at <= size && count <= size - at &&
                 (at >= link + 4 || at + count <= link);
        }
    }
    TIFFClose(tif);
    if (!ok)
        throw damaged(path, "a page cannot be read whole");
}

// The chain of an existing page file, checked to its end.
PageChain checkedChain(QFile& file, const QString& path) {
    const PageChain chain = followChain(file, path);
    checkPages(file, path, chain);
    return chain;
}

// The page as libtiff writes it after `base` bytes of a file in the given byte order.
PageSink encodePage(const QImage& picture, bool littleEndian, qint64 base, const QString& path) {
    quietHandlers();
    PageSink sink;
    sink.base = base;
    TIFF* tif = TIFFClientOpen("page file", littleEndian ? "wl" : "wb", &sink, sinkRead, sinkWrite,
                               sinkSeek, noClose, sinkSize, noMap, noUnmap);
    if (!tif)
        throw Error(QStringLiteral("The page cannot be added to %1").arg(path));
    const int w = picture.width(), h = picture.height();
    bool ok = TIFFSetField(tif, TIFFTAG_IMAGEWIDTH, quint32(w)) &&
              TIFFSetField(tif, TIFFTAG_IMAGELENGTH, quint32(h)) &&
              TIFFSetField(tif, TIFFTAG_BITSPERSAMPLE, 8) &&
              TIFFSetField(tif, TIFFTAG_SAMPLESPERPIXEL, 3) &&
              TIFFSetField(tif, TIFFTAG_PHOTOMETRIC, PHOTOMETRIC_RGB) &&
              TIFFSetField(tif, TIFFTAG_PLANARCONFIG, PLANARCONFIG_CONTIG) &&
              TIFFSetField(tif, TIFFTAG_COMPRESSION, COMPRESSION_NONE) &&
              TIFFSetField(tif, TIFFTAG_ORIENTATION, ORIENTATION_TOPLEFT) &&
              TIFFSetField(tif, TIFFTAG_SUBFILETYPE, FILETYPE_PAGE) &&
              TIFFSetField(tif, TIFFTAG_ROWSPERSTRIP, TIFFDefaultStripSize(tif, 0));
    // Rows go through a scratch buffer: libtiff may rewrite what it is handed.
    std::vector<uchar> row(size_t(w) * 3);
    for (int y = 0; ok && y < h; ++y) {
        const auto* px = reinterpret_cast<const quint32*>(picture.constScanLine(y));
        for (int x = 0; x < w; ++x) {
            row[size_t(x) * 3] = uchar(px[x] >> 16);
            row[size_t(x) * 3 + 1] = uchar(px[x] >> 8);
            row[size_t(x) * 3 + 2] = uchar(px[x]);
        }
        ok = TIFFWriteScanline(tif, row.data(), quint32(y), 0) == 1;
    }
    ok = ok && TIFFWriteDirectory(tif);
    TIFFClose(tif);
    if (!ok)
        throw Error(QStringLiteral("The page cannot be added to %1").arg(path));
    return sink;
}

// Copies `from` into `to` in pieces, with the 4 bytes at `patchAt` replaced by `patch`. False
// when `from` cannot be read to its end; a failed write shows in `to`.
bool copyPatched(QFile& from, fileops::ReplacingFile& to, qint64 patchAt, const char* patch) {
    constexpr qint64 kChunk = 1 << 20;
    if (!from.seek(0))
        return false;
    for (qint64 at = 0; at < from.size(); at += kChunk) {
        QByteArray chunk = from.read(kChunk);
        if (chunk.isEmpty())
            return false;
        for (int i = 0; i < 4; ++i) {
            const qint64 inChunk = patchAt + i - at;
            if (inChunk >= 0 && inChunk < chunk.size())
                chunk[qsizetype(inChunk)] = patch[i];
        }
        if (!to.write(chunk))
            break;
    }
    return true;
}

} // namespace

void appendTiffPage(const QString& path, const QImage& picture) {
    const QString host = winpath::hostPath(path);
    QFile existing(host);
    const bool append = existing.exists() && existing.size() > 0;
    if (append) {
        if (const int failure = fileops::openRegularFile(path, existing))
            throw fileFailure(FileAction::Read, path, failure);
    }
    const PageChain chain = append ? checkedChain(existing, path) : PageChain{};

    const qint64 base = append ? (existing.size() + 1) & ~qint64(1) : 8;
    const PageSink page = encodePage(picture, chain.littleEndian, base, path);
    if (base > std::numeric_limits<quint32>::max() - page.tail.size())
        throw Error(QStringLiteral("The page file %1 is full").arg(path));

    // The page file only lives until it is printed: checked, not synced.
    fileops::ReplacingFile written(path, fileops::Durability::Scratch);
    if (append) {
        // libtiff put the new page's offset in its header, in the file's byte order: the
        // last page's link gets those bytes.
        if (!copyPatched(existing, written, chain.lastLink, page.header.constData() + 4))
            throw fileFailure(FileAction::Read, path, EIO);
        written.write(QByteArray(base - existing.size(), '\0'));
    } else {
        written.write(page.header);
    }
    written.write(page.tail);
    if (written.error() != 0)
        written.raise();
    QFile check(written.temporaryHostPath());
    if (!check.open(QIODevice::ReadOnly) || checkedChain(check, path).pages != chain.pages + 1)
        throw Error(QStringLiteral("The page cannot be added to %1").arg(path));
    check.close();
    existing.close();
    if (!written.commit())
        written.raise();
}

TiffPageReader::TiffPageReader(const QString& path)
    : m_path(path), m_file(winpath::hostPath(path)) {
    if (!m_file.open(QIODevice::ReadOnly))
        throw Error(QStringLiteral("The page file %1 cannot be read").arg(path));
    m_pageCount = checkedChain(m_file, path).pages;
    m_tif = m_pageCount > 0 ? openForReading(m_file) : nullptr;
    if (m_pageCount > 0 && !m_tif)
        throw damaged(path, "its first page cannot be read");
}

TiffPageReader::~TiffPageReader() {
    if (m_tif)
        TIFFClose(m_tif);
}

void TiffPageReader::select(int index) const {
    if (index < 0 || index >= m_pageCount || !TIFFSetDirectory(m_tif, tdir_t(index)))
        throw damaged(m_path, "a page cannot be read");
}

QSize TiffPageReader::pageSize(int index) const {
    select(index);
    quint32 w = 0, h = 0;
    TIFFGetField(m_tif, TIFFTAG_IMAGEWIDTH, &w);
    TIFFGetField(m_tif, TIFFTAG_IMAGELENGTH, &h);
    return QSize(int(w), int(h));
}

QImage TiffPageReader::page(int index) const {
    const QSize size = pageSize(index);
    if (qint64(size.width()) * size.height() > GKitImage::kMaxPixels)
        throw damaged(m_path, "a page is too large");
    // RGBA8888 holds bytes in the order libtiff's packed RGBA puts them in memory.
    QImage rgba(size, QImage::Format_RGBA8888);
    if (rgba.isNull() ||
        !TIFFReadRGBAImageOriented(m_tif, quint32(size.width()), quint32(size.height()),
                                   reinterpret_cast<quint32*>(rgba.bits()), ORIENTATION_TOPLEFT, 1))
        throw damaged(m_path, "a page cannot be read");
    return rgba.convertToFormat(QImage::Format_RGB32);
}

QList<QSize> tiffPageSizes(const QString& path) {
    const TiffPageReader reader(path);
    QList<QSize> sizes;
    for (int i = 0; i < reader.pageCount(); ++i)
        sizes.append(reader.pageSize(i));
    return sizes;
}

} // namespace sc::printing
