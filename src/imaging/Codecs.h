#pragma once

#include "imaging/JpegMetadata.h"

#include <QByteArray>
#include <QIODevice>
#include <QImage>
#include <QString>

// Decoders and encoders behind GKitImage. Every decoder returns a Format_RGB32 picture or
// raises sc::Error; none allocates for a size above GKitImage::kMaxPixels.
namespace sc::imaging {

struct Decoded {
    QImage image;          // Format_RGB32
    int depth = 0;         // GKitImage depth code
    JpegMetadata metadata; // a JPEG's EXIF (orientation now 1) and colour profile
};

enum class FileKind { Jpeg, Bmp, Unknown };
FileKind sniff(const uchar* data, qsizetype size);

// TurboJPEG straight into the RGB32 buffer; CMYK/YCCK converted, EXIF orientation applied.
// How a JPEG that will only be shown small may be decoded small: at the smallest DCT scale
// (1/8, 1/4, 1/2) whose upright picture still covers `area`. Fit: the picture shown within
// `area` with its aspect kept (a view). Cover: both sides at least those of `area` (a picture
// cropped or shrunk to fill it). An empty area decodes whole.
struct DecodeScale {
    enum class Mode { Fit, Cover };
    QSize area;
    Mode mode = Mode::Fit;
};
Decoded decodeJpeg(const uchar* data, qsizetype size, DecodeScale scale = {});

// Any BMP that QImage reads, after our own header check against oversized claims.
Decoded decodeBmp(QIODevice& device);

// Quality level 1 … 10 as GKitImage documents it.
struct JpegSettings {
    int level = 7;
    bool progressive = false;
    bool gray = false;
    QByteArray segments; // marker segments to carry (metadataSegments), placed after SOI/APP0
};
// The JPEG bytes of `picture` (Format_RGB32).
QByteArray encodeJpeg(const QImage& picture, const JpegSettings& settings);

// 24-bit BMP bytes of `picture`.
QByteArray encodeBmp(const QImage& picture);

} // namespace sc::imaging
