#pragma once

#include "imaging/JpegMetadata.h"

#include <QByteArray>
#include <QIODevice>
#include <QImage>
#include <QString>

#include <optional>

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

// What a picture's header claims, read without decoding it.
struct PictureHeader {
    FileKind kind = FileKind::Unknown;
    qint64 width = 0, height = 0; // as stored (a JPEG's EXIF orientation not applied)
    // A progressive (or multi-scan) JPEG is decoded through buffers that hold every DCT
    // coefficient of the frame at once: their size in bytes, 0 for a one-scan stream.
    qint64 coefficientBytes = 0;
};
// The header at the start of a JPEG or BMP file's bytes; empty when it cannot be read there
// (the file's load then fails on its own, before it allocates).
std::optional<PictureHeader> readPictureHeader(const uchar* data, qsizetype size);

// The most memory a load of that picture takes and holds while a job works on it (decoded
// pixels, a turned or tuned copy or the encoded bytes, a progressive decoder's coefficients),
// decoded at `scale`.
qint64 workingBytes(const PictureHeader& header, DecodeScale scale = {});

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
