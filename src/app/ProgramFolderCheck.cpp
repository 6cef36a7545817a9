#include "ProgramFolderCheck.h"

#include "platform/FileOps.h"
#include "platform/UserDialogs.h"

#include <QDir>

namespace sc::app {

namespace {
QString unwritableProgramFolderMessage(const QString& programFolder) {
    return QStringLiteral("プログラムフォルダに書き込めません。\n%1\n\n"
                          "設定は保存されません。"
                          "このフォルダに書き込める利用者で起動するか、"
                          "ご自分で書き込めるフォルダにインストールし直してください。")
        .arg(QDir::toNativeSeparators(programFolder));
}
} // namespace

bool checkProgramFolderWritable(const QString& programFolder, UserDialogs& dialogs) {
    if (fileops::canCreateFileIn(programFolder))
        return true;
    dialogs.message(unwritableProgramFolderMessage(programFolder));
    return false;
}

} // namespace sc::app
