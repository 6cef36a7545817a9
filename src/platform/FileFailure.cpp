#include "FileFailure.h"

#include <cerrno>
#include <cstring>

namespace sc {

QString causeText(int e) {
    switch (e) {
    case kNotARegularFile:
        return QStringLiteral("通常のファイルではありません。");
    case kShortWrite:
        return QStringLiteral("データを最後まで書き込めませんでした。");
    case kReadOnlyFile:
        return QStringLiteral("読み取り専用のファイルです。");
    case ENOSPC:
        return QStringLiteral("ディスクの空き容量が足りません。");
#ifdef EDQUOT
    case EDQUOT:
        return QStringLiteral("ディスクの使用量の上限に達しました。");
#endif
    case EROFS:
        return QStringLiteral("書き込みできないドライブです。");
    case EACCES:
    case EPERM:
        return QStringLiteral("アクセスが拒否されました。");
    case ENOENT:
        return QStringLiteral("ファイルまたはフォルダが見つかりません。");
    case ENOTDIR:
        return QStringLiteral("フォルダが見つかりません。");
    case EISDIR:
        return QStringLiteral("ファイルではなくフォルダです。");
    case ENAMETOOLONG:
        return QStringLiteral("ファイル名が長すぎます。");
    case EIO:
        return QStringLiteral("ディスクの読み書きに失敗しました。");
    case EEXIST:
        return QStringLiteral("同じ名前のファイルがすでにあります。");
    case EMFILE:
    case ENFILE:
        return QStringLiteral("開いているファイルが多すぎます。");
    default:
        return QStringLiteral("システムエラー %1（%2）").arg(e).arg(QString::fromLocal8Bit(std::strerror(e)));
    }
}

QString fileFailureText(FileAction action, const QString& path, int errnoValue) {
    QString what;
    switch (action) {
    case FileAction::Read:
        what = QStringLiteral("%1 を読み込めませんでした。");
        break;
    case FileAction::Write:
        what = QStringLiteral("%1 を書き込めませんでした。");
        break;
    case FileAction::Delete:
        what = QStringLiteral("%1 を削除できませんでした。");
        break;
    case FileAction::MakeFolder:
        what = QStringLiteral("フォルダ %1 を作成できませんでした。");
        break;
    }
    return what.arg(path) + u'\n' + causeText(errnoValue) + QStringLiteral("\n処理を中止します。");
}

Error fileFailure(FileAction action, const QString& path, int errnoValue) {
    const QString shown = fileFailureText(action, path, errnoValue);
    return Error(shown, shown);
}

} // namespace sc
