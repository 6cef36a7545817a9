#pragma once

#include "KeyboardFocus.h"

#include <QColor>
#include <QTimer>
#include <QWidget>

class QFontMetrics;

namespace sc::controls {

// An owner-drawn push button with a gradient face, an enclosed frame and a shadowed caption
// that turns bold under the mouse. Buttons with the same non-zero group index on one parent
// latch exclusively. With `clickDownHook` the button stays drawn pressed while the handlers of
// `clicked` run, so a long command shows its button pressed until it ends.
// The keyboard reaches it by Tab alone (a click leaves the focus where it was); Space, Return
// and Enter press it as a click does, and a dotted rectangle in the caption colour marks a
// focus that came from the keyboard.
class TShineSpeedButton : public QWidget {
    Q_OBJECT
    Q_PROPERTY(QString caption READ caption WRITE setCaption)
    Q_PROPERTY(QColor fontColor READ fontColor WRITE setFontColor)
    Q_PROPERTY(int fontHeight READ fontHeight WRITE setFontHeight)
    Q_PROPERTY(QColor fontShadow READ fontShadow WRITE setFontShadow)
    Q_PROPERTY(QColor fontHighlight READ fontHighlight WRITE setFontHighlight)
    // Colors: the up, hover and disabled looks.
    Q_PROPERTY(QColor color READ color WRITE setColor)
    Q_PROPERTY(QColor gradColor READ gradColor WRITE setGradColor)
    Q_PROPERTY(bool gradation READ gradation WRITE setGradation)
    Q_PROPERTY(bool gradVertical READ gradVertical WRITE setGradVertical)
    Q_PROPERTY(QColor highlight READ highlight WRITE setHighlight)
    Q_PROPERTY(QColor shadow READ shadow WRITE setShadow)
    Q_PROPERTY(QColor darkShadow READ darkShadow WRITE setDarkShadow)
    // PressedColors: the pressed and down looks.
    Q_PROPERTY(QColor pressedColor READ pressedColor WRITE setPressedColor)
    Q_PROPERTY(QColor pressedGradColor READ pressedGradColor WRITE setPressedGradColor)
    Q_PROPERTY(bool pressedGradation READ pressedGradation WRITE setPressedGradation)
    Q_PROPERTY(bool pressedGradVertical READ pressedGradVertical WRITE setPressedGradVertical)
    Q_PROPERTY(QColor pressedHighlight READ pressedHighlight WRITE setPressedHighlight)
    Q_PROPERTY(QColor pressedShadow READ pressedShadow WRITE setPressedShadow)
    Q_PROPERTY(FrameType frameType READ frameType WRITE setFrameType)
    Q_PROPERTY(bool upFrame READ upFrame WRITE setUpFrame)
    Q_PROPERTY(bool downFrame READ downFrame WRITE setDownFrame)
    Q_PROPERTY(bool activeFrame READ activeFrame WRITE setActiveFrame)
    Q_PROPERTY(bool clickDownHook READ clickDownHook WRITE setClickDownHook)
    Q_PROPERTY(int groupIndex READ groupIndex WRITE setGroupIndex)
    Q_PROPERTY(bool allowAllUp READ allowAllUp WRITE setAllowAllUp)
    Q_PROPERTY(bool down READ isDown WRITE setDown)
public:
    enum FrameType { ftFlatFrame, ftNormalFrame, ftEnclosedFrame };
    Q_ENUM(FrameType)
    enum Look { lsUp, lsHover, lsPressed, lsDown, lsDisabled };
    Q_ENUM(Look)

    struct Colors {
        QColor color, gradColor;
        bool gradation = false;
        bool gradVertical = false;
        QColor highlight, shadow, darkShadow;
        bool operator==(const Colors&) const = default;
    };

    explicit TShineSpeedButton(QWidget* parent = nullptr);

