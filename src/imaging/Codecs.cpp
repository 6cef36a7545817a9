#include "imaging/Codecs.h"

#include "imaging/BitmapRows.h"
#include "imaging/Buffers.h"
#include "imaging/ByteOrder.h"
#include "imaging/GKitImage.h"
#include "platform/Error.h"

#include <QBuffer>
#include <QFile>
#include <QImageReader>
#include <QImageWriter>
#include <QTransform>
#include <turbojpeg.h>

#include <climits>
#include <memory>
#include <optional>
#include <vector>

namespace sc::imaging {

namespace {

struct TjDeleter {
    void operator()(void* h) const { tjDestroy(h); }
};
using TjHandle = std::unique_ptr<void, TjDeleter>;

// A fresh handle per picture: after an error, or after a progressive encode, TurboJPEG 2.x
// handles can carry state into the next call. Creating one costs microseconds.
TjHandle decompressor() {
    TjHandle handle(tjInitDecompress());
    if (!handle)
        throw Error(QStringLiteral("The JPEG decoder cannot start"));
    return handle;
}

TjHandle compressor() {
    TjHandle handle(tjInitCompress());
    if (!handle)
        throw Error(QStringLiteral("The JPEG encoder cannot start"));
    return handle;
}

QString tjMessage(tjhandle h) {
    return QString::fromLocal8Bit(tjGetErrorStr2(h));
}

void checkSize(qint64 width, qint64 height) {
    if (width <= 0 || height <= 0)
        throw Error(QStringLiteral("The picture has no pixels"));
    if (width * height > GKitImage::kMaxPixels)
        throw Error(QStringLiteral("The picture is too large (%1 x %2)").arg(width).arg(height));
}

QImage allocate(int width, int height) {
    QImage image = takeBuffer(width, height);
    if (image.isNull())
        throw Error(
            QStringLiteral("Not enough memory for a %1 x %2 picture").arg(width).arg(height));
    return image;
}

// Adobe applications (and most others) store CMYK inverted; rendered that way the picture
// looks as intended. Converts in place: the CMYK samples occupy the RGB32 buffer.
void cmykToRgb32(QImage& image) {
    for (int y = 0; y < image.height(); ++y) {
        auto* px = reinterpret_cast<uchar*>(image.scanLine(y));
        auto* out = reinterpret_cast<quint32*>(px);
        for (int x = 0; x < image.width(); ++x, px += 4) {
            const unsigned k = px[3];
            const unsigned r = (px[0] * k + 127) / 255;
            const unsigned g = (px[1] * k + 127) / 255;
            const unsigned b = (px[2] * k + 127) / 255;
            out[x] = 0xff000000u | (r << 16) | (g << 8) | b;
        }
    }
}

QImage oriented(QImage image, int orientation) {
    switch (orientation) {
    case 2:
        return image.mirrored(true, false);
    case 3:
        return image.transformed(QTransform().rotate(180));
    case 4:
        return image.mirrored(false, true);
    case 5:
        return image.transformed(QTransform().rotate(90)).mirrored(true, false);
    case 6:
        return image.transformed(QTransform().rotate(90));
    case 7:
        return image.transformed(QTransform().rotate(90)).mirrored(false, true);
    case 8:
        return image.transformed(QTransform().rotate(270));
    default:
        return image;
    }
}

} // namespace

FileKind sniff(const uchar* data, qsizetype size) {
    if (size >= 3 && data[0] == 0xff && data[1] == 0xd8 && data[2] == 0xff)
        return FileKind::Jpeg;
    if (size >= 2 && data[0] == 'B' && data[1] == 'M')
        return FileKind::Bmp;
    return FileKind::Unknown;
}

namespace {

// The DCT scale (1, 1/2, 1/4 or 1/8, TurboJPEG's fast ones) at which a stored picture of
// width × height still covers `scale.area` once upright (see DecodeScale).
int scaleDivisor(int width, int height, int orientation, const DecodeScale& scale) {
    if (scale.area.isEmpty())
        return 1;
    const bool turned = orientation >= 5; // stored on its side
    QSize needed = scale.area;
    if (scale.mode == DecodeScale::Mode::Fit)
        needed = (turned ? QSize(height, width) : QSize(width, height))
                     .scaled(scale.area, Qt::KeepAspectRatio)
                     .expandedTo(QSize(1, 1));
    if (turned)
        needed.transpose();
    for (const int divisor : {8, 4, 2}) {
        const tjscalingfactor factor{1, divisor};
        if (TJSCALED(width, factor) >= needed.width() &&
            TJSCALED(height, factor) >= needed.height())
            return divisor;
    }
    return 1;
}

} // namespace

namespace {

// The frame header (SOFn) of a JPEG: its size, and for a progressive or multi-scan stream the
// coefficient buffers a decoder keeps for the whole frame (libjpeg: 64 16-bit values per
// 8 x 8 block of every component, padded to whole blocks of each component's samples).
std::optional<PictureHeader> jpegHeader(const uchar* data, qsizetype size) {
    qsizetype at = 2;
    while (at + 4 <= size && data[at] == 0xff) {
        const uchar marker = data[at + 1];
        if (marker == 0xff) {
            ++at;
            continue;
        }
        const qsizetype length = data[at + 2] << 8 | data[at + 3];
        const bool frame =
            marker >= 0xc0 && marker <= 0xcf && marker != 0xc4 && marker != 0xc8 && marker != 0xcc;
        if (marker == 0xda || marker == 0xd9 || length < 2 || at + 2 + length > size)
            return std::nullopt;
        if (frame) {
            const uchar* f = data + at + 4;
            if (length < 8 || length < 8 + 3 * f[5])
                return std::nullopt;
            PictureHeader header{FileKind::Jpeg, get16(f + 3, false), get16(f + 1, false), 0};
            const int components = f[5];
            int hMax = 1, vMax = 1;
            for (int c = 0; c < components; ++c) {
                hMax = std::max(hMax, f[7 + 3 * c] >> 4);
                vMax = std::max(vMax, f[7 + 3 * c] & 15);
            }
            const bool wholeFrameBuffered =
                marker == 0xc2 || marker == 0xc6 || marker == 0xca || marker == 0xce;
            for (int c = 0; wholeFrameBuffered && c < components; ++c) {
                const int h = std::max(1, f[7 + 3 * c] >> 4), v = std::max(1, f[7 + 3 * c] & 15);
                const qint64 blocksWide = (header.width * h + 8 * hMax - 1) / (8 * hMax);
                const qint64 blocksHigh = (header.height * v + 8 * vMax - 1) / (8 * vMax);
                header.coefficientBytes += (blocksWide + h) * (blocksHigh + v) * 64 * 2;
            }
            return header;
        }
        at += 2 + length;
    }
    return std::nullopt;
}

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

} // namespace

std::optional<PictureHeader> readPictureHeader(const uchar* data, qsizetype size) {
    switch (sniff(data, size)) {
    case FileKind::Jpeg:
        return jpegHeader(data, size);
    case FileKind::Bmp:
        return bmpHeader(data, size);
    default:
        return std::nullopt;
    }
}

qint64 workingBytes(const PictureHeader& header, DecodeScale scale) {
    const qint64 width = std::max<qint64>(0, header.width),
                 height = std::max<qint64>(0, header.height);
    qint64 pixels = width * height;
    if (header.kind == FileKind::Jpeg && width <= INT_MAX && height <= INT_MAX) {
        const tjscalingfactor factor{1, scaleDivisor(int(width), int(height), 1, scale)};
        pixels = qint64(TJSCALED(int(width), factor)) * TJSCALED(int(height), factor);
    }
    // The picture and one more of its size: a turned copy, a tuned one, or the encoded bytes.
    return pixels * 4 * 2 + header.coefficientBytes;
}

Decoded decodeJpeg(const uchar* data, qsizetype size, DecodeScale decodeScale) {
    const TjHandle handle = decompressor();
    tjhandle h = handle.get();
    int width = 0, height = 0, subsamp = 0, colorspace = 0;
    if (quint64(size) > std::numeric_limits<unsigned long>::max() ||
        tjDecompressHeader3(h, data, static_cast<unsigned long>(size), &width, &height, &subsamp,
                            &colorspace) != 0)
        throw Error(QStringLiteral("Not a readable JPEG: %1").arg(tjMessage(h)));
    checkSize(width, height);

    Decoded result;
    result.metadata = readJpegMetadata(data, size);
    const tjscalingfactor scale{
        1, scaleDivisor(width, height, result.metadata.orientation, decodeScale)};
    const int scaledWidth = TJSCALED(width, scale), scaledHeight = TJSCALED(height, scale);
    result.image = allocate(scaledWidth, scaledHeight);
    const bool cmyk = colorspace == TJCS_CMYK || colorspace == TJCS_YCCK;
    // A damaged stream (warnings) is refused rather than shown half grey: a job would
    // otherwise replace a source that a repair tool might still rescue.
    const int flags = TJFLAG_STOPONWARNING | TJFLAG_LIMITSCANS;
    if (tjDecompress2(h, data, static_cast<unsigned long>(size), result.image.bits(), scaledWidth,
                      int(result.image.bytesPerLine()), scaledHeight, cmyk ? TJPF_CMYK : TJPF_BGRX,
                      flags) != 0)
        throw Error(QStringLiteral("The JPEG cannot be decoded: %1").arg(tjMessage(h)));
    if (cmyk)
        cmykToRgb32(result.image);
    result.depth = colorspace == TJCS_GRAY ? GKitImage::kDepthGray : GKitImage::kDepthFull;
    if (result.metadata.orientation != 1)
        result.image = oriented(std::move(result.image), result.metadata.orientation)
                           .convertToFormat(QImage::Format_RGB32);
    // The pixels now stand upright, so a copy that keeps the EXIF block must say so.
    result.metadata.exif = exifForCopy(std::move(result.metadata.exif));
    result.metadata.orientation = 1;
    return result;
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

QByteArray encodeJpeg(const QImage& picture, const JpegSettings& s) {
    Q_ASSERT(picture.format() == QImage::Format_RGB32);
    const TjHandle handle = compressor();
    tjhandle h = handle.get();
    const int level = std::clamp(s.level, 1, 10);
    const int subsamp = s.gray ? TJSAMP_GRAY : level < 10 ? TJSAMP_420 : TJSAMP_444;
    unsigned char* out = nullptr;
    unsigned long outSize = 0;
    const int flags = s.progressive ? TJFLAG_PROGRESSIVE : 0;
    if (tjCompress2(h, picture.constBits(), picture.width(), int(picture.bytesPerLine()),
                    picture.height(), TJPF_BGRX, &out, &outSize, subsamp, level * 10, flags) != 0) {
        tjFree(out);
        throw Error(QStringLiteral("The JPEG cannot be encoded: %1").arg(tjMessage(h)));
    }
    std::unique_ptr<unsigned char, void (*)(unsigned char*)> guard(out, tjFree);
    const auto* bytes = reinterpret_cast<const char*>(out);
    if (s.segments.isEmpty())
        return QByteArray(bytes, qsizetype(outSize));
    // The kept segments follow SOI and the JFIF APP0 segment, which must come first.
    qsizetype head = 2;
    if (outSize >= 6 && out[2] == 0xff && out[3] == 0xe0)
        head = std::min<qsizetype>(4 + (out[4] << 8 | out[5]), qsizetype(outSize));
    QByteArray joined;
    joined.reserve(qsizetype(outSize) + s.segments.size());
    joined.append(bytes, head).append(s.segments).append(bytes + head, qsizetype(outSize) - head);
    return joined;
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
