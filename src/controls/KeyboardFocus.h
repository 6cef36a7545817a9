#pragma once

#include <Qt>

class QAbstractButton;
class QColor;
class QPainter;
class QRect;

namespace sc::controls {

// Whether the focus a control gains is the keyboard's, so that only a window driven from the
// keyboard shows where its focus is. The last key or mouse press in the program decides: a
// focus that moves because a mouse click hid or disabled the focused control is the mouse's.
// A focus that only comes back with its window (a dialog closed) keeps what it was.
class FocusMark {
public:
    FocusMark();
    void focusIn(Qt::FocusReason reason);
    void focusOut(Qt::FocusReason reason);
    bool shown() const { return shown_; }

private:
    bool shown_ = false;
};

// A one-pixel dotted rectangle on `r`, every other pixel from the top-left corner.
void drawFocusMark(QPainter& p, const QRect& r, const QColor& colour);

// Return and Enter press `button` as Space does.
void pressOnReturn(QAbstractButton& button);

} // namespace sc::controls
