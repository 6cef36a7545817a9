#include "KeyboardFocus.h"

#include <QAbstractButton>
#include <QApplication>
#include <QKeyEvent>
#include <QPainter>

namespace sc::controls {

namespace {

// Remembers whether the last press the program received came from the keyboard or a pointer.
class InputWatch : public QObject {
public:
    bool keyboard = false;

    bool eventFilter(QObject*, QEvent* event) override {
        switch (event->type()) {
        case QEvent::KeyPress:
        case QEvent::ShortcutOverride:
            keyboard = true;
            break;
        case QEvent::MouseButtonPress:
        case QEvent::MouseButtonDblClick:
        case QEvent::TouchBegin:
        case QEvent::TabletPress:
            keyboard = false;
            break;
        default:
            break;
        }
        return false;
    }
};

InputWatch* inputWatch() {
    static InputWatch* watch = [] {
        auto* w = new InputWatch;
        if (QCoreApplication* app = QCoreApplication::instance()) {
            w->setParent(app);
            app->installEventFilter(w);
        }
        return w;
    }();
    return watch;
}

bool returnsWithWindow(Qt::FocusReason reason) {
    return reason == Qt::ActiveWindowFocusReason || reason == Qt::PopupFocusReason;
}

// Presses a button on Return or Enter; Space is the button's own.
class ReturnPress : public QObject {
public:
    using QObject::QObject;

    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() != QEvent::KeyPress)
            return false;
        auto* key = static_cast<QKeyEvent*>(event);
        if ((key->key() != Qt::Key_Return && key->key() != Qt::Key_Enter) || key->isAutoRepeat())
            return false;
        static_cast<QAbstractButton*>(watched)->click();
        return true;
    }
};

} // namespace

FocusMark::FocusMark() {
    inputWatch();
}

void FocusMark::focusIn(Qt::FocusReason reason) {
    if (!returnsWithWindow(reason))
        shown_ = inputWatch()->keyboard;
}

void FocusMark::focusOut(Qt::FocusReason reason) {
    if (!returnsWithWindow(reason))
        shown_ = false;
}

void drawFocusMark(QPainter& p, const QRect& r, const QColor& colour) {
    if (r.width() < 1 || r.height() < 1)
        return;
    auto dot = [&](int x, int y) {
        if ((x - r.left() + y - r.top()) % 2 == 0)
            p.fillRect(QRect(x, y, 1, 1), colour);
    };
    for (int x = r.left(); x <= r.right(); ++x) {
        dot(x, r.top());
        dot(x, r.bottom());
    }
    for (int y = r.top() + 1; y < r.bottom(); ++y) {
        dot(r.left(), y);
        dot(r.right(), y);
    }
}

void pressOnReturn(QAbstractButton& button) {
    button.installEventFilter(new ReturnPress(&button));
}

} // namespace sc::controls
