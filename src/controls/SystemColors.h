#pragma once

#include <QColor>

// The desktop colours the skinned controls fall back to. They are fixed to the classic
// values rather than read from the style, so the window looks the same on every desktop.
namespace sc::controls::syscolor {

inline QColor buttonFace() {
    return QColor(240, 240, 240);
}
inline QColor buttonShadow() {
    return QColor(160, 160, 160);
}
inline QColor buttonHighlight() {
    return QColor(255, 255, 255);
}
inline QColor windowFrame() {
    return QColor(0, 0, 0);
}

} // namespace sc::controls::syscolor
