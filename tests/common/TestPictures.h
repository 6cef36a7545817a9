#pragma once

#include <QImage>
#include <QRandomGenerator>
#include <cmath>

namespace sc::test {

// A photograph-like test picture: smooth colour gradients with some fine detail.
inline QImage photoLike(int w, int h, quint32 seed = 1) {
    QImage image(w, h, QImage::Format_RGB32);
    QRandomGenerator rng(seed);
    for (int y = 0; y < h; ++y) {
        auto* px = reinterpret_cast<QRgb*>(image.scanLine(y));
        for (int x = 0; x < w; ++x) {
            const int r = int(127 + 100 * std::sin(x * 0.05) + rng.bounded(-8, 9));
            const int g = int(127 + 100 * std::cos(y * 0.07) + rng.bounded(-8, 9));
            const int b = (x + y) * 255 / (w + h);
            px[x] = qRgb(std::clamp(r, 0, 255), std::clamp(g, 0, 255), b);
        }
    }
    return image;
}

inline QImage filled(int w, int h, QRgb colour) {
    QImage image(w, h, QImage::Format_RGB32);
    image.fill(colour);
    return image;
}

// Largest channel difference between two pictures of one size.
inline int maxDifference(const QImage& a, const QImage& b) {
    int worst = 0;
    for (int y = 0; y < a.height(); ++y)
        for (int x = 0; x < a.width(); ++x) {
            const QRgb p = a.pixel(x, y), q = b.pixel(x, y);
            worst = std::max({worst, std::abs(qRed(p) - qRed(q)), std::abs(qGreen(p) - qGreen(q)),
                              std::abs(qBlue(p) - qBlue(q))});
        }
    return worst;
}

inline double meanSquaredError(const QImage& a, const QImage& b) {
    double sum = 0;
    for (int y = 0; y < a.height(); ++y)
        for (int x = 0; x < a.width(); ++x) {
            const QRgb p = a.pixel(x, y), q = b.pixel(x, y);
            const int dr = qRed(p) - qRed(q), dg = qGreen(p) - qGreen(q), db = qBlue(p) - qBlue(q);
            sum += dr * dr + dg * dg + db * db;
        }
    return sum / (3.0 * a.width() * a.height());
}

} // namespace sc::test
