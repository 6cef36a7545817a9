#pragma once

#include <QTest>
#include <QWidget>

namespace sc::test {

// A key held down on `widget` as the desktop reports it: one press, then `repeats` pairs of
// release and press marked as auto-repeated, then the release.
inline void holdKey(QWidget* widget, Qt::Key key, const QString& text, int repeats = 3) {
    QTest::simulateEvent(widget, true, key, Qt::NoModifier, text, false);
    for (int i = 0; i < repeats; ++i) {
        QTest::simulateEvent(widget, false, key, Qt::NoModifier, text, true);
        QTest::simulateEvent(widget, true, key, Qt::NoModifier, text, true);
    }
    QTest::simulateEvent(widget, false, key, Qt::NoModifier, text, false);
}

} // namespace sc::test
