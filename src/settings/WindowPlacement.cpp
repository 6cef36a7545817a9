#include "WindowPlacement.h"

#include <algorithm>

namespace sc::settings {

bool showsOnAnyScreen(int left, int top, QSize size, const QList<QRect>& screens) {
    const qint64 right = qint64(left) + size.width();  // one past the last column
    const qint64 bottom = qint64(top) + size.height(); // one past the last row
    return std::any_of(screens.begin(), screens.end(), [&](const QRect& screen) {
        return left < qint64(screen.left()) + screen.width() && right > screen.left() &&
               top < qint64(screen.top()) + screen.height() && bottom > screen.top();
    });
}

} // namespace sc::settings
