#include "LookAndFeel.h"

#include <QApplication>
#include <QFont>
#include <QPainter>
#include <QProxyStyle>
#include <QStyleOption>
#include <QToolTip>
#include <QWidget>

namespace sc::app {

namespace {

constexpr int kHintDelayMs = 500;
constexpr int kHintDurationMs = 2500;

const QColor kHintFill(85, 85, 85);

// Hint windows: their delay, and a grey fill inside a white outline.
class HintStyle : public QProxyStyle {
public:
    void drawPrimitive(PrimitiveElement element, const QStyleOption* option, QPainter* painter,
                       const QWidget* widget) const override {
        if (element != PE_PanelTipLabel)
            return QProxyStyle::drawPrimitive(element, option, painter, widget);
        const QRect r = option->rect;
        painter->fillRect(r, kHintFill);
        painter->fillRect(QRect(r.left(), r.top(), r.width(), 1), Qt::white);
        painter->fillRect(QRect(r.left(), r.bottom(), r.width(), 1), Qt::white);
        painter->fillRect(QRect(r.left(), r.top(), 1, r.height()), Qt::white);
        painter->fillRect(QRect(r.right(), r.top(), 1, r.height()), Qt::white);
    }

    int styleHint(StyleHint hint, const QStyleOption* option, const QWidget* widget,
                  QStyleHintReturn* returnData) const override {
        if (hint == SH_ToolTip_WakeUpDelay)
            return kHintDelayMs;
        return QProxyStyle::styleHint(hint, option, widget, returnData);
    }
};

} // namespace

void installLookAndFeel() {
    // fontconfig does not map the design's font to a Japanese face by itself.
    QFont::insertSubstitutions(QStringLiteral("ＭＳ Ｐゴシック"),
                               {QStringLiteral("MS PGothic"), QStringLiteral("IPAPGothic")});
    auto* app = qobject_cast<QApplication*>(QCoreApplication::instance());
    static bool installed = false;
    if (!app || installed)
        return;
    installed = true;
    QApplication::setStyle(new HintStyle);
    QPalette hints = QToolTip::palette();
    for (auto group : {QPalette::Active, QPalette::Inactive, QPalette::Disabled}) {
        hints.setColor(group, QPalette::ToolTipBase, kHintFill);
        hints.setColor(group, QPalette::ToolTipText, Qt::white);
    }
    QToolTip::setPalette(hints);
    QFont hintFont(QStringLiteral("ＭＳ Ｐゴシック"));
    hintFont.setPixelSize(16);
    QToolTip::setFont(hintFont);
}

void setHintDurations(QWidget* root) {
    const auto widgets = root->findChildren<QWidget*>();
    for (QWidget* w : widgets) {
        if (!w->toolTip().isEmpty())
            w->setToolTipDuration(kHintDurationMs);
    }
    root->setToolTipDuration(kHintDurationMs);
}

} // namespace sc::app
