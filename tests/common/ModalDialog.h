#pragma once

#include <QApplication>
#include <QDialog>
#include <QTimer>
#include <functional>

namespace sc::test {

// Runs `check` on the modal dialog once it is up, then closes it; a dialog that stays up past
// the check is closed after a while, so a failing test never hangs.
inline void whenDialogOpens(const std::function<void(QWidget*)>& check) {
    QTimer::singleShot(50, [check] {
        if (QWidget* dialog = QApplication::activeModalWidget())
            check(dialog);
    });
    QTimer::singleShot(5000, [] {
        if (auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget()))
            dialog->done(QDialog::Rejected);
    });
}

} // namespace sc::test
