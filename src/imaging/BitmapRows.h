#pragma once

#include <QtGlobal>

namespace sc::imaging {

// A bitmap row of 24-bit pixels (blue, green, red in file order) as opaque RGB32 pixels: the
// step every camera bitmap goes through, so it runs on the CPU's widest byte shuffle. The
// pixels go straight to memory, past the cache: a 12-megapixel picture does not fit there
// anyway, and so its lines need not be read in before they are written.
void widenBgrRow(const uchar* in, quint32* out, int width);

} // namespace sc::imaging
