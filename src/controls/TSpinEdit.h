#pragma once

#include <QColor>
#include <QWidget>

class QLineEdit;
class QToolButton;

namespace sc {
class UserDialogs;
}

namespace sc::controls {

// The integer spin box of the setting controls: a one-line text with up and down arrows.
// - An arrow or the Up/Down key adds or subtracts the increment (5), Page Up/Down the page
//   increment (10); a value set by arrow, key or code is limited to the range.
// - Only "+", "-" and the digits can be typed; any other character is refused with a beep.
// - An empty or unreadable text is replaced at once by the range's minimum.
// - A typed value beyond the range counts as typed until the box loses the focus or Return is
//   pressed; then it is limited to the range.
// - Every change of the text raises changed() (block the box's signals to set it quietly).
// The box itself holds the focus and hands keys to its text, as a spin box does, so assistive
// technology finds one spin button with value, range and text, the arrows being its parts.
class TSpinEdit : public QWidget {
    Q_OBJECT
public:
    explicit TSpinEdit(QWidget* parent = nullptr);

    void setRange(int minimum, int maximum);
    int minimum() const { return minimum_; }
    int maximum() const { return maximum_; }
    void setIncrement(int step) { increment_ = step; }
    int increment() const { return increment_; }
    void setPageIncrement(int step) { pageIncrement_ = step; }
    int pageIncrement() const { return pageIncrement_; }

    // The text read as an integer (a typed value beyond the range included).
    int value() const;
    // Limited to the range.
    void setValue(int value);
    QString text() const;

    void setBackground(const QColor& colour);
    QColor background() const { return background_; }

    // Where refused characters beep; the system beep when none is set.
    void setDialogs(sc::UserDialogs* dialogs) { dialogs_ = dialogs; }

    QLineEdit* editor() const { return edit_; }
    QToolButton* upButton() const { return up_; }
    QToolButton* downButton() const { return down_; }

    QSize sizeHint() const override;

signals:
    void changed();

protected:
    bool event(QEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void keyReleaseEvent(QKeyEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;
    void inputMethodEvent(QInputMethodEvent* event) override;
    QVariant inputMethodQuery(Qt::InputMethodQuery query) const override;
    void resizeEvent(QResizeEvent* event) override;

private:
    // The box's own keys (steps, Return, refused characters); false for the text's keys.
    bool handleKey(QKeyEvent* key);
    void stepBy(int delta);
    void limitToRange();
    void textEdited(const QString& text);
    void beep();

    QLineEdit* edit_;
    QToolButton* up_;
    QToolButton* down_;
    sc::UserDialogs* dialogs_ = nullptr;
    QColor background_{4, 4, 4};
    int minimum_ = 0;
    int maximum_ = 100;
    int increment_ = 5;
    int pageIncrement_ = 10;
};

} // namespace sc::controls
