#include "WindowStatusLine.h"

#include "controls/TShadowLabel.h"

#include <QCoreApplication>

namespace sc::app {

WindowStatusLine::WindowStatusLine(QWidget& window, controls::TShadowLabel& label,
                                   std::function<QString()> idlePrompt)
    : window_(window), label_(label), idlePrompt_(std::move(idlePrompt)) {}

void WindowStatusLine::show(const QString& text) {
    label_.setText(text);
    paintNow();
}

void WindowStatusLine::showIdlePrompt() {
    show(idlePrompt_());
}

void WindowStatusLine::repaintWindow() {
    window_.repaint();
    QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
}

void WindowStatusLine::paintNow() {
    label_.setVisible(true);
    label_.repaint();
    QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
}

} // namespace sc::app
