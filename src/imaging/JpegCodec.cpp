#include "imaging/Codecs.h"

#include "imaging/ByteOrder.h"
#include "imaging/CodecParts.h"
#include "imaging/GKitImage.h"
#include "platform/Error.h"

#include <QTransform>
#include <turbojpeg.h>

#include <limits>
#include <memory>
#include <optional>

// JPEG through TurboJPEG: the frame header, the decoder (small DCT scales, CMYK, EXIF
// orientation) and the encoder.
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

QSize jpegDecodedSize(int width, int height, int orientation, const DecodeScale& scale) {
    const tjscalingfactor factor{1, scaleDivisor(width, height, orientation, scale)};
    return QSize(TJSCALED(width, factor), TJSCALED(height, factor));
}

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
    const QSize scaled = jpegDecodedSize(width, height, result.metadata.orientation, decodeScale);
    const int scaledWidth = scaled.width(), scaledHeight = scaled.height();
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

} // namespace sc::imaging
