#pragma once

#include <QtGlobal>

// Reads of 16- and 32-bit fields of file headers (BMP, TIFF/EXIF) in either byte order. The
// caller checks that the bytes exist.
namespace sc::imaging {

inline quint16 get16(const uchar* p, bool le) {
    return le ? quint16(p[0] | p[1] << 8) : quint16(p[0] << 8 | p[1]);
}

inline quint32 get32(const uchar* p, bool le) {
    return le ? quint32(p[0]) | quint32(p[1]) << 8 | quint32(p[2]) << 16 | quint32(p[3]) << 24
              : quint32(p[0]) << 24 | quint32(p[1]) << 16 | quint32(p[2]) << 8 | quint32(p[3]);
}

} // namespace sc::imaging
