#pragma once

#include <QColor>
#include <QLineEdit>
#include <QPalette>

namespace sc::controls {

// The setting controls' text fields: white text on a background of their own, greyed text
// when disabled.
inline void setEditorBackground(QLineEdit& edit, const QColor& colour) {
    QPalette p = edit.palette();
    p.setColor(QPalette::Base, colour);
    p.setColor(QPalette::Text, Qt::white);
    p.setColor(QPalette::Disabled, QPalette::Base, colour);
    p.setColor(QPalette::Disabled, QPalette::Text, QColor(128, 128, 128));
    edit.setPalette(p);
}

} // namespace sc::controls
