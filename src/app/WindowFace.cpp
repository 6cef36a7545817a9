#include "WindowFace.h"

#include "controls/TShadowLabel.h"

#include <QFrame>

namespace sc::app {

using controls::TShadowLabel;

void settleWindowFace(QWidget& window) {
    for (QFrame* panel : window.findChildren<QFrame*>()) {
        if (panel->objectName().startsWith(QLatin1String("Panel")))
            panel->setAutoFillBackground(true);
    }
    if (auto* modePanel = window.findChild<QWidget*>(QStringLiteral("Panel6")))
        modePanel->raise();
    for (TShadowLabel* label : window.findChildren<TShadowLabel*>())
        label->keepTextWhole();
}

} // namespace sc::app
