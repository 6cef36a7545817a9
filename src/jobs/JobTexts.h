#pragma once

#include "platform/CommandGuard.h"

#include <QString>
#include <QStringList>

// Texts the jobs put in the status line and in their dialogs. Progress texts never follow the
// caption language.
namespace sc::jobs {

using sc::kFailureMessage;
inline const QString kRenamePassText = QStringLiteral("日付リネーム処理中です。");
inline const QString kTimestampUnreadableSuffix =
    QStringLiteral(" からはタイムスタンプが読み込めません。");
inline const QString kDeleteSourcesQuestion =
    QStringLiteral("処理が終了しました。\n変換元のBMPファイルを削除してよろしいですか？");

inline QString progressText(int n, int count, const char* what) {
    return QString::number(n) + u'/' + QString::number(count) + QString::fromUtf8(what);
}
inline QString jpegProgress(int n, int count) {
    return progressText(n, count, " 枚目の変換処理中です。");
}
inline QString albumProgress(int n, int count) {
    return progressText(n, count, " 枚目の処理中です。");
}
inline QString printProgress(int n, int count) {
    return progressText(n, count, " 枚目の印刷準備中です。");
}

// The lines of a message that names files: the first ten, each on its own line, then how many
// more there are (a long list would not fit on the screen).
inline QString namedLines(const QStringList& lines) {
    constexpr int kNamed = 10;
    QString text;
    for (int i = 0; i < lines.size() && i < kNamed; ++i)
        text += u'\n' + lines[i];
    if (lines.size() > kNamed)
        text += QStringLiteral("\nほか %1 件").arg(lines.size() - kNamed);
    return text;
}

} // namespace sc::jobs
