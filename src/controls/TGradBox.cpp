#include "TGradBox.h"

#include <QPainter>
#include <cmath>

namespace sc::controls {

TGradBox::TGradBox(QWidget* parent) : QWidget(parent) {
    setAttribute(Qt::WA_TransparentForMouseEvents);
    setAttribute(Qt::WA_OpaquePaintEvent, false);
}

void TGradBox::setTopColor(const QColor& c) {
    if (c == topColor_)
        return;
    topColor_ = c;
    update();
}

void TGradBox::setLastColor(const QColor& c) {
    if (c == lastColor_)
        return;
    lastColor_ = c;
    update();
}

void TGradBox::setGradStyle(GradStyle s) {
    if (s == gradStyle_)
        return;
    gradStyle_ = s;
    update();
}

void TGradBox::setDrawOutLine(bool on) {
    if (on == drawOutLine_)
        return;
    drawOutLine_ = on;
    update();
}

void TGradBox::setOutLineColor(const QColor& c) {
    if (c == outLineColor_)
        return;
    outLineColor_ = c;
    // Only a drawn outline shows its colour.
    if (drawOutLine_)
        update();
}

// Each channel walks down from the start value by a fixed fraction per step, truncating only
// when an entry is taken; the last entry is the end colour itself.
std::array<QRgb, 256> TGradBox::ramp(const QColor& start, const QColor& end) {
    std::array<QRgb, 256> table{};
    double r = start.red(), g = start.green(), b = start.blue();
    const double dr = (start.red() - end.red()) / 255.0;
    const double dg = (start.green() - end.green()) / 255.0;
    const double db = (start.blue() - end.blue()) / 255.0;
    table[0] = qRgb(start.red(), start.green(), start.blue());
    for (int i = 1; i < 255; ++i) {
        r -= dr;
        g -= dg;
        b -= db;
        table[i] = qRgb(static_cast<int>(std::trunc(r)), static_cast<int>(std::trunc(g)),
                        static_cast<int>(std::trunc(b)));
    }
    table[255] = qRgb(end.red(), end.green(), end.blue());
    return table;
}

void TGradBox::paintEvent(QPaintEvent*) {
    QPainter p(this);
    const int w = width();
    const int h = height();
    if (gradStyle_ != gsNone) {
        const bool reversed = gradStyle_ == gsBottomTop || gradStyle_ == gsRightLeft;
        const auto table = reversed ? ramp(lastColor_, topColor_) : ramp(topColor_, lastColor_);
        const bool vertical = gradStyle_ == gsTopBottom || gradStyle_ == gsBottomTop;
        const double s = (vertical ? h : w) / 255.0;
        const int band = static_cast<int>(s + 1);
        // Bands overlap when the bar is shorter than the ramp: each pixel keeps the last entry
        // painted on it.
        int pos = 0;
        for (int j = 0; j < 256; ++j) {
            const QColor c = QColor::fromRgb(table[j]);
            if (vertical)
                p.fillRect(QRect(0, pos, w, band), c);
            else
                p.fillRect(QRect(pos, 0, band, h), c);
            pos = static_cast<int>(j * s);
        }
    }
    if (drawOutLine_ && w > 0 && h > 0) {
        p.fillRect(QRect(0, 0, w, 1), outLineColor_);
        p.fillRect(QRect(0, h - 1, w, 1), outLineColor_);
        p.fillRect(QRect(0, 0, 1, h), outLineColor_);
        p.fillRect(QRect(w - 1, 0, 1, h), outLineColor_);
    }
}

} // namespace sc::controls
