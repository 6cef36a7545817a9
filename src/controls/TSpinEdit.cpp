#include "TSpinEdit.h"

#include "EditorColours.h"
#include "platform/UserDialogs.h"

#include <QApplication>
#include <QKeyEvent>
#include <QLineEdit>
#include <QRegularExpressionValidator>
#include <QToolButton>
#include <algorithm>
#include <optional>

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
    setFocusProxy(edit_);
    setFocusPolicy(Qt::StrongFocus);
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
    emit changed();
}

void TSpinEdit::beep() {
    if (dialogs_)
        dialogs_->beep();
    else
        QApplication::beep();
}

bool TSpinEdit::eventFilter(QObject* watched, QEvent* event) {
    if (watched != edit_)
        return QWidget::eventFilter(watched, event);
    if (event->type() == QEvent::FocusOut) {
        limitToRange();
    } else if (event->type() == QEvent::KeyPress) {
        auto* key = static_cast<QKeyEvent*>(event);
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
    }
    return QWidget::eventFilter(watched, event);
}

void TSpinEdit::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    const int arrows = std::min(kArrowWidth, width() / 2);
    edit_->setGeometry(0, 0, width() - arrows, height());
    const int upHeight = height() / 2;
    up_->setGeometry(width() - arrows, 0, arrows, upHeight);
    down_->setGeometry(width() - arrows, upHeight, arrows, height() - upHeight);
}
