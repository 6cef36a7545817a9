#include "imaging/Codecs.h"

#include "imaging/BitmapRows.h"
#include "imaging/ByteOrder.h"
#include "imaging/CodecParts.h"
#include "imaging/GKitImage.h"
#include "platform/Error.h"

#include <QBuffer>
#include <QFile>
#include <QImageReader>
#include <QImageWriter>

#include <optional>
#include <vector>

// Windows bitmaps: the header, a fast path for the plain 16-, 24- and 32-bit kinds, Qt's reader
// for the rest behind checks that no row is made up, and the 24-bit encoder.
namespace sc::imaging {

std::optional<PictureHeader> bmpHeader(const uchar* d, qsizetype size) {
    if (size < 26)
        return std::nullopt;
    const quint32 headerSize = get32(d + 14, true);
    if (headerSize == 12)
        return PictureHeader{FileKind::Bmp, get16(d + 18, true), get16(d + 20, true), 0};
    if (headerSize < 16)
        return std::nullopt;
    const qint64 height = qint32(get32(d + 22, true));
    return PictureHeader{FileKind::Bmp, qint32(get32(d + 18, true)), height < 0 ? -height : height,
                         0};
}

namespace {

// One colour channel of a 16- or 32-bit bitmap: its bit mask, scaled to 0 … 255 by rounding
// (so a full 5-bit field reads 255, not 248).
struct Channel {
    quint32 mask = 0;
    int shift = 0;
    quint32 max = 0;

