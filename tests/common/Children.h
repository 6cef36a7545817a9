#pragma once

#include <QRect>
#include <QWidget>
#include <gtest/gtest.h>

namespace sc::test {

// The descendant of `root` named `name`, failing the test when there is none.
template <typename T = QWidget> T* childOf(const QObject& root, const char* name) {
    T* w = root.findChild<T*>(QString::fromLatin1(name));
    EXPECT_NE(w, nullptr) << name;
    return w;
}

// Where `w` lies inside `root`, in `root`'s coordinates.
inline QRect placeIn(const QWidget& root, const QWidget& w) {
    return QRect(w.mapTo(&root, QPoint(0, 0)), w.size());
}

} // namespace sc::test
