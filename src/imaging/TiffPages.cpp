#include "imaging/TiffPages.h"

#include "platform/Error.h"
#include "platform/FileOps.h"
#include "platform/WinPath.h"

#include <QFile>
#include <tiffio.h>

#include <cstring>
#include <vector>

namespace sc::imaging {

namespace {

// A growable in-memory file for libtiff.
struct MemoryFile {
    QByteArray bytes;
    qint64 position = 0;
};

tmsize_t readProc(thandle_t h, void* buf, tmsize_t size) {
    auto* f = static_cast<MemoryFile*>(h);
    const qint64 n = std::clamp<qint64>(f->bytes.size() - f->position, 0, size);
    std::memcpy(buf, f->bytes.constData() + f->position, size_t(n));
    f->position += n;
    return tmsize_t(n);
}

tmsize_t writeProc(thandle_t h, void* buf, tmsize_t size) {
    auto* f = static_cast<MemoryFile*>(h);
    if (f->position + size > f->bytes.size())
        f->bytes.resize(qsizetype(f->position + size));
    std::memcpy(f->bytes.data() + f->position, buf, size_t(size));
    f->position += size;
    return size;
}

toff_t seekProc(thandle_t h, toff_t offset, int whence) {
    auto* f = static_cast<MemoryFile*>(h);
    qint64 base = whence == SEEK_CUR ? f->position : whence == SEEK_END ? f->bytes.size() : 0;
    const qint64 target = base + qint64(offset);
    if (target < 0)
        return toff_t(-1);
    f->position = target;
    return toff_t(target);
}

int closeProc(thandle_t) {
    return 0;
}
toff_t sizeProc(thandle_t h) {
    return toff_t(static_cast<MemoryFile*>(h)->bytes.size());
}
int mapProc(thandle_t, void**, toff_t*) {
    return 0;
}
void unmapProc(thandle_t, void*, toff_t) {}

// libtiff reports to stderr by default; our callers get an sc::Error instead.
void quietHandlers() {
    static const bool done = [] {
        TIFFSetErrorHandler(nullptr);
        TIFFSetWarningHandler(nullptr);
        return true;
    }();
    (void)done;
}

TIFF* openMemory(MemoryFile& file, const char* mode) {
    quietHandlers();
    return TIFFClientOpen("page file", mode, &file, readProc, writeProc, seekProc, closeProc,
                          sizeProc, mapProc, unmapProc);
}

} // namespace

void appendTiffPage(const QString& path, const QImage& picture) {
    const QString host = winpath::hostPath(path);
    MemoryFile file;
    QFile existing(host);
    if (existing.exists()) {
        if (!existing.open(QIODevice::ReadOnly))
            throw Error(QStringLiteral("The page file %1 cannot be read").arg(path));
        file.bytes = existing.readAll();
        existing.close();
    }
    const bool append = !file.bytes.isEmpty();
    TIFF* tif = openMemory(file, append ? "a" : "w");
    if (!tif)
        throw Error(QStringLiteral("%1 is not a page file").arg(path));

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
    if (!fileops::writeFileReplacing(path, file.bytes))
        throw Error(QStringLiteral("The page file %1 cannot be written").arg(path));
}

QList<QSize> tiffPageSizes(const QString& path) {
    QFile f(winpath::hostPath(path));
    if (!f.open(QIODevice::ReadOnly))
        throw Error(QStringLiteral("The page file %1 cannot be read").arg(path));
    MemoryFile file;
    file.bytes = f.readAll();
    TIFF* tif = openMemory(file, "r");
    if (!tif)
        throw Error(QStringLiteral("%1 is not a page file").arg(path));
    QList<QSize> sizes;
    do {
        quint32 w = 0, h = 0;
        TIFFGetField(tif, TIFFTAG_IMAGEWIDTH, &w);
        TIFFGetField(tif, TIFFTAG_IMAGELENGTH, &h);
        sizes.append(QSize(int(w), int(h)));
    } while (TIFFReadDirectory(tif));
    TIFFClose(tif);
    return sizes;
}

} // namespace sc::imaging
