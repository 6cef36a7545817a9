#include "DialogFocus.h"

#include <QApplication>
#include <QPointer>
#include <QWidget>

namespace sc {

void returningFocus(const std::function<void()>& runDialog) {
    const QPointer<QWidget> opener = QApplication::focusWidget();
    runDialog();
    if (!opener || !opener->isVisible())
        return;
    opener->activateWindow();
    // The focus comes back with its window: a keyboard focus keeps its mark.
    opener->setFocus(Qt::ActiveWindowFocusReason);
}

} // namespace sc
