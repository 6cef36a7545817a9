#pragma once

class QComboBox;
class QWidget;

namespace sc::app {

// Before the window's controls are made (Qt keeps the first interface it makes for each): the
// window reads as a window, the picture views as pictures.
void installWindowAccessibility();

// Once, after the controls are made: a reader can choose an item of a closed choice list.
void settleChoiceLists(QWidget& window);

// The chosen item of a choice list reads as selected among its items; for an item chosen
// quietly (the list's signals blocked), which the list cannot tell.
void showChoiceAsSelected(QComboBox& list);

// Names the main window's controls for assistive technology in one language, after the
// captions of that language are in place: each box and the list by its label (without the
// colon) and labelled by it (a choice list's name is its chosen item on this desktop), the
// views by what they show, the title-bar buttons whose captions are signs by what they do.
// Buttons with words on them read their caption as it changes; the controls say for themselves
// what they are (the status line a status bar, the tuning boxes spin buttons).
void nameControls(QWidget& window, bool japanese);

} // namespace sc::app
