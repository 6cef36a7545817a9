#include "TShadowLabel.h"

#include "SystemColors.h"

#include <QEvent>
#include <QPainter>
#include <cstdlib>

TShadowLabel::TShadowLabel(QWidget* parent) : QLabel(parent) {
    setAttribute(Qt::WA_TransparentForMouseEvents);
    setAutoFillBackground(false);
    setTextFormat(Qt::PlainText);
}

template <typename T> void TShadowLabel::change(T& member, const T& value) {
    if (member == value)
        return;
    member = value;
    // The shadow's offset decides how far a label that keeps its text whole must grow.
    if (design_.isValid())
        growAroundText();
    else
        update();
}

int TShadowLabel::fontHeight() const {
    const int px = font().pixelSize();
    return px > 0 ? -px : -QFontMetrics(font()).ascent();
}

void TShadowLabel::setFontColor(const QColor& c) {
    change(fontColor_, c);
}
void TShadowLabel::setShadowVisible(bool on) {
    change(shadow_.visible, on);
}
void TShadowLabel::setShadowColor(const QColor& c) {
    change(shadow_.color, c);
}
void TShadowLabel::setShadowOffset(const QPoint& offset) {
    change(shadow_.offset, offset);
}
void TShadowLabel::setHighlightVisible(bool on) {
    change(highlight_.visible, on);
}
void TShadowLabel::setHighlightColor(const QColor& c) {
    change(highlight_.color, c);
}
void TShadowLabel::setHighlightOffset(const QPoint& offset) {
    change(highlight_.offset, offset);
}
void TShadowLabel::setEllipsis(Ellipsis e) {
    change(ellipsis_, e);
}

void TShadowLabel::setFontHeight(int height) {
    if (height == 0 || font().pixelSize() == std::abs(height))
        return;
    QFont f = font();
    f.setPixelSize(height < 0 ? -height : height);
    setFont(f);
}

int TShadowLabel::textFlags() const {
    int flags = Qt::TextExpandTabs;
    const Qt::Alignment h = alignment() & Qt::AlignHorizontal_Mask;
    if (h & Qt::AlignRight)
        flags |= Qt::AlignRight;
    else if (h & Qt::AlignHCenter)
        flags |= Qt::AlignHCenter;
    else
        flags |= Qt::AlignLeft;
    if (wordWrap())
        flags |= Qt::TextWordWrap;
    return flags;
}

// An empty caption still occupies one line.
QString TShadowLabel::shownText() const {
    QString t = text().isEmpty() ? QStringLiteral(" ") : text();
    if (ellipsis_ != elNone && !wordWrap()) {
        t = QFontMetrics(font()).elidedText(
            t, ellipsis_ == elEnd ? Qt::ElideRight : Qt::ElideMiddle, width());
    }
    return t;
}

QRect TShadowLabel::textRectIn(const QSize& size) const {
    QRect r(QPoint(0, 0), size);
    const int h = QFontMetrics(font()).boundingRect(r, textFlags(), shownText()).height();
    const Qt::Alignment v = alignment() & Qt::AlignVertical_Mask;
    // A text taller than the label moves up by half the excess, as it moves down when shorter.
    if (v & Qt::AlignVCenter)
        r.translate(0, (size.height() - h) / 2);
    else if (v & Qt::AlignBottom)
        r.translate(0, size.height() - h);
    return r;
}

QRect TShadowLabel::textRect() const {
    if (!design_.isValid())
        return textRectIn(size());
    return textRectIn(design_.size()).translated(design_.topLeft() - pos());
}

void TShadowLabel::keepTextWhole() {
    if (!design_.isValid())
        design_ = geometry();
    growAroundText();
}

void TShadowLabel::setText(const QString& text) {
    QLabel::setText(text);
    growAroundText();
}

// The union of the design rectangle and everything painted: the text's line boxes where the
// design places them, widened to the text's own width, and its shadow and highlight copies.
void TShadowLabel::growAroundText() {
    if (!design_.isValid())
        return;
    const QRect placed = textRectIn(design_.size());
    const QFontMetrics fm(font());
    const QRect text = fm.boundingRect(placed, textFlags(), shownText());
    // Glyphs may reach a pixel or two past the line box and the advance (the full-width low
    // line, italic overhangs, antialiasing).
    QRect painted = text.adjusted(-1, -2, 1, 2);
    if (shadow_.visible)
        painted |= painted.translated(shadow_.offset);
    if (highlight_.visible)
        painted |= painted.translated(highlight_.offset);
    const QRect grown =
        (painted | QRect(QPoint(0, 0), design_.size())).translated(design_.topLeft());
    if (grown != geometry())
        setGeometry(grown);
    update();
}

void TShadowLabel::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.setFont(font());
    const QRect r = textRect();
    // The label has grown around its text: the design's text box must not clip it.
    const int flags = textFlags() | Qt::TextDontClip;
    const QString t = shownText();
    const bool enabled = isEnabled();
    const QColor shadowColor = enabled ? shadow_.color : QColor(128, 128, 128);
    const QColor textColor = enabled ? fontColor_ : sc::controls::syscolor::buttonShadow();
    if (shadow_.visible) {
        p.setPen(shadowColor);
        p.drawText(r.translated(shadow_.offset), flags, t);
    }
    if (highlight_.visible) {
        p.setPen(highlight_.color);
        p.drawText(r.translated(highlight_.offset), flags, t);
    }
    p.setPen(textColor);
    p.drawText(r, flags, t);
}

void TShadowLabel::changeEvent(QEvent* event) {
    QLabel::changeEvent(event);
    if (event->type() == QEvent::EnabledChange)
        update();
    else if (event->type() == QEvent::FontChange)
        growAroundText();
}
