#pragma once

#include <QString>
#include <functional>

namespace sc {

class UserDialogs;

// What every command that does picture work (a job, a preview run) tells the user when it
// fails, whatever the cause.
inline const QString kFailureMessage =
    QStringLiteral("非対応フォーマットが含まれていました。処理を中止します。");

// Runs one such command inside its one failure guard: any failure it raises ends it with the
// alert sound and the failure message (or the text of a failure that names another cause), and
// what it did before stays. Returns false when it
// failed.
bool runGuarded(UserDialogs& dialogs, const std::function<void()>& command);

} // namespace sc
