#pragma once

class QWidget;

namespace sc::app {

// Rewrites the main window's switchable texts in one language: the idle prompt of the status
// line, the label and button captions, then the items of the choice lists. Each list keeps its
// selected index, and no change handler runs: only texts change. Everything else (hints, "OK",
// the title-bar and language buttons, the footer, progress texts) keeps its single wording.
void applyCaptionLanguage(QWidget& window, bool japanese);

} // namespace sc::app
