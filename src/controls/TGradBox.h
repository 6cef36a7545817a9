#pragma once

#include <QColor>
#include <QWidget>
#include <array>

namespace sc::controls {

// A bar painted as a 256-step colour ramp, used for the window's title bar, footer and side
// edges. It takes no mouse input, so the window can be dragged through it.
class TGradBox : public QWidget {
    Q_OBJECT
    Q_PROPERTY(QColor topColor READ topColor WRITE setTopColor)
    Q_PROPERTY(QColor lastColor READ lastColor WRITE setLastColor)
    Q_PROPERTY(GradStyle gradStyle READ gradStyle WRITE setGradStyle)
    Q_PROPERTY(bool drawOutLine READ drawOutLine WRITE setDrawOutLine)
    Q_PROPERTY(QColor outLineColor READ outLineColor WRITE setOutLineColor)
public:
    enum GradStyle { gsTopBottom, gsBottomTop, gsLeftRight, gsRightLeft, gsNone };
    Q_ENUM(GradStyle)

    explicit TGradBox(QWidget* parent = nullptr);

    QColor topColor() const { return topColor_; }
    QColor lastColor() const { return lastColor_; }
    GradStyle gradStyle() const { return gradStyle_; }
    bool drawOutLine() const { return drawOutLine_; }
    QColor outLineColor() const { return outLineColor_; }

    void setTopColor(const QColor& c);
    void setLastColor(const QColor& c);
    void setGradStyle(GradStyle s);
    void setDrawOutLine(bool on);
    void setOutLineColor(const QColor& c);

    // The ramp from `start` (entry 0) to `end` (entry 255), stepped the way the bar paints it.
    static std::array<QRgb, 256> ramp(const QColor& start, const QColor& end);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QColor topColor_{0, 128, 0};
    QColor lastColor_{0, 255, 0};
    GradStyle gradStyle_ = gsTopBottom;
    bool drawOutLine_ = false;
    QColor outLineColor_{0, 0, 0};
};

} // namespace sc::controls
