#pragma once

#include <QImage>

// Reuse of large picture buffers. A job pushes one camera-sized picture after another through
// the same steps; handing the freed buffers to the next picture saves the operating system
// from providing and clearing fresh memory every time (about a third of a JPEG decode).
// At most two spare buffers are kept, none larger than a 32-megapixel picture: a larger
// picture's buffer goes back to the system at once.
namespace sc::imaging {

// A Format_RGB32 picture of that size with undefined pixels: a spare when one fits, else new.
// Null when memory runs out.
QImage takeBuffer(int width, int height);

// Releases `picture`; its buffer becomes a spare when `picture` was its only user.
void recycle(QImage& picture);

// Called once at start: the allocator keeps freed memory of middle size (encoded pictures,
// decoder work space, shrunk pictures) for the next picture instead of giving it back to the
// system and faulting it in afresh, which costs a job on two threads a tenth of its time.
// Picture buffers stay with the spares above.
void keepHeapForPictures();

// Gives back what a command's pictures left behind: the spare buffers, and the free memory the
// allocator keeps for the next picture. Called when a job or a preview ends, so that a large
// picture does not keep the window large.
void giveMemoryBack();

// Calls giveMemoryBack when it goes, however the command ends.
struct GiveMemoryBackAtEnd {
    GiveMemoryBackAtEnd() = default;
    GiveMemoryBackAtEnd(const GiveMemoryBackAtEnd&) = delete;
    GiveMemoryBackAtEnd& operator=(const GiveMemoryBackAtEnd&) = delete;
    ~GiveMemoryBackAtEnd() { giveMemoryBack(); }
};

} // namespace sc::imaging
