#pragma once

#include <QColor>
#include <QLabel>
#include <QPoint>

namespace sc::controls {

// A text label drawn over offset copies of itself: a shadow (by default one pixel down and
// right) and a highlight. It paints on its parent's surface and takes no mouse input, so the
// window can be dragged through the labels on its own surface.
//
// Assistive technology reads a label as its text; a label marked as the window's status line is
// a status bar. Every new text of a label is sent as a text change, which a reader can follow.
//
// The horizontal part of `alignment` places the text; its vertical part is the layout (top,
// centre, bottom) by which the measured text is moved within the label.
class TShadowLabel : public QLabel {
    Q_OBJECT
    Q_PROPERTY(QColor fontColor READ fontColor WRITE setFontColor)
    Q_PROPERTY(int fontHeight READ fontHeight WRITE setFontHeight)
    Q_PROPERTY(bool shadowVisible READ shadowVisible WRITE setShadowVisible)
    Q_PROPERTY(QColor shadowColor READ shadowColor WRITE setShadowColor)
    Q_PROPERTY(QPoint shadowOffset READ shadowOffset WRITE setShadowOffset)
    Q_PROPERTY(bool highlightVisible READ highlightVisible WRITE setHighlightVisible)
    Q_PROPERTY(QColor highlightColor READ highlightColor WRITE setHighlightColor)
    Q_PROPERTY(QPoint highlightOffset READ highlightOffset WRITE setHighlightOffset)
    Q_PROPERTY(Ellipsis ellipsis READ ellipsis WRITE setEllipsis)
    Q_PROPERTY(bool statusLine READ isStatusLine WRITE setStatusLine)
public:
    enum Ellipsis { elNone, elEnd, elPath };
    Q_ENUM(Ellipsis)

    struct Shadow {
        bool visible;
        QColor color;
        QPoint offset;
    };

    explicit TShadowLabel(QWidget* parent = nullptr);

    QColor fontColor() const { return fontColor_; }
    // The font's height as the designs give it: negative for the character height in pixels
    // without internal leading, which is Qt's pixel size.
    int fontHeight() const;
    bool shadowVisible() const { return shadow_.visible; }
    QColor shadowColor() const { return shadow_.color; }
    QPoint shadowOffset() const { return shadow_.offset; }
    bool highlightVisible() const { return highlight_.visible; }
    QColor highlightColor() const { return highlight_.color; }
    QPoint highlightOffset() const { return highlight_.offset; }
    Ellipsis ellipsis() const { return ellipsis_; }
    bool isStatusLine() const { return statusLine_; }

    void setFontColor(const QColor& c);
    void setFontHeight(int height);
    void setShadowVisible(bool on);
    void setShadowColor(const QColor& c);
    void setShadowOffset(const QPoint& offset);
    void setHighlightVisible(bool on);
    void setHighlightColor(const QColor& c);
    void setHighlightOffset(const QPoint& offset);
    void setEllipsis(Ellipsis e);
    void setStatusLine(bool on) { statusLine_ = on; }

    // Where the text is drawn (before the shadow offsets), for the current text and size.
    QRect textRect() const;

    // From now on the label's present geometry is its design rectangle: the text is placed
    // in it as designed, and the label grows around it whenever its text or font changes, so
    // the whole text with its descenders and shadow is painted. A right-aligned label grows to
    // the left, a left-aligned one to the right, a centred one both ways; all grow up and down.
    void keepTextWhole();
    // The design rectangle in the parent (the geometry, for a label that does not grow).
    QRect designRect() const { return design_.isValid() ? design_ : geometry(); }
    // Sets the text and grows the label around it.
    void setText(const QString& text);

protected:
    void paintEvent(QPaintEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    int textFlags() const;
    // textRect() within a rectangle of `size` at the origin.
    QRect textRectIn(const QSize& size) const;
    void growAroundText();
    QString shownText() const;
    template <typename T> void change(T& member, const T& value);

    QColor fontColor_{0, 0, 0};
    Shadow shadow_{true, QColor(192, 192, 192), QPoint(1, 1)};
    Shadow highlight_{true, QColor(255, 255, 255), QPoint(-1, -1)};
    Ellipsis ellipsis_ = elNone;
    QRect design_; // valid once the label keeps its text whole
    bool statusLine_ = false;
};

} // namespace sc::controls
