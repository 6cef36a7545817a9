#include "TShineSpeedButton.h"

#include "SystemColors.h"

#include <QAccessible>
#include <QAccessibleWidget>
#include <QCursor>
#include <QEnterEvent>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPointer>
#include <cstdlib>

namespace sc::controls {

namespace {

// What assistive technology reads of the button: a push button named by its caption (unless
// the window gave it a name), which a group makes a toggle that is checked while down.
class ShineSpeedButtonAccessible : public QAccessibleWidget {
public:
    explicit ShineSpeedButtonAccessible(QWidget* w) : QAccessibleWidget(w, QAccessible::Button) {
        addControllingSignal(QStringLiteral("clicked()"));
    }

    TShineSpeedButton* button() const { return static_cast<TShineSpeedButton*>(widget()); }

    QString text(QAccessible::Text t) const override {
        if (t == QAccessible::Name && widget()->accessibleName().isEmpty())
            return button()->caption();
        return QAccessibleWidget::text(t);
    }

    QAccessible::State state() const override {
        QAccessible::State s = QAccessibleWidget::state();
        if (button()->groupIndex() != 0) {
            s.checkable = true;
            s.checked = button()->isDown();
        }
        s.pressed = button()->look() == TShineSpeedButton::lsPressed;
        return s;
    }

    QStringList actionNames() const override {
        QStringList names = QAccessibleWidget::actionNames();
        if (widget()->isEnabled())
            names.prepend(pressAction());
        return names;
    }

