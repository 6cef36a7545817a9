#include "printing/SheetLayout.h"

namespace sc::printing::sheet {
static_assert(verticalSlot(49).x == 902 && verticalSlot(49).y == 1281);
static_assert(verticalCaption(49).x + kCaptionWidth == kVerticalSheetSize.x);
static_assert(verticalCaption(49).y + kCaptionHeight == kVerticalSheetSize.y);
static_assert(filmSlot(65).x == 1716 && filmSlot(65).y == 1137);
static_assert(filmSlot(65).x + kThumbWidth <= kFilmSheetSize.x);
static_assert(filmSlot(65).y + kThumbHeight <= kFilmSheetSize.y);
} // namespace sc::printing::sheet
