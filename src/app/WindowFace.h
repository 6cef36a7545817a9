#pragma once

class QWidget;

namespace sc::app {

// Settles how the main window's surface paints, once after its design is built: every panel
// paints its own background (a panel lying over another hides that one's border), the mode
// panel lies over the page panel so the mode buttons show whole, and every shadowed label
// grows around its text instead of cutting descenders or longer captions.
void settleWindowFace(QWidget& window);

} // namespace sc::app
