#include "imaging/Codecs.h"

#include "imaging/Buffers.h"
#include "imaging/CodecParts.h"
#include "imaging/GKitImage.h"
#include "platform/Error.h"

#include <climits>

// What the JPEG and bitmap codecs share: which of the two a file is, what its header claims and
// what a job's work on it costs, and the size check and buffer of every decode.
namespace sc::imaging {

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

FileKind sniff(const uchar* data, qsizetype size) {
    if (size >= 3 && data[0] == 0xff && data[1] == 0xd8 && data[2] == 0xff)
        return FileKind::Jpeg;
    if (size >= 2 && data[0] == 'B' && data[1] == 'M')
        return FileKind::Bmp;
    return FileKind::Unknown;
}

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
        const QSize decoded = jpegDecodedSize(int(width), int(height), 1, scale);
        pixels = qint64(decoded.width()) * decoded.height();
    }
    // The picture and one more of its size: a turned copy, a tuned one, or the encoded bytes.
    return pixels * 4 * 2 + header.coefficientBytes;
}

} // namespace sc::imaging
