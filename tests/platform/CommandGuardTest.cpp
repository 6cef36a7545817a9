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
    const QString format = QStringLiteral("message:") + kFailureMessage;
    ASSERT_EQ(dialogs.shown.size(), 6);
    EXPECT_EQ(dialogs.shown[0], u"beep");
    EXPECT_EQ(dialogs.shown[1], format);
    EXPECT_EQ(dialogs.shown[3], format);
    EXPECT_EQ(dialogs.shown[4], u"beep");
    EXPECT_EQ(dialogs.shown[5],
              QStringLiteral("message:D:/out/a.jpg を書き込めませんでした。\n"
                             "ディスクの空き容量が足りません。\n処理を中止します。"));
}

TEST(CommandGuard, EveryCauseHasWordsOfItsOwn) {
    QStringList seen;
    for (int e : {kNotARegularFile, kShortWrite, kReadOnlyFile, ENOSPC, EDQUOT, EROFS, EACCES, ENOENT, ENOTDIR,
                  EISDIR, ENAMETOOLONG, EIO}) {
        const QString text = causeText(e);
        EXPECT_FALSE(seen.contains(text)) << text.toStdString();
        seen << text;
    }
    EXPECT_TRUE(causeText(EXDEV).contains(QString::number(EXDEV)));
}
