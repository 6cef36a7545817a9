#pragma once

#include <QImage>

// Reuse of large picture buffers. A job pushes one camera-sized picture after another through
// the same steps; handing the freed buffers to the next picture saves the operating system
// from providing and clearing fresh memory every time (about a third of a JPEG decode).
// At most two spare buffers are kept.
namespace sc::imaging {

// A Format_RGB32 picture of that size with undefined pixels: a spare when one fits, else new.
// Null when memory runs out.
QImage takeBuffer(int width, int height);

// Releases `picture`; its buffer becomes a spare when `picture` was its only user.
void recycle(QImage& picture);

} // namespace sc::imaging