    QString caption() const { return caption_; }
    QColor fontColor() const { return fontColor_; }
    int fontHeight() const;
    QColor fontShadow() const { return fontShadow_; }
    QColor fontHighlight() const { return fontHighlight_; }
    const Colors& colors() const { return colors_; }
    const Colors& pressedColors() const { return pressed_; }
    QColor color() const { return colors_.color; }
    QColor gradColor() const { return colors_.gradColor; }
    bool gradation() const { return colors_.gradation; }
    bool gradVertical() const { return colors_.gradVertical; }
    QColor highlight() const { return colors_.highlight; }
    QColor shadow() const { return colors_.shadow; }
    QColor darkShadow() const { return colors_.darkShadow; }
    QColor pressedColor() const { return pressed_.color; }
    QColor pressedGradColor() const { return pressed_.gradColor; }
    bool pressedGradation() const { return pressed_.gradation; }
    bool pressedGradVertical() const { return pressed_.gradVertical; }
    QColor pressedHighlight() const { return pressed_.highlight; }
    QColor pressedShadow() const { return pressed_.shadow; }
    FrameType frameType() const { return frameType_; }
    bool upFrame() const { return upFrame_; }
    bool downFrame() const { return downFrame_; }
    bool activeFrame() const { return activeFrame_; }
    bool clickDownHook() const { return clickDownHook_; }
    int groupIndex() const { return groupIndex_; }
    bool allowAllUp() const { return allowAllUp_; }
    bool isDown() const { return down_; }

    Look look() const { return look_; }
    bool isMouseInside() const { return inside_; }
    bool isHeld() const { return held_; }

    void setCaption(const QString& text);
    void setFontColor(const QColor& c);
    void setFontHeight(int height);
    void setFontShadow(const QColor& c);
    void setFontHighlight(const QColor& c);
    void setColors(const Colors& c);
    void setPressedColors(const Colors& c);
    void setColor(const QColor& c);
    void setGradColor(const QColor& c);
    void setGradation(bool on);
    void setGradVertical(bool on);
    void setHighlight(const QColor& c);
    void setShadow(const QColor& c);
    void setDarkShadow(const QColor& c);
    void setPressedColor(const QColor& c);
    void setPressedGradColor(const QColor& c);
    void setPressedGradation(bool on);
    void setPressedGradVertical(bool on);
    void setPressedHighlight(const QColor& c);
    void setPressedShadow(const QColor& c);
    void setFrameType(FrameType t);
    void setUpFrame(bool on);
    void setDownFrame(bool on);
    void setActiveFrame(bool on);
    void setClickDownHook(bool on);
    void setGroupIndex(int index);
    void setAllowAllUp(bool on);
    void setDown(bool on);

    // Runs the click as a mouse click does (the pressed look while `clicked` is handled).
    void click();
    // What a click on the button does, from the keyboard or assistive technology: a group's
    // button changes its down state first, then the click runs.
    void press();
    // Whether the keyboard focus is marked.
    bool showsFocusMark() const { return focusMark_.shown() && hasFocus(); }

    // The face ramp: step `e` (0..255) between `start` and `end`.
    static QColor rampStep(const QColor& start, const QColor& end, int e);

signals:
    void clicked();

protected:
    void paintEvent(QPaintEvent* event) override;
    void enterEvent(QEnterEvent* event) override;
    void leaveEvent(QEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void changeEvent(QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;

private:
    void mouseEntered();
    void mouseLeft();
    void hoverTick();
    // Sends itself the enter or leave that matches whether `pos` is over the button.
    void recheck(const QPoint& pos);
    void setLook(Look look);
    void applyDown(bool on);
    void groupChanged();
    QFont activeFont() const;
    int inkShiftIntoFrame(const QFontMetrics& fm, int baseline) const;
    void paintFrame(QPainter& p, bool sunken) const;
    template <typename T> void change(T& member, const T& value);

    QString caption_;
    QColor fontColor_{0, 0, 0};
    QColor fontShadow_;    // invalid: no shadow copy
    QColor fontHighlight_; // invalid: no highlight copy
    Colors colors_;
    Colors pressed_;
    FrameType frameType_ = ftNormalFrame;
    bool upFrame_ = true;
    bool downFrame_ = true;
    bool activeFrame_ = true;
    bool clickDownHook_ = false;
    int groupIndex_ = 0;
    bool allowAllUp_ = false;
    bool down_ = false;

    Look look_ = lsUp;
    bool inside_ = false;
    bool held_ = false;
    QTimer hoverTimer_;
    sc::controls::FocusMark focusMark_;
};

} // namespace sc::controls
