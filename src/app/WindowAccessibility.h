#pragma once

class QWidget;

namespace sc::app {

// Names the main window's controls for assistive technology in one language, after the
// captions of that language are in place: each box and the list by its label (without the
// colon) and labelled by it (a choice list's name is its chosen item on this desktop), the
// views by what they show, the title-bar buttons whose captions are signs by what they do.
// Buttons with words on them read their caption as it changes; the controls say for themselves
// what they are (the status line a status bar, the tuning boxes spin buttons).
void nameControls(QWidget& window, bool japanese);

} // namespace sc::app
