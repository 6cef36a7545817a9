#include "platform/FileWrites.h"
#include "platform/Error.h"

#include "QStringPrinting.h"
#include "SmallTmpfs.h"
#include "TempProgramFolder.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <cerrno>
#include <sys/stat.h>

using namespace sc;
using fileops::WriteFaults;
using fileops::WriteStep;

namespace {

QByteArray readAll(const QString& host) {
    QFile f(host);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<missing>");
}

QStringList entries(const QString& host) {
    return QDir(host).entryList(
        QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot, QDir::Name);
}

// The failure `write` raises: its shown text, or empty when it raised none.
template <typename Write> QString shownFailure(Write write) {
    try {
        write();
    } catch (const Error& e) {
        return e.shownText();
    }
    return QString();
}

} // namespace

TEST(FileWrites, ReplaceAFileWholeKeepingItsModeAndMakeANewOne) {
    test::TempProgramFolder folder;
    const QString old = folder.writeFile("drive_c/out/a.jpg", "old");
    ::chmod(QFile::encodeName(old).constData(), 0640);
    fileops::writeFileReplacing("C:/out/a.jpg", "new bytes");
    fileops::writeFileReplacing("C:/out/b.jpg", "fresh");
    EXPECT_EQ(readAll(old), "new bytes");
    EXPECT_EQ(readAll(folder.host("drive_c/out/b.jpg")), "fresh");
    struct stat st {};
    ASSERT_EQ(::stat(QFile::encodeName(old).constData(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0640u);
    EXPECT_EQ(entries(folder.host("drive_c/out")), QStringList({"a.jpg", "b.jpg"}));
}

TEST(FileWrites, TheNthWriteFailsAndAStreamStopsThere) {
    test::TempProgramFolder folder;
    WriteFaults faults(WriteStep::Write, 2, ENOSPC);
    fileops::ReplacingFile file(folder.host("pages.tif"), fileops::Durability::Scratch);
    EXPECT_TRUE(file.write("first"));
    EXPECT_FALSE(file.write("second"));
    EXPECT_FALSE(file.write("third"));
    EXPECT_FALSE(file.commit());
    EXPECT_EQ(file.error(), ENOSPC);
    EXPECT_TRUE(entries(folder.path()).isEmpty());
}

// Replacing a file syncs it, renames it over the old one, then syncs the folder so that the
// new name outlives a crash: when either sync fails, the write has failed and says so.
TEST(FileWrites, AFailedSyncOfTheFileOrOfItsFolderFailsAReplacingWrite) {
    test::TempProgramFolder folder;
    folder.writeFile("drive_c/out/a.jpg", "old");
    for (const int nth : {1, 2}) { // the file's own sync, then its folder's
        WriteFaults faults(WriteStep::Sync, nth, EIO);
        EXPECT_EQ(shownFailure([] { fileops::writeFileReplacing("C:/out/a.jpg", "new"); }),
                  "C:/out/a.jpg を書き込めませんでした。\n"
                  "ディスクの読み書きに失敗しました。\n処理を中止します。")
            << "sync " << nth;
    }
    EXPECT_EQ(entries(folder.host("drive_c/out")), QStringList({"a.jpg"}));
}

// A link at the target's name is replaced, even when it points at a read-only file, which
// stays as it was; the new file has the mode any new file gets, neither the link's nor its
// target's. A folder that is a link is written into as any folder.
TEST(FileWrites, ALinkAtTheNameIsReplacedAndAFolderLinkIsWrittenInto) {
    test::TempProgramFolder folder;
    const mode_t umask = ::umask(022);
    const QString locked = folder.writeFile("elsewhere/keep.jpg", "precious");
    ::chmod(QFile::encodeName(locked).constData(), 0444);
    QDir().mkpath(folder.host("other_disk"));
    QDir().mkpath(folder.host("drive_c"));
    ASSERT_TRUE(QFile::link(locked, folder.host("drive_c/a.jpg")));
    ASSERT_TRUE(QFile::link(folder.host("other_disk"), folder.host("drive_c/Data")));

    fileops::writeFileReplacing("C:/a.jpg", "new");
    fileops::writeFileReplacing("C:/Data/b.jpg", "copy");
    EXPECT_EQ(readAll(locked), "precious");
    EXPECT_FALSE(QFileInfo(folder.host("drive_c/a.jpg")).isSymLink());
    EXPECT_EQ(readAll(folder.host("drive_c/a.jpg")), "new");
    EXPECT_EQ(readAll(folder.host("other_disk/b.jpg")), "copy");
    struct stat st {};
    ASSERT_EQ(::lstat(QFile::encodeName(folder.host("drive_c/a.jpg")).constData(), &st), 0);
    EXPECT_EQ(st.st_mode & 07777, 0644u);
    ::umask(umask);
}

TEST(FileWrites, ANameThatIsNoWritableFileIsLeftAsItIs) {
    test::TempProgramFolder folder;
    const QString locked = folder.writeFile("drive_c/ro.jpg", "old");
    ::chmod(QFile::encodeName(locked).constData(), 0444);
    QDir().mkpath(folder.host("drive_c/dir.jpg"));
    ASSERT_EQ(::mkfifo(QFile::encodeName(folder.host("drive_c/pipe.jpg")).constData(), 0644), 0);
    const QString tooLong = QStringLiteral("C:/") + QString(300, u'n') + QStringLiteral(".jpg");

    const auto causeOf = [](const QString& path) {
        return shownFailure([&] { fileops::writeFileReplacing(path, "new"); }).section(u'\n', 1, 1);
    };
    EXPECT_EQ(causeOf("C:/ro.jpg"), "読み取り専用のファイルです。");
    EXPECT_EQ(causeOf("C:/dir.jpg"), "ファイルではなくフォルダです。");
    EXPECT_EQ(causeOf("C:/pipe.jpg"), "通常のファイルではありません。");
    EXPECT_EQ(causeOf("C:/missing/a.jpg"), "ファイルまたはフォルダが見つかりません。");
    EXPECT_EQ(causeOf("C:/ro.jpg/a.jpg"), "フォルダが見つかりません。");
    EXPECT_EQ(causeOf(tooLong), "ファイル名が長すぎます。");
    EXPECT_EQ(readAll(locked), "old");
    EXPECT_EQ(entries(folder.host("drive_c")), QStringList({"dir.jpg", "pipe.jpg", "ro.jpg"}));
}

TEST(FileWrites, AFolderThatCannotBeMadeNamesItsCause) {
    test::TempProgramFolder folder;
    folder.writeFile("drive_c/album", "a file where the folder should be");
    fileops::makeFoldersOrRaise("C:/new/Data");
    EXPECT_TRUE(QFileInfo(folder.host("drive_c/new/Data")).isDir());
    const QString shown = shownFailure([] { fileops::makeFoldersOrRaise("C:/album/Data"); });
    EXPECT_EQ(shown, "フォルダ C:/album/Data を作成できませんでした。\nフォルダが見つかりません。\n"
                     "処理を中止します。");
}

// A real file system that is nearly full: a small file fails as surely as a large one.
TEST(FileWrites, ASmallFileOnANearlyFullDiskFailsAndKeepsTheOldOne) {
    test::TempProgramFolder folder;
    test::SmallTmpfs disk(folder.host("drive_e"), 256 * 1024);
    if (!disk.mounted())
        GTEST_SKIP() << "mounting a tmpfs needs root";
    const QString old = folder.writeFile("drive_e/a.jpg", "old bytes");
    disk.fillLeaving(4096);
    const QString shown =
        shownFailure([] { fileops::writeFileReplacing("E:/a.jpg", QByteArray(12 * 1024, 'x')); });
    EXPECT_EQ(shown, "E:/a.jpg を書き込めませんでした。\nディスクの空き容量が足りません。\n"
                     "処理を中止します。");
    EXPECT_EQ(readAll(old), "old bytes");
    EXPECT_EQ(entries(folder.host("drive_e")), QStringList({".ballast", "a.jpg"}));
}
