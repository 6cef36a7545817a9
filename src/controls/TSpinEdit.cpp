#include "TSpinEdit.h"

#include "EditorColours.h"
#include "platform/UserDialogs.h"

#include <QAccessibleWidget>
#include <QApplication>
#include <QKeyEvent>
#include <QLineEdit>
#include <QRegularExpressionValidator>
#include <QToolButton>
#include <algorithm>
#include <cmath>
#include <optional>

namespace sc::controls {

namespace {
constexpr int kArrowWidth = 13;

// A sign and digits that fit an int; anything else does not read as a number.
std::optional<int> readNumber(const QString& text) {
    qsizetype i = 0;
    bool negative = false;
    if (i < text.size() && (text[i] == u'+' || text[i] == u'-'))
        negative = text[i++] == u'-';
    if (i >= text.size())
        return std::nullopt;
    qint64 result = 0;
    for (; i < text.size(); ++i) {
        if (text[i] < u'0' || text[i] > u'9')
            return std::nullopt;
        result = result * 10 + (text[i].unicode() - u'0');
        if (result > 2147483648LL)
            return std::nullopt;
    }
    result = negative ? -result : result;
    if (result > 2147483647LL)
        return std::nullopt;
    return static_cast<int>(result);
}

bool isTypable(QChar c) {
    return c == u'+' || c == u'-' || (c >= u'0' && c <= u'9');
}

// What assistive technology reads of the box: one spin button with its value, range and step,
// its text through the text inside, and the arrows as its increase and decrease actions. The
// text and the arrows are no objects of their own.
class SpinEditAccessible : public QAccessibleWidget, public QAccessibleValueInterface {
public:
    explicit SpinEditAccessible(QWidget* w) : QAccessibleWidget(w, QAccessible::SpinBox) {}

    TSpinEdit* box() const { return static_cast<TSpinEdit*>(widget()); }

    int childCount() const override { return 0; }
    QAccessibleInterface* child(int) const override { return nullptr; }
    int indexOfChild(const QAccessibleInterface*) const override { return -1; }
    QAccessibleInterface* childAt(int, int) const override { return nullptr; }

    QString text(QAccessible::Text t) const override {
        if (t == QAccessible::Value)
            return box()->text();
        return QAccessibleWidget::text(t);
    }
    QAccessible::State state() const override {
        QAccessible::State s = QAccessibleWidget::state();
        s.editable = true;
        return s;
    }
    void* interface_cast(QAccessible::InterfaceType t) override {
        if (t == QAccessible::ValueInterface)
            return static_cast<QAccessibleValueInterface*>(this);
        if (t == QAccessible::TextInterface || t == QAccessible::EditableTextInterface) {
            QAccessibleInterface* text = QAccessible::queryAccessibleInterface(box()->editor());
            return text ? text->interface_cast(t) : nullptr;
        }
        return QAccessibleWidget::interface_cast(t);
    }

    QStringList actionNames() const override {
        QStringList names = QAccessibleWidget::actionNames();
        if (widget()->isEnabled())
            names << increaseAction() << decreaseAction();
        return names;
    }
    void doAction(const QString& name) override {
        if (!widget()->isEnabled())
            return;
        if (name == increaseAction())
            box()->upButton()->click();
        else if (name == decreaseAction())
            box()->downButton()->click();
        else
            QAccessibleWidget::doAction(name);
    }

