#include "platform/CommandGuard.h"
#include "platform/FileFailure.h"

#include "QStringPrinting.h"
#include "ScriptedDialogs.h"

#include <gtest/gtest.h>

#include <cerrno>

using namespace sc;

// A picture that cannot be read keeps the one format message; a disk failure names its file and
// its cause instead, after the same alert sound.
TEST(CommandGuard, FormatFailuresShareOneMessageAndFileFailuresNameTheirCause) {
    test::ScriptedDialogs dialogs;
    EXPECT_FALSE(runGuarded(dialogs, [] { throw Error(QStringLiteral("bad marker")); }));
    EXPECT_FALSE(runGuarded(dialogs, [] { throw std::bad_alloc(); }));
    EXPECT_FALSE(runGuarded(dialogs, [] {
        throw fileFailure(FileAction::Write, QStringLiteral("D:/out/a.jpg"), ENOSPC);
    }));
    EXPECT_TRUE(runGuarded(dialogs, [] {}));
    const QString format =
        QStringLiteral("message:非対応フォーマットが含まれていました。処理を中止します。");
    ASSERT_EQ(dialogs.shown.size(), 6);
    EXPECT_EQ(dialogs.shown[0], u"beep");
    EXPECT_EQ(dialogs.shown[1], format);
    EXPECT_EQ(dialogs.shown[3], format);
    EXPECT_EQ(dialogs.shown[4], u"beep");
    EXPECT_EQ(dialogs.shown[5],
              QStringLiteral("message:D:/out/a.jpg を書き込めませんでした。\n"
                             "ディスクの空き容量が足りません。\n処理を中止します。"));
}

// Each cause and each action has words of its own; a cause without them is named by number.
TEST(CommandGuard, EveryCauseAndActionIsToldInItsOwnWords) {
    const struct {
        int error;
        const char* words;
    } causes[] = {
        {kNotARegularFile, "通常のファイルではありません。"},
        {kShortWrite, "データを最後まで書き込めませんでした。"},
        {kReadOnlyFile, "読み取り専用のファイルです。"},
        {ENOSPC, "ディスクの空き容量が足りません。"},
        {EDQUOT, "ディスクの使用量の上限に達しました。"},
        {EROFS, "書き込みできないドライブです。"},
        {EACCES, "アクセスが拒否されました。"},
        {EPERM, "アクセスが拒否されました。"},
        {ENOENT, "ファイルまたはフォルダが見つかりません。"},
        {ENOTDIR, "フォルダが見つかりません。"},
        {EISDIR, "ファイルではなくフォルダです。"},
        {ENAMETOOLONG, "ファイル名が長すぎます。"},
        {EIO, "ディスクの読み書きに失敗しました。"},
        {EEXIST, "同じ名前のファイルがすでにあります。"},
        {EMFILE, "開いているファイルが多すぎます。"},
        {ENFILE, "開いているファイルが多すぎます。"},
        {EXDEV, "システムエラー 18（Invalid cross-device link）"},
    };
    for (const auto& c : causes)
        EXPECT_EQ(fileFailureText(FileAction::Write, "D:/a.jpg", c.error),
                  QStringLiteral("D:/a.jpg を書き込めませんでした。\n") +
                      QString::fromUtf8(c.words) + QStringLiteral("\n処理を中止します。"))
            << c.error;
    const QString cause =
        QStringLiteral("\nディスクの読み書きに失敗しました。\n処理を中止します。");
    EXPECT_EQ(fileFailureText(FileAction::Read, "D:/a.bmp", EIO),
              "D:/a.bmp を読み込めませんでした。" + cause);
    EXPECT_EQ(fileFailureText(FileAction::Delete, "D:/a.bmp", EIO),
              "D:/a.bmp を削除できませんでした。" + cause);
    EXPECT_EQ(fileFailureText(FileAction::MakeFolder, "D:/a", EIO),
              "フォルダ D:/a を作成できませんでした。" + cause);
}