    void doAction(const QString& name) override {
        if (name == pressAction() && widget()->isEnabled())
            button()->press();
        else
            QAccessibleWidget::doAction(name);
    }
};

QAccessibleInterface* accessibleButton(const QString& className, QObject* object) {
    if (className == QLatin1String("sc::controls::TShineSpeedButton") && object &&
        object->isWidgetType())
        return new ShineSpeedButtonAccessible(static_cast<QWidget*>(object));
    return nullptr;
}

void tellAccessibility(QWidget* button, QAccessible::Event what) {
    QAccessibleEvent event(button, what);
    QAccessible::updateAccessibility(&event);
}

} // namespace

TShineSpeedButton::TShineSpeedButton(QWidget* parent) : QWidget(parent) {
    colors_ = {
        syscolor::buttonFace(),   syscolor::buttonFace(), false, false, syscolor::buttonHighlight(),
        syscolor::buttonShadow(), syscolor::windowFrame()};
    pressed_ = {syscolor::buttonHighlight(),
                syscolor::buttonHighlight(),
                false,
                false,
                syscolor::buttonHighlight(),
                syscolor::buttonShadow(),
                syscolor::windowFrame()};
    setCursor(Qt::PointingHandCursor);
    setAttribute(Qt::WA_Hover, false);
    // Tab only: a mouse user's click leaves the focus (and the look) where it was.
    setFocusPolicy(Qt::TabFocus);
    static const bool accessible = (QAccessible::installFactory(accessibleButton), true);
    Q_UNUSED(accessible);
    hoverTimer_.setInterval(200);
    connect(&hoverTimer_, &QTimer::timeout, this, &TShineSpeedButton::hoverTick);
}

template <typename T> void TShineSpeedButton::change(T& member, const T& value) {
    if (member == value)
        return;
    member = value;
    update();
}

int TShineSpeedButton::fontHeight() const {
    const int px = font().pixelSize();
    return px > 0 ? -px : -QFontMetrics(font()).ascent();
}

void TShineSpeedButton::setFontHeight(int height) {
    if (height == 0 || font().pixelSize() == std::abs(height))
        return;
    QFont f = font();
    f.setPixelSize(height < 0 ? -height : height);
    setFont(f);
}

void TShineSpeedButton::setCaption(const QString& text) {
    if (text == caption_)
        return;
    change(caption_, text);
    if (accessibleName().isEmpty())
        tellAccessibility(this, QAccessible::NameChanged);
}
void TShineSpeedButton::setFontColor(const QColor& c) {
    change(fontColor_, c);
}
void TShineSpeedButton::setFontShadow(const QColor& c) {
    change(fontShadow_, c);
}
void TShineSpeedButton::setFontHighlight(const QColor& c) {
    change(fontHighlight_, c);
}
void TShineSpeedButton::setColors(const Colors& c) {
    change(colors_, c);
}
void TShineSpeedButton::setPressedColors(const Colors& c) {
    change(pressed_, c);
}
void TShineSpeedButton::setColor(const QColor& c) {
    change(colors_.color, c);
}
void TShineSpeedButton::setGradColor(const QColor& c) {
    change(colors_.gradColor, c);
}
void TShineSpeedButton::setGradation(bool on) {
    change(colors_.gradation, on);
}
void TShineSpeedButton::setGradVertical(bool on) {
    change(colors_.gradVertical, on);
}
void TShineSpeedButton::setHighlight(const QColor& c) {
    change(colors_.highlight, c);
}
void TShineSpeedButton::setShadow(const QColor& c) {
    change(colors_.shadow, c);
}
void TShineSpeedButton::setDarkShadow(const QColor& c) {
    change(colors_.darkShadow, c);
}
void TShineSpeedButton::setPressedColor(const QColor& c) {
    change(pressed_.color, c);
}
void TShineSpeedButton::setPressedGradColor(const QColor& c) {
    change(pressed_.gradColor, c);
}
void TShineSpeedButton::setPressedGradation(bool on) {
    change(pressed_.gradation, on);
}
void TShineSpeedButton::setPressedGradVertical(bool on) {
    change(pressed_.gradVertical, on);
}
void TShineSpeedButton::setPressedHighlight(const QColor& c) {
    change(pressed_.highlight, c);
}
void TShineSpeedButton::setPressedShadow(const QColor& c) {
    change(pressed_.shadow, c);
}
void TShineSpeedButton::setFrameType(FrameType t) {
    change(frameType_, t);
}
void TShineSpeedButton::setUpFrame(bool on) {
    change(upFrame_, on);
}
void TShineSpeedButton::setDownFrame(bool on) {
    change(downFrame_, on);
}
void TShineSpeedButton::setActiveFrame(bool on) {
    change(activeFrame_, on);
}
void TShineSpeedButton::setClickDownHook(bool on) {
    clickDownHook_ = on;
}
void TShineSpeedButton::setGroupIndex(int index) {
    groupIndex_ = index;
}
void TShineSpeedButton::setAllowAllUp(bool on) {
    allowAllUp_ = on;
}

void TShineSpeedButton::setLook(Look look) {
    if (look == look_)
        return;
    look_ = look;
    update();
}

QFont TShineSpeedButton::activeFont() const {
    QFont f = font();
    f.setBold(true);
    return f;
}

// --- latching and groups ---------------------------------------------------------------------

void TShineSpeedButton::setDown(bool on) {
    if (on == down_ || groupIndex_ == 0)
        return;
    // Without AllowAllUp only another button of the group can release a down one.
    if (!on && !allowAllUp_)
        return;
    applyDown(on);
    groupChanged();
}

void TShineSpeedButton::applyDown(bool on) {
    down_ = on;
    QAccessible::State checked;
    checked.checked = true;
    QAccessibleStateChangeEvent event(this, checked);
    QAccessible::updateAccessibility(&event);
    if (!isEnabled())
        setLook(lsDisabled);
    else if (on)
        setLook(inside_ ? lsPressed : lsDown);
    else
        setLook(inside_ ? lsHover : lsUp);
}

void TShineSpeedButton::groupChanged() {
    if (!parentWidget())
        return;
    const auto siblings =
        parentWidget()->findChildren<TShineSpeedButton*>(QString(), Qt::FindDirectChildrenOnly);
    for (TShineSpeedButton* b : siblings) {
        if (b == this || b->groupIndex_ != groupIndex_)
            continue;
        if (down_ && b->down_)
            b->applyDown(false);
        b->allowAllUp_ = allowAllUp_;
    }
}

// --- mouse -------------------------------------------------------------------------------------

void TShineSpeedButton::mouseEntered() {
    QWidget* grabber = QWidget::mouseGrabber();
    if (inside_ || !isEnabled() || (grabber && grabber != this))
        return;
    inside_ = true;
    if (look_ == lsUp)
        setLook(lsHover);
    else if (look_ == lsDown)
        setLook(lsPressed);
    hoverTimer_.start();
}

void TShineSpeedButton::mouseLeft() {
    if (!inside_ || !isEnabled() || held_)
        return;
    hoverTimer_.stop();
    inside_ = false;
    if (look_ == lsHover)
        setLook(lsUp);
    else if (look_ == lsPressed)
        setLook(lsDown);
}

// Some leaves arrive without a message (a window popping up over the button, say): the timer
// looks where the cursor really is.
void TShineSpeedButton::hoverTick() {
    if (!inside_ || !isEnabled() || held_) {
        hoverTimer_.stop();
        return;
    }
    if (!rect().contains(mapFromGlobal(QCursor::pos())))
        mouseLeft();
}

void TShineSpeedButton::recheck(const QPoint& pos) {
    if (!isEnabled())
        return;
    const bool over = rect().contains(pos);
    if (over && !inside_)
        mouseEntered();
    else if (!over && inside_)
        mouseLeft();
    else if (over)
        setLook(down_ ? lsPressed : lsHover);
    else
        setLook(down_ ? lsDown : lsUp);
}

void TShineSpeedButton::enterEvent(QEnterEvent* event) {
    QWidget::enterEvent(event);
    mouseEntered();
}

void TShineSpeedButton::leaveEvent(QEvent* event) {
    QWidget::leaveEvent(event);
    mouseLeft();
}

void TShineSpeedButton::mousePressEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton || !isEnabled())
        return QWidget::mousePressEvent(event);
    held_ = true;
    setLook(lsPressed);
}