    QVariant currentValue() const override { return box()->value(); }
    // A value from another program: limited to the range like any other (and no number is none).
    void setCurrentValue(const QVariant& value) override {
        const double v = value.toDouble();
        if (std::isnan(v))
            return;
        box()->setValue(qRound(std::clamp(v, double(box()->minimum()), double(box()->maximum()))));
    }
    QVariant maximumValue() const override { return box()->maximum(); }
    QVariant minimumValue() const override { return box()->minimum(); }
    QVariant minimumStepSize() const override { return box()->increment(); }
};

QAccessibleInterface* accessibleSpinEdit(const QString& className, QObject* object) {
    if (className == QLatin1String("sc::controls::TSpinEdit") && object && object->isWidgetType())
        return new SpinEditAccessible(static_cast<QWidget*>(object));
    return nullptr;
}

QToolButton* makeArrow(QWidget* parent, Qt::ArrowType type) {
    auto* button = new QToolButton(parent);
    button->setArrowType(type);
    button->setAutoRepeat(true);
    // The arrows never take the focus from the text: leaving the box is what limits a value.
    button->setFocusPolicy(Qt::NoFocus);
    return button;
}
} // namespace

TSpinEdit::TSpinEdit(QWidget* parent)
    : QWidget(parent), edit_(new QLineEdit(this)), up_(makeArrow(this, Qt::UpArrow)),
      down_(makeArrow(this, Qt::DownArrow)) {
    edit_->setFrame(false);
    edit_->setText(QStringLiteral("0"));
    // Pasted text obeys the same characters as typed text.
    edit_->setValidator(
        new QRegularExpressionValidator(QRegularExpression(QStringLiteral("[-+0-9]*")), edit_));
    edit_->installEventFilter(this);
    // The box holds the focus and hands its events to the text, which shows the cursor as if
    // it had the focus itself; a click into the text focuses the box.
    edit_->setFocusProxy(this);
    setFocusPolicy(Qt::StrongFocus);
    setAttribute(Qt::WA_InputMethodEnabled);
    static const bool accessible = (QAccessible::installFactory(accessibleSpinEdit), true);
    Q_UNUSED(accessible);
    setBackground(background_);
    connect(edit_, &QLineEdit::textChanged, this, &TSpinEdit::textEdited);
    connect(up_, &QToolButton::clicked, this, [this] { stepBy(increment_); });
    connect(down_, &QToolButton::clicked, this, [this] { stepBy(-increment_); });
}

void TSpinEdit::setRange(int minimum, int maximum) {
    minimum_ = minimum;
    maximum_ = std::max(minimum, maximum);
    limitToRange();
}

int TSpinEdit::value() const {
    return readNumber(edit_->text()).value_or(minimum_);
}

void TSpinEdit::setValue(int value) {
    const QString text = QString::number(std::clamp(value, minimum_, maximum_));
    if (text != edit_->text())
        edit_->setText(text);
}

QString TSpinEdit::text() const {
    return edit_->text();
}

void TSpinEdit::setBackground(const QColor& colour) {
    background_ = colour;
    setEditorBackground(*edit_, colour);
}

QSize TSpinEdit::sizeHint() const {
    return {50, 19};
}

void TSpinEdit::stepBy(int delta) {
    setValue(static_cast<int>(std::clamp<qint64>(qint64(value()) + delta, minimum_, maximum_)));
}

void TSpinEdit::limitToRange() {
    const int v = value();
    if (v < minimum_ || v > maximum_)
        setValue(v);
}

void TSpinEdit::textEdited(const QString& text) {
    if (!readNumber(text)) {
        // Rewriting the text raises the change for the minimum; the unreadable text never
        // reaches the handler.
        edit_->setText(QString::number(minimum_));
        return;
    }
    QAccessibleValueChangeEvent heard(this, value());
    QAccessible::updateAccessibility(&heard);
    emit changed();
}

void TSpinEdit::beep() {
    if (dialogs_)
        dialogs_->beep();
    else
        QApplication::beep();
}

bool TSpinEdit::handleKey(QKeyEvent* key) {
    switch (key->key()) {
    case Qt::Key_Up:
        stepBy(increment_);
        return true;
    case Qt::Key_Down:
        stepBy(-increment_);
        return true;
    case Qt::Key_PageUp:
        stepBy(pageIncrement_);
        return true;
    case Qt::Key_PageDown:
        stepBy(-pageIncrement_);
        return true;
    case Qt::Key_Return:
    case Qt::Key_Enter:
        // The typed value is final, as when the box is left.
        limitToRange();
        return true;
    default:
        break;
    }
    const QString typed = key->text();
    const bool command =
        key->modifiers() & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier);
    if (!command && !typed.isEmpty() && typed[0].isPrint() &&
        !std::all_of(typed.begin(), typed.end(), isTypable)) {
        beep();
        return true;
    }
    return false;
}

// Keys given to the text itself (rather than to the box, which holds the focus) obey the box.
bool TSpinEdit::eventFilter(QObject* watched, QEvent* event) {
    if (watched == edit_ && event->type() == QEvent::KeyPress)
        return handleKey(static_cast<QKeyEvent*>(event));
    return QWidget::eventFilter(watched, event);
}

bool TSpinEdit::event(QEvent* event) {
    // The text's editing keys (Home, Delete, Ctrl+A ...) win over the window's shortcuts.
    if (event->type() == QEvent::ShortcutOverride && edit_->event(event))
        return true;
    return QWidget::event(event);
}

void TSpinEdit::keyPressEvent(QKeyEvent* event) {
    if (handleKey(event))
        event->accept();
    else
        edit_->event(event);
}

void TSpinEdit::keyReleaseEvent(QKeyEvent* event) {
    edit_->event(event);
}

void TSpinEdit::focusInEvent(QFocusEvent* event) {
    edit_->event(event);
    QWidget::focusInEvent(event);
}

void TSpinEdit::focusOutEvent(QFocusEvent* event) {
    edit_->event(event);
    limitToRange();
    QWidget::focusOutEvent(event);
}

void TSpinEdit::inputMethodEvent(QInputMethodEvent* event) {
    edit_->event(event);
}

QVariant TSpinEdit::inputMethodQuery(Qt::InputMethodQuery query) const {
    return edit_->inputMethodQuery(query);
}

void TSpinEdit::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    const int arrows = std::min(kArrowWidth, width() / 2);
    edit_->setGeometry(0, 0, width() - arrows, height());
    const int upHeight = height() / 2;
    up_->setGeometry(width() - arrows, 0, arrows, upHeight);
    down_->setGeometry(width() - arrows, upHeight, arrows, height() - upHeight);
}

} // namespace sc::controls
