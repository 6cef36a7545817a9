#include "platform/FileOps.h"
#include "TempProgramFolder.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

using namespace sc;

TEST(FileDates, TruncateToTwoSecondsAndRoundTripInLocalTime) {
    test::TempProgramFolder folder;
    folder.writeFile("drive_c/a.bmp");
    const QDateTime written(QDate(2004, 1, 2), QTime(9, 5, 7, 900));
    ASSERT_TRUE(fileops::setLastWriteTime("C:/a.bmp", written));
    const auto read = fileops::lastWriteTime("C:\\A.BMP");
    ASSERT_TRUE(read.has_value());
    EXPECT_EQ(*read, QDateTime(QDate(2004, 1, 2), QTime(9, 5, 6)));
    EXPECT_EQ(read->timeSpec(), Qt::LocalTime);
}

TEST(FileDates, OnlyTimesFrom1980ToTheEndOf2107AreFileDates) {
    test::TempProgramFolder folder;
    folder.writeFile("drive_c/old.bmp");
    ASSERT_TRUE(
        fileops::setLastWriteTime("C:/old.bmp", QDateTime(QDate(1979, 12, 31), QTime(23, 0))));
    EXPECT_FALSE(fileops::lastWriteTime("C:/old.bmp").has_value());
    EXPECT_FALSE(fileops::toFileDate(QDateTime(QDate(2108, 1, 1), QTime(0, 0))).has_value());
    EXPECT_TRUE(fileops::toFileDate(QDateTime(QDate(1980, 1, 1), QTime(0, 0))).has_value());
    EXPECT_FALSE(fileops::toFileDate(QDateTime(QDate(1979, 12, 31), QTime(23, 59, 59))));
    // The last time the format holds, read back from a file's own date.
    const QDateTime last(QDate(2107, 12, 31), QTime(23, 59, 58));
    folder.writeFile("drive_c/late.bmp");
    ASSERT_TRUE(fileops::setLastWriteTime("C:/late.bmp", last.addSecs(1)));
    EXPECT_EQ(fileops::lastWriteTime("C:/late.bmp"), last);
    EXPECT_FALSE(fileops::lastWriteTime("C:/missing.bmp").has_value());
    // Dating a missing file fails and creates nothing.
    EXPECT_FALSE(fileops::setLastWriteTime("C:/missing.bmp", QDateTime::currentDateTime()));
    EXPECT_FALSE(fileops::exists("C:/missing.bmp"));
}

TEST(Rename, NeverReplacesAnExistingFile) {
    test::TempProgramFolder folder;
    folder.writeFile("drive_c/x/a.jpg", "first");
    folder.writeFile("drive_c/x/b.jpg", "second");
    EXPECT_FALSE(fileops::renameNoReplace("C:/x/a.jpg", "C:/x/b.jpg"));
    QFile a(folder.host("drive_c/x/a.jpg")), b(folder.host("drive_c/x/b.jpg"));
    ASSERT_TRUE(a.open(QIODevice::ReadOnly) && b.open(QIODevice::ReadOnly));
    EXPECT_EQ(a.readAll(), "first");
    EXPECT_EQ(b.readAll(), "second");
    EXPECT_TRUE(fileops::renameNoReplace("C:/x/a.jpg", "C:/x/c.jpg"));
    EXPECT_FALSE(QFileInfo::exists(folder.host("drive_c/x/a.jpg")));
    EXPECT_FALSE(fileops::renameNoReplace("C:/x/a.jpg", "C:/x/d.jpg"));
}

TEST(ReadOnly, IsHonouredEvenForRoot) {
    test::TempProgramFolder folder;
    folder.writeFile("drive_c/ro.bmp");
    EXPECT_FALSE(fileops::isReadOnly("C:/ro.bmp"));
    ASSERT_TRUE(fileops::setReadOnly("C:/ro.bmp", true));
    EXPECT_TRUE(fileops::isReadOnly("C:/ro.bmp"));
}