    explicit Channel(quint32 m) : mask(m) {
        if (!m)
            return;
        while (!(m & 1u))
            m >>= 1, ++shift;
        max = m;
    }
    quint32 operator()(quint32 pixel) const {
        if (!max)
            return 0;
        return quint32((quint64((pixel & mask) >> shift) * 255 + max / 2) / max);
    }
};

// Uncompressed 16-, 24- and 32-bit bitmaps (bit-field masks included), what cameras and
// editors write, are converted straight from the file into the picture's buffer; every
// other kind goes through Qt's reader. Short files never get here (requireEveryRow).
std::optional<Decoded> decodePlainBmp(QIODevice& device, const QByteArray& head) {
    auto* file = qobject_cast<QFile*>(&device);
    const auto* d = reinterpret_cast<const uchar*>(head.constData());
    if (!file || head.size() < 34)
        return std::nullopt;
    const quint32 headerSize = get32(d + 14, true);
    const qint32 width = qint32(get32(d + 18, true)), signedHeight = qint32(get32(d + 22, true));
    const int planes = get16(d + 26, true), bits = get16(d + 28, true);
    const quint32 compression = get32(d + 30, true), offset = get32(d + 10, true);
    const bool bitFields = compression == 3 && (bits == 16 || bits == 32);
    if (headerSize < 40 || headerSize > 124 || planes != 1 || width <= 0 || signedHeight == 0 ||
        !((compression == 0 && (bits == 16 || bits == 24 || bits == 32)) || bitFields))
        return std::nullopt;
    // Masks follow a 40-byte header, or sit at the same place inside a longer one.
    if (bitFields && (head.size() < 66 || (headerSize == 40 && offset < 14 + 40 + 12)))
        return std::nullopt;
    const Channel red(bitFields ? get32(d + 54, true) : bits == 16 ? 0x7c00u : 0xff0000u);
    const Channel green(bitFields ? get32(d + 58, true) : bits == 16 ? 0x03e0u : 0x00ff00u);
    const Channel blue(bitFields ? get32(d + 62, true) : bits == 16 ? 0x001fu : 0x0000ffu);
    const bool standard32 =
        bits == 32 && red.mask == 0xff0000u && green.mask == 0xff00u && blue.mask == 0xffu;

    const qint64 height = signedHeight < 0 ? -qint64(signedHeight) : signedHeight;
    const qint64 stride = (qint64(width) * bits + 31) / 32 * 4;
    if (offset < 14 + headerSize)
        return std::nullopt;
    std::vector<quint32> table; // 16-bit pixels: every value looked up once
    if (bits == 16) {
        table.resize(65536);
        for (quint32 v = 0; v < 65536; ++v)
            table[v] = 0xff000000u | red(v) << 16 | green(v) << 8 | blue(v);
    }
    const auto convertRow = [&](const uchar* in, quint32* out) {
        if (bits == 24) {
            widenBgrRow(in, out, width);
        } else if (standard32) {
            for (int x = 0; x < width; ++x, in += 4)
                out[x] = 0xff000000u | quint32(in[2]) << 16 | quint32(in[1]) << 8 | in[0];
        } else if (bits == 16) {
            for (int x = 0; x < width; ++x, in += 2)
                out[x] = table[get16(in, true)];
        } else {
            for (int x = 0; x < width; ++x, in += 4) {
                const quint32 v = get32(in, true);
                out[x] = 0xff000000u | red(v) << 16 | green(v) << 8 | blue(v);
            }
        }
    };
    Decoded result;
    result.depth = GKitImage::kDepthFull;
    result.image = allocate(width, int(height));
    // Read in strips of about a megabyte rather than mapped whole: two pictures read at once
    // then hold two strips in memory, not two whole files.
    const qint64 stripRows = std::max<qint64>(1, (1 << 20) / stride);
    QByteArray strip(stripRows * stride, Qt::Uninitialized);
    for (qint64 first = 0; first < height; first += stripRows) {
        const qint64 rows = std::min(stripRows, height - first);
        if (!file->seek(offset + stride * first) ||
            file->read(strip.data(), stride * rows) != stride * rows)
            throw Error(QStringLiteral("The bitmap cannot be read"));
        for (qint64 r = 0; r < rows; ++r) {
            const qint64 row = first + r; // rows run bottom-up unless the height is negative
            const qint64 y = signedHeight > 0 ? height - 1 - row : row;
            convertRow(reinterpret_cast<const uchar*>(strip.constData()) + stride * r,
                       reinterpret_cast<quint32*>(result.image.scanLine(int(y))));
        }
    }
    return result;
}

// An uncompressed or bit-field bitmap must hold every row its header promises; any reader
// would otherwise make up the missing rows (and a tiny file claiming a huge size would cost a
// huge allocation). Checked before either decoder sees the file.
void requireEveryRow(QIODevice& device, const QByteArray& head, qint64 width, qint64 height,
                     int bits, quint32 compression) {
    constexpr quint32 kNone = 0, kBitFields = 3, kAlphaBitFields = 6;
    const bool wholeRows =
        compression == kNone || ((compression == kBitFields || compression == kAlphaBitFields) &&
                                 (bits == 16 || bits == 32));
    if (!wholeRows || !(bits == 1 || bits == 2 || bits == 4 || bits == 8 || bits == 16 ||
                        bits == 24 || bits == 32))
        return;
    const auto* d = reinterpret_cast<const uchar*>(head.constData());
    // Readers take the pixels from the stated offset, or straight after the header when the
    // offset points into it.
    const qint64 start = std::max<qint64>(get32(d + 10, true), 14 + qint64(get32(d + 14, true)));
    const qint64 stride = (width * bits + 31) / 32 * 4;
    if (device.size() < start + stride * height)
        throw Error(QStringLiteral("The bitmap is shorter than its header says"));
}

// A run-length bitmap must code every row, or reach its end-of-bitmap mark, before the file
// ends; a cut one would load with made-up rows. Walks the codes without decoding them.
void requireWholeRunLengths(QIODevice& device, const QByteArray& head, qint64 width, qint64 height,
                            quint32 compression) {
    constexpr quint32 kRle8 = 1, kRle4 = 2;
    if ((compression != kRle8 && compression != kRle4) || head.size() < 14)
        return;
    const qint64 start = get32(reinterpret_cast<const uchar*>(head.constData()) + 10, true);
    const QByteArray file = device.peek(device.size());
    const QByteArrayView data = QByteArrayView(file).sliced(std::min<qint64>(start, file.size()));
    const auto* b = reinterpret_cast<const uchar*>(data.data());
    const qint64 end = data.size();
    qint64 at = 0, row = 0, x = 0;
    while (row < height) {
        if (at + 2 > end)
            break;
        const int count = b[at], code = b[at + 1];
        at += 2;
        if (count > 0) {
            x += count;
        } else if (code == 0) {
            ++row, x = 0;
        } else if (code == 1) {
            return; // the end of the bitmap: the rest is left blank by design
        } else if (code == 2) {
            if (at + 2 > end)
                break;
            x += b[at], row += b[at + 1];
            at += 2;
        } else { // `code` literal pixels, padded to whole 16-bit words
            const qint64 bytes = compression == kRle8 ? code : (code + 1) / 2;
            if (at + bytes > end)
                break;
            x += code;
            at += (bytes + 1) / 2 * 2;
        }
    }
    const bool lastRowWhole = row == height - 1 && x >= width; // only its end mark missing
    if (row < height && !lastRowWhole)
        throw Error(QStringLiteral("The bitmap ends before its last row"));
}

} // namespace

Decoded decodeBmp(QIODevice& device) {
    // Our own look at the header first, so that a claimed size far above what we accept fails
    // before the reader allocates for it.
    const QByteArray bytes = device.peek(70);
    const auto* d = reinterpret_cast<const uchar*>(bytes.constData());
    if (bytes.size() < 26)
        throw Error(QStringLiteral("The bitmap is truncated"));
    const quint32 headerSize = get32(d + 14, true);
    qint64 width, height;
    int bits;
    quint32 compression = 0; // none
    if (headerSize == 12) {
        width = get16(d + 18, true);
        height = get16(d + 20, true);
        bits = get16(d + 24, true);
    } else {
        if (bytes.size() < 30 || headerSize < 16)
            throw Error(QStringLiteral("The bitmap header is damaged"));
        width = qint32(get32(d + 18, true));
        height = qint32(get32(d + 22, true));
        bits = get16(d + 28, true);
        if (headerSize >= 20 && bytes.size() >= 34)
            compression = get32(d + 30, true);
        if (height < 0)
            height = -height;
    }
    checkSize(width, height);
    requireEveryRow(device, bytes, width, height, bits, compression);
    requireWholeRunLengths(device, bytes, width, height, compression);
    if (auto plain = decodePlainBmp(device, bytes))
        return std::move(*plain);

    // Qt refuses pictures above 128 MB by default; ours may reach kMaxPixels of 32 bits.
    static const bool limitRaised = [] {
        QImageReader::setAllocationLimit(int(GKitImage::kMaxPixels * 4 / (1024 * 1024)) + 64);
        return true;
    }();
    (void)limitRaised;

    QImageReader reader(&device, "bmp");
    QImage image;
    if (!reader.read(&image) || image.isNull())
        throw Error(QStringLiteral("Not a readable bitmap: %1").arg(reader.errorString()));

    Decoded result;
    result.depth = GKitImage::kDepthFull;
    if (bits <= 8 && image.format() == QImage::Format_Indexed8) {
        bool allGrey = true;
        for (QRgb c : image.colorTable())
            allGrey = allGrey && qRed(c) == qGreen(c) && qGreen(c) == qBlue(c);
        result.depth = bits == 1   ? GKitImage::kDepthMono
                       : bits <= 4 ? GKitImage::kDepthPalette16
                       : allGrey   ? GKitImage::kDepthGray
                                   : GKitImage::kDepthPalette256;
    } else if (bits == 1) {
        result.depth = GKitImage::kDepthMono;
    }
    if (image.format() != QImage::Format_RGB32)
        image.convertTo(QImage::Format_RGB32);
    if (image.isNull())
        throw Error(QStringLiteral("Not enough memory to convert the bitmap"));
    result.image = std::move(image);
    return result;
}

QByteArray encodeBmp(const QImage& picture) {
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    QImageWriter writer(&buffer, "bmp");
    if (!writer.write(picture.convertToFormat(QImage::Format_RGB888)))
        throw Error(QStringLiteral("The bitmap cannot be encoded: %1").arg(writer.errorString()));
    return bytes;
}

} // namespace sc::imaging
