#pragma once

#include "imaging/Codecs.h"

#include <QImage>
#include <QSize>
#include <optional>

// What the JPEG and bitmap codecs (JpegCodec.cpp, BmpCodec.cpp, Codecs.cpp) tell each other;
// callers use Codecs.h.
namespace sc::imaging {

// Raises for a picture without pixels or larger than GKitImage::kMaxPixels.
void checkSize(qint64 width, qint64 height);

// A Format_RGB32 buffer of that size (a recycled one when there is); raises when there is no
// memory for it.
QImage allocate(int width, int height);

// The header fields of a JPEG or a bitmap; empty when the bytes do not hold them.
std::optional<PictureHeader> jpegHeader(const uchar* data, qsizetype size);
std::optional<PictureHeader> bmpHeader(const uchar* data, qsizetype size);

// The size a JPEG stored width × height decodes to at `scale` (see DecodeScale), with the
// EXIF orientation that tells which way it stands.
QSize jpegDecodedSize(int width, int height, int orientation, const DecodeScale& scale);

} // namespace sc::imaging
