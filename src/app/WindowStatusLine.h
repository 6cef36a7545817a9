#pragma once

#include "jobs/StatusLine.h"

#include <functional>

class QWidget;
namespace sc::controls {
class TShadowLabel;
}

namespace sc::app {

// The status line on the window's label. Each new text is painted at once and the window
// then answers the desktop (repaints, close requests) while clicks and keys wait for the job.
class WindowStatusLine : public jobs::StatusLine {
public:
    WindowStatusLine(QWidget& window, controls::TShadowLabel& label,
                     std::function<QString()> idlePrompt);

    void show(const QString& text) override;
    void showIdlePrompt() override;
    void repaintWindow() override;

private:
    void paintNow();

    QWidget& window_;
    controls::TShadowLabel& label_;
    std::function<QString()> idlePrompt_;
};

} // namespace sc::app
