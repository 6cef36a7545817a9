#pragma once

#include "DesignFont.h"

#include <QColor>
#include <QEvent>
#include <QFont>
#include <QImage>
#include <QObject>
#include <QRect>
#include <QWidget>
#include <functional>

namespace sc::test {

// The window's font, mapped to the Japanese face as the program maps it, without
// antialiasing so that every text pixel has exactly the colour it was drawn in.
inline QFont crispDesignFont(int pixelSize) {
    registerDesignFont();
    QFont f(QStringLiteral("ＭＳ Ｐゴシック"));
    f.setPixelSize(pixelSize);
    f.setStyleStrategy(QFont::NoAntialias);
    return f;
}

inline QImage grabImage(QWidget& w) {
    return w.grab().toImage().convertToFormat(QImage::Format_RGB32);
}

inline QColor at(const QImage& img, int x, int y) {
    return img.pixelColor(x, y);
}

// The smallest rectangle holding every pixel of exactly `c`; empty when there is none.
inline QRect boundsOf(const QImage& img, const QColor& c) {
    QRect r;
    for (int y = 0; y < img.height(); ++y)
        for (int x = 0; x < img.width(); ++x)
            if (img.pixelColor(x, y) == c)
                r |= QRect(x, y, 1, 1);
    return r;
}

inline int countOf(const QImage& img, const QColor& c) {
    int n = 0;
    for (int y = 0; y < img.height(); ++y)
        for (int x = 0; x < img.width(); ++x)
            n += img.pixelColor(x, y) == c;
    return n;
}

// Counts the paint events a widget receives.
class PaintCounter : public QObject {
public:
    explicit PaintCounter(QWidget* w) { w->installEventFilter(this); }
    int count = 0;
    bool eventFilter(QObject*, QEvent* e) override {
        if (e->type() == QEvent::Paint)
            ++count;
        return false;
    }
};

} // namespace sc::test
