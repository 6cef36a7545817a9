#pragma once

#include <QImage>
#include <array>
#include <cstdint>

// Pixel work behind GKitImage, on Format_RGB32 pictures. Formulas are documented on the
// GKitImage members that use them.
namespace sc::imaging {

using Lut = std::array<std::uint8_t, 256>;

Lut identityLut();
Lut brightnessContrastLut(int brightness, int contrast);
Lut balanceLut(int value);
Lut lightnessLut(int lightness);

// One pass: each channel through its table.
void applyLuts(QImage& picture, const Lut& red, const Lut& green, const Lut& blue);
// One integer pass: hue turn and saturation in HSL at constant lightness, then `light` on
// every channel.
void applyHueSaturation(QImage& picture, int hue, int saturation, const Lut& light);

// Exact-size scaling: area averaging when neither side grows, smooth (bilinear) otherwise.
QImage resized(const QImage& picture, int width, int height);

// Reduces the colours to those of a depth code (see GKitImage::ChangeColorDepth).
void reduceColours(QImage& picture, int depth);

} // namespace sc::imaging
