#pragma once

#include <functional>

namespace sc {

// Runs a modal dialog (`runDialog` shows it and returns when it closes) and then gives the
// keyboard focus back to the control that had it, activating that control's window again: not
// every desktop hands the activation back when a dialog closes, and without it the keyboard
// user is left with no focus at all.
void returningFocus(const std::function<void()>& runDialog);

} // namespace sc
