#pragma once

#include <QList>
#include <QRect>
#include <QSize>

namespace sc::settings {

// Whether a window of `size` with its top-left corner at (left, top) shows at least one pixel
// on one of `screens`. Edges are added in 64 bits: a stored position may be anywhere in the
// integer range.
bool showsOnAnyScreen(int left, int top, QSize size, const QList<QRect>& screens);

} // namespace sc::settings