void TShineSpeedButton::mouseMoveEvent(QMouseEvent* event) {
    const QPoint pos = event->position().toPoint();
    if (held_) {
        if (rect().contains(pos))
            setLook(lsPressed);
        else
            setLook(down_ ? lsDown : lsUp);
    } else if (!inside_) {
        recheck(pos);
    }
}

void TShineSpeedButton::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton || !held_)
        return QWidget::mouseReleaseEvent(event);
    const QPoint pos = event->position().toPoint();
    QPointer<TShineSpeedButton> self(this);
    held_ = false;
    if (rect().contains(pos)) {
        if (groupIndex_ == 0) {
            inside_ = false;
            setLook(lsUp);
        }
        press();
        if (!self)
            return;
    } else {
        // Dragged off: no click.
        setLook(down_ ? lsPressed : lsHover);
    }
    recheck(pos);
}

// A down button that may not be released stays down; its click still runs.
void TShineSpeedButton::press() {
    if (groupIndex_ != 0)
        setDown(!down_);
    click();
}

void TShineSpeedButton::click() {
    QPointer<TShineSpeedButton> self(this);
    const Look before = look_;
    if (clickDownHook_) {
        setLook(lsPressed);
        repaint();
    }
    emit clicked();
    if (self && clickDownHook_) {
        look_ = before;
        repaint();
    }
}

void TShineSpeedButton::changeEvent(QEvent* event) {
    QWidget::changeEvent(event);
    if (event->type() == QEvent::EnabledChange) {
        down_ = false;
        held_ = false;
        setLook(isEnabled() ? lsUp : lsDisabled);
    }
}

// --- keyboard ---------------------------------------------------------------------------------

// A held key presses once; the keys of other controls (arrows, Tab) go on to the window.
void TShineSpeedButton::keyPressEvent(QKeyEvent* event) {
    const bool pressKey = event->key() == Qt::Key_Space || event->key() == Qt::Key_Return ||
                          event->key() == Qt::Key_Enter;
    const bool modified = event->modifiers() & (Qt::ControlModifier | Qt::AltModifier |
                                                Qt::MetaModifier | Qt::ShiftModifier);
    if (!pressKey || modified || !isEnabled())
        return QWidget::keyPressEvent(event);
    if (!event->isAutoRepeat())
        press();
}

void TShineSpeedButton::focusInEvent(QFocusEvent* event) {
    focusMark_.focusIn(event->reason());
    QWidget::focusInEvent(event);
}

void TShineSpeedButton::focusOutEvent(QFocusEvent* event) {
    focusMark_.focusOut(event->reason());
    QWidget::focusOutEvent(event);
}

} // namespace sc::controls
