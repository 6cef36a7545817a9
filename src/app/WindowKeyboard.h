#pragma once

#include <functional>

class QWidget;

namespace sc::app {

// Makes the main window usable from the keyboard, once after its design is built:
// - Tab walks every control a click reaches, in reading order: the list, "登録", "ｸﾘｱ", the
//   mode buttons, the controls of the visible page, "ﾘｾｯﾄ", OK, the language buttons and the
//   title-bar buttons (Shift+Tab goes back); the hidden pages drop out by themselves;
// - Return in the list runs `listReturn` (the preview of the selected picture, as a click on
//   it); Return in a closed choice list opens it.
void settleKeyboard(QWidget& window, std::function<void()> listReturn);

} // namespace sc::app