// Reading a time takes no write access; a file another program holds locked, one that is not
// there and one that is no file (a pipe, which must not block the check) are refused.
TEST(ReadOnly, ATimeCanBeReadFromAWriteProtectedFileButNotFromALockedOne) {
    test::TempProgramFolder folder;
    const QString host = folder.writeFile("drive_c/ro.bmp");
    ASSERT_TRUE(fileops::setReadOnly("C:/ro.bmp", true));
    EXPECT_TRUE(fileops::canOpenToReadTime("C:/ro.bmp"));
    EXPECT_FALSE(fileops::canOpenToReadTime("C:/missing.bmp"));

    const int holder = ::open(QFile::encodeName(host).constData(), O_RDONLY | O_CLOEXEC);
    ASSERT_GE(holder, 0);
    ASSERT_EQ(::flock(holder, LOCK_EX | LOCK_NB), 0);
    EXPECT_FALSE(fileops::canOpenToReadTime("C:/ro.bmp"));
    ::close(holder);
    EXPECT_TRUE(fileops::canOpenToReadTime("C:/ro.bmp"));

    ASSERT_EQ(::mkfifo(QFile::encodeName(folder.host("drive_c/pipe.bmp")).constData(), 0644), 0);
    EXPECT_FALSE(fileops::canOpenToReadTime("C:/pipe.bmp"));
}

// Found by making a file, since the bits alone do not say: root ignores them. /proc takes no
// new file even from root; a folder without write bits refuses one only to other users.
TEST(Writing, CanCreateFileInTriesAndLeavesNothingBehind) {
    test::TempProgramFolder folder;
    EXPECT_TRUE(fileops::canCreateFileIn(folder.path()));
    EXPECT_TRUE(QDir(folder.path())
                    .entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot)
                    .isEmpty());
    EXPECT_FALSE(fileops::canCreateFileIn(folder.host("missing")));
    if (QFileInfo::exists(QStringLiteral("/proc/self"))) {
        EXPECT_FALSE(fileops::canCreateFileIn(QStringLiteral("/proc")));
    }

    const QString locked = folder.host("locked");
    QDir().mkpath(locked);
    QFile::setPermissions(locked, QFile::ReadOwner | QFile::ExeOwner);
    QFile plain(locked + QStringLiteral("/plain"));
    const bool bitsIgnored = plain.open(QIODevice::WriteOnly); // true only for root
    plain.remove();
    EXPECT_EQ(fileops::canCreateFileIn(locked), bitsIgnored);
    QFile::setPermissions(locked, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
}

TEST(Listing, MatchesWildcardsWithoutRegardToCase) {
    test::TempProgramFolder folder;
    folder.writeFile("drive_c/al/a.bmp");
    folder.writeFile("drive_c/al/B.BMP");
    folder.writeFile("drive_c/al/c.jpg");
    folder.writeFile("drive_c/al/d.bmpx");
    folder.writeFile("drive_c/al/sub.bmp/inner.txt");
    QStringList bmps = fileops::listMatching("C:/Al", "*.bmp");
    bmps.sort();
    EXPECT_EQ(bmps, QStringList({"B.BMP", "a.bmp", "sub.bmp"}));
    EXPECT_EQ(fileops::listMatching("C:/al", "*.*").size(), 5);
    EXPECT_EQ(fileops::listFolders("C:/al"), QStringList({"sub.bmp"}));
}

TEST(Folders, AreMadeWithTheirParentsAndFilesDeleted) {
    test::TempProgramFolder folder;
    folder.writeFile("drive_c/out/a.jpg", "old");
    EXPECT_TRUE(fileops::makeFolders("C:/nowhere/deep/er"));
    EXPECT_TRUE(fileops::isFolder("C:/nowhere/deep/er"));
    EXPECT_TRUE(fileops::deleteFile("C:/out/a.jpg"));
    EXPECT_EQ(fileops::fileSize("C:/out/a.jpg"), -1);
}
