// How the shining speed button draws itself: the gradient face, the shadowed caption that a
// press moves in, the frame and the focus mark.
#include "TShineSpeedButton.h"

#include "SystemColors.h"

#include <QPainter>

namespace sc::controls {

QColor TShineSpeedButton::rampStep(const QColor& start, const QColor& end, int e) {
    auto ch = [e](int a, int b) { return a + (b - a) * e / 255; };
    return QColor(ch(start.red(), end.red()), ch(start.green(), end.green()),
                  ch(start.blue(), end.blue()));
}

// A glyph that sits low in its line (the full-width low line) or high may fall on the frame
// lines of a small button: moves the caption's ink, with its shadow copy, inside the frame
// whenever it fits there. Returns the vertical shift for the baseline at `baseline`.
int TShineSpeedButton::inkShiftIntoFrame(const QFontMetrics& fm, int baseline) const {
    if (caption_.isEmpty() || frameType_ == ftFlatFrame)
        return 0;
    const QRect ink = fm.tightBoundingRect(caption_);
    const int top = baseline + ink.top();
    const int bottom = baseline + ink.bottom() + (fontShadow_.isValid() ? 1 : 0);
    // Rows 0, 1 and height - 2, height - 1 carry the outline and the frame; a pressed caption
    // moves one row further down.
    const int firstRow = 2;
    const int lastRow = height() - 4;
    if (bottom - top > lastRow - firstRow)
        return 0;
    if (bottom > lastRow)
        return lastRow - bottom;
    if (top < firstRow)
        return firstRow - top;
    return 0;
}

void TShineSpeedButton::paintEvent(QPaintEvent*) {
    const int w = width();
    const int h = height();
    if (w <= 0 || h <= 0)
        return;
    QPainter p(this);
    const bool sunken = look_ == lsPressed || look_ == lsDown;
    const Colors& c = sunken ? pressed_ : colors_;

    // Face: the 256-step ramp spread over the whole button.
    if (c.gradation) {
        const int len = c.gradVertical ? h : w;
        for (int i = 0; i < len; ++i) {
            const int e = len > 1 ? i * 255 / (len - 1) : 0;
            const QColor col = rampStep(c.color, c.gradColor, e);
            if (c.gradVertical)
                p.fillRect(QRect(0, i, w, 1), col);
            else
                p.fillRect(QRect(i, 0, 1, h), col);
        }
    } else {
        p.fillRect(rect(), c.color);
    }

    // Caption, centred on one line and pushed in by a pixel while pressed or down.
    const bool bold = look_ == lsHover || look_ == lsPressed;
    const QFont f = bold ? activeFont() : font();
    p.setFont(f);
    const QFontMetrics fm(f);
    const QPoint shift = sunken ? QPoint(1, 1) : QPoint(0, 0);
    QPoint at =
        QPoint((w - fm.horizontalAdvance(caption_)) / 2, (h - fm.height()) / 2 + fm.ascent());
    at.ry() += inkShiftIntoFrame(fm, at.y());
    at += shift;
    auto text = [&](const QColor& col, QPoint offset) {
        p.setPen(col);
        p.drawText(at + offset, caption_);
    };
    if (look_ == lsDisabled) {
        text(syscolor::buttonHighlight(), QPoint(1, 1));
        text(syscolor::buttonShadow(), QPoint(0, 0));
    } else {
        if (fontShadow_.isValid())
            text(fontShadow_, QPoint(1, 1));
        if (fontHighlight_.isValid())
            text(fontHighlight_, QPoint(-1, -1));
        text(fontColor_, QPoint(0, 0));
    }

    paintFrame(p, sunken);
    // Inside the frame lines, over the caption, as the desktop marks a focused button.
    if (showsFocusMark() && w > 4 && h > 4)
        sc::controls::drawFocusMark(p, QRect(2, 2, w - 4, h - 4), fontColor_);
}

void TShineSpeedButton::paintFrame(QPainter& p, bool sunken) const {
    const int w = width();
    const int h = height();
    const bool frameOn = (look_ == lsUp || look_ == lsDisabled) ? upFrame_
                         : look_ == lsDown                      ? downFrame_
                                                                : activeFrame_;
    if (!frameOn || w < 3 || h < 3)
        return;
    const QColor topLeft = sunken ? pressed_.shadow : colors_.highlight;
    const QColor bottomRight = sunken ? pressed_.highlight : colors_.shadow;
    switch (frameType_) {
    case ftEnclosedFrame:
        p.fillRect(QRect(1, 1, w - 3, 1), topLeft);
        p.fillRect(QRect(1, 1, 1, h - 3), topLeft);
        p.fillRect(QRect(2, h - 2, w - 3, 1), bottomRight);
        p.fillRect(QRect(w - 2, 2, 1, h - 3), bottomRight);
        p.setPen(Qt::NoPen);
        p.fillRect(QRect(0, 0, w, 1), colors_.darkShadow);
        p.fillRect(QRect(0, h - 1, w, 1), colors_.darkShadow);
        p.fillRect(QRect(0, 0, 1, h), colors_.darkShadow);
        p.fillRect(QRect(w - 1, 0, 1, h), colors_.darkShadow);
        break;
    case ftNormalFrame:
        p.fillRect(QRect(0, 0, w - 1, 1), topLeft);
        p.fillRect(QRect(0, 0, 1, h - 1), topLeft);
        p.fillRect(QRect(0, h - 1, w, 1), sunken ? bottomRight : colors_.darkShadow);
        p.fillRect(QRect(w - 1, 0, 1, h), sunken ? bottomRight : colors_.darkShadow);
        p.fillRect(QRect(1, h - 2, w - 2, 1), bottomRight);
        p.fillRect(QRect(w - 2, 1, 1, h - 2), bottomRight);
        break;
    case ftFlatFrame:
        p.fillRect(QRect(0, 0, w - 1, 1), topLeft);
        p.fillRect(QRect(0, 0, 1, h - 1), topLeft);
        p.fillRect(QRect(0, h - 1, w, 1), bottomRight);
        p.fillRect(QRect(w - 1, 0, 1, h), bottomRight);
        break;
    }
}

} // namespace sc::controls
