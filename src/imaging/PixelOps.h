#pragma once

#include <QImage>

// Pixel work behind GKitImage, on Format_RGB32 pictures. Formulas are documented on the
// GKitImage members that use them.
namespace sc::imaging {

// Exact-size scaling: area averaging when neither side grows, smooth (bilinear) otherwise.
QImage resized(const QImage& picture, int width, int height);

// Reduces the colours to those of a depth code (see GKitImage::ChangeColorDepth).
void reduceColours(QImage& picture, int depth);

} // namespace sc::imaging
