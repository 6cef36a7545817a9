#include "TShadowLabel.h"

#include "SystemColors.h"

#include <QAccessibleWidget>
#include <QEvent>
#include <QPainter>
#include <cstdlib>

namespace sc::controls {

namespace {

// A label read by its text, as a name and as read-only text; the status line is a status bar.
// The role is asked each time, so it holds from the label's first moment, whenever the
// interface was made.
class ShadowLabelAccessible : public QAccessibleWidget, public QAccessibleTextInterface {
public:
    explicit ShadowLabelAccessible(QWidget* w) : QAccessibleWidget(w, QAccessible::StaticText) {}

    TShadowLabel* label() const { return static_cast<TShadowLabel*>(widget()); }

    QAccessible::Role role() const override {
        return label()->isStatusLine() ? QAccessible::StatusBar : QAccessible::StaticText;
    }
    QString text(QAccessible::Text t) const override {
        if (t == QAccessible::Name && widget()->accessibleName().isEmpty())
            return label()->text();
        return QAccessibleWidget::text(t);
    }
    QList<QPair<QAccessibleInterface*, QAccessible::Relation>>
    relations(QAccessible::Relation match) const override {
        auto found = QAccessibleWidget::relations(match);
        if ((match & QAccessible::Labelled) && label()->buddy())
            found.append(
                {QAccessible::queryAccessibleInterface(label()->buddy()), QAccessible::Labelled});
        return found;
    }
    void* interface_cast(QAccessible::InterfaceType t) override {
        if (t == QAccessible::TextInterface)
            return static_cast<QAccessibleTextInterface*>(this);
        return QAccessibleWidget::interface_cast(t);
    }

    QString text(int start, int end) const override {
        return label()->text().mid(start, end - start);
    }
    int characterCount() const override { return int(label()->text().size()); }
    int cursorPosition() const override { return 0; }
    void setCursorPosition(int) override {}
    void selection(int, int* start, int* end) const override { *start = *end = 0; }
    int selectionCount() const override { return 0; }
    void addSelection(int, int) override {}
    void removeSelection(int) override {}
    void setSelection(int, int, int) override {}
    void scrollToSubstring(int, int) override {}
    int offsetAtPoint(const QPoint&) const override { return -1; }
    QString attributes(int, int* start, int* end) const override {
        *start = 0;
        *end = characterCount();
        return {};
    }
    // Where a character of a one-line text is drawn, on the screen.
    QRect characterRect(int offset) const override {
        const QString t = label()->text();
        if (offset < 0 || offset >= t.size())
            return {};
        const QFontMetrics fm(label()->font());
        const QRect placed = fm.boundingRect(
            label()->textRect(), int(label()->alignment() & Qt::AlignHorizontal_Mask), t);
        const QRect r(placed.left() + fm.horizontalAdvance(t.left(offset)), placed.top(),
                      fm.horizontalAdvance(t.at(offset)), placed.height());
        return r.translated(label()->mapToGlobal(QPoint(0, 0)));
    }
};

QAccessibleInterface* accessibleLabel(const QString& className, QObject* object) {
    if (className == QLatin1String("sc::controls::TShadowLabel") && object &&
        object->isWidgetType())
        return new ShadowLabelAccessible(static_cast<QWidget*>(object));
    return nullptr;
}

} // namespace

TShadowLabel::TShadowLabel(QWidget* parent) : QLabel(parent) {
    setAttribute(Qt::WA_TransparentForMouseEvents);
    setAutoFillBackground(false);
    setTextFormat(Qt::PlainText);
    // Before any label's text is set: Qt keeps the first interface it makes for a label.
    static const bool accessible = (QAccessible::installFactory(accessibleLabel), true);
    Q_UNUSED(accessible);
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
    const QString old = QLabel::text();
    QLabel::setText(text);
    growAroundText();
    if (text != old) {
        QAccessibleTextUpdateEvent change(this, 0, old, text);
        QAccessible::updateAccessibility(&change);
    }
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

} // namespace sc::controls
