#pragma once

class QWidget;

namespace sc::app {

// Application-wide look, once at start-up: the design's Japanese font mapped to an installed
// face, and the hint windows (shown 500 ms after the pointer rests, white on grey with a white
// outline).
void installLookAndFeel();

// Every hint inside `root` hides again 2500 ms after it shows.
void setHintDurations(QWidget* root);

} // namespace sc::app
