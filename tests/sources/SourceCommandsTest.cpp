#include "sources/SourceCommands.h"
#include "PipeGuard.h"
#include "QStringPrinting.h"
#include "ScriptedDialogs.h"
#include "TempProgramFolder.h"
#include "platform/FileKinds.h"
#include "sources/SearchFile.h"
#include "sources/SourceList.h"

#include <QUrl>

#include <filesystem>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

using sc::sources::TSearchFile;
using sc::sources::TSourceCommands;
using sc::sources::TSourceList;

namespace {

// The list, the scanner and the commands as the window holds them.
struct Sources {
    TSourceList list;
    TSearchFile search;
    sc::test::ScriptedDialogs dialogs;
    QStringList status;
    TSourceCommands commands{list, search, dialogs, [this](const QString& t) { status << t; }};

    QStringList paths() const { return list.paths(); }
};

} // namespace

TEST(StartupScan, ListsTheBmpFilesDirectlyInsideTheAlbumOnly) {
    sc::test::TempProgramFolder folder;
    folder.writeFile("drive_c/Album/a.bmp");
    folder.writeFile("drive_c/Album/b.jpg");
    folder.writeFile("drive_c/Album/sub/c.bmp");
    Sources s;
    s.commands.scanStartupFolder();
    EXPECT_EQ(s.paths(), QStringList({"C:\\Album\\a.bmp"}));
    EXPECT_TRUE(s.search.Recursive);
    EXPECT_TRUE(s.status.isEmpty());
}

TEST(Drop, KeepsBmpAndJpgFilesInAnyCaseAndSilentlyIgnoresTheRest) {
    sc::test::TempProgramFolder folder;
    QStringList dropped;
    for (const char* name : {"photo.JPG", "photo.jpg", "photo.Bmp", "photo.jpeg", "photo.gif",
                             "photo", "photo.jpg.txt", "my.jpg/photo"})
        dropped << folder.writeFile(QStringLiteral("drop/") + name);
    dropped << folder.host("drop/my.jpg");   // a folder: searched, and nothing in it is a picture
    dropped << folder.host("drop/gone.jpg"); // cannot be looked up
    const QString part(100, u'q');
    const QString longPath = folder.writeFile("drop/" + part + '/' + part + '/' + part + ".jpg");
    dropped << longPath;
    ASSERT_GT(longPath.size(), 300);
    Sources s;
    s.commands.dropFiles(dropped);
    EXPECT_EQ(s.paths(), QStringList({folder.host("drop/photo.Bmp"), folder.host("drop/photo.JPG"),
                                      folder.host("drop/photo.jpg"), longPath}));
    EXPECT_TRUE(s.dialogs.shown.isEmpty());
    EXPECT_TRUE(s.status.isEmpty());
}

// Only files are pictures: a folder or a pipe named like one is left out, dropped or found.
TEST(Drop, AFolderGivesTheFilesOfItsWholeTreeAndNothingElseNamedLikeAPicture) {
    sc::test::TempProgramFolder folder;
    folder.writeFile("drop/Trip/1.bmp");
    folder.writeFile("drop/Trip/2.JPG");
    folder.writeFile("drop/Trip/notes.txt");
    folder.writeFile("drop/Trip/day2/3.jpg");
    folder.writeFile("drop/Trip/day2/night/4.bmp");
    folder.writeFile("drop/Trip/x.jpg/inside.txt");
    ASSERT_TRUE(sc::test::makePipe(folder.host("drop/Trip/pipe.jpg")));
    sc::test::PipeGuard guard(folder.host("drop/Trip/pipe.jpg"));
    Sources s;
    s.commands.dropFiles({folder.host("drop/Trip/1.bmp"), folder.host("drop/Trip"),
                          folder.host("drop/Trip/pipe.jpg")});
    const QString trip = folder.host("drop/Trip");
    EXPECT_EQ(s.paths(), QStringList({trip + "/1.bmp", trip + "/1.bmp", trip + "/2.JPG",
                                      trip + "/day2/3.jpg", trip + "/day2/night/4.bmp"}));
    EXPECT_TRUE(s.search.Recursive);
    EXPECT_TRUE(s.dialogs.shown.isEmpty());
    EXPECT_FALSE(guard.fired());
}

namespace {
// Names that are not UTF-8 are beyond QTemporaryDir's clean-up: the test removes its folders.
struct RemovedAtEnd {
    QStringList folders;
    ~RemovedAtEnd() {
        for (const QString& f : folders)
            std::filesystem::remove_all(QFile::encodeName(f).toStdString());
    }
};

// A file whose name is the given bytes, inside a host folder that exists.
void writeRaw(const QString& folder, const QByteArray& name) {
    const int fd = ::open((QFile::encodeName(folder) + '/' + name).constData(),
                          O_WRONLY | O_CREAT | O_TRUNC, 0644);
    ASSERT_GE(fd, 0);
    ::close(fd);
}

// A folder whose name is the given bytes, inside a host folder (made when missing).
void makeRawFolder(const QString& folder, const QByteArray& name) {
    QDir().mkpath(folder);
    ASSERT_EQ(::mkdir((QFile::encodeName(folder) + '/' + name).constData(), 0755), 0);
}
} // namespace

// Qt cannot carry a name that is not UTF-8: such files are told of, once per command.
TEST(UnreadableNames, AreCountedAndToldOncePerScanOrDrop) {
    sc::test::TempProgramFolder folder;
    RemovedAtEnd removed{{folder.host("drive_c"), folder.host("drop")}};
    folder.writeFile("drive_c/Album/ok.bmp");
    writeRaw(folder.host("drive_c/Album"), "caf\xe9.bmp");
    writeRaw(folder.host("drive_c/Album"), "caf\xe9.jpg"); // not a start-up picture
    makeRawFolder(folder.host("drive_c/Album"), "\xe1");   // not entered at start-up
    Sources s;
    s.commands.scanStartupFolder();
    EXPECT_EQ(s.paths(), QStringList({"C:\\Album\\ok.bmp"}));
    EXPECT_EQ(
        s.dialogs.messages(),
        QStringList{"message:名前が UTF-8 の文字で書かれていないファイルまたはフォルダが 1 個あり、"
                    "リストに加えられませんでした。"});

    // A folder that cannot be entered counts once, though both masks meet it.
    folder.writeFile("drop/t/a.jpg");
    writeRaw(folder.host("drop/t"), "\xff\xfe.jpg");
    QDir().mkpath(folder.host("drop/t/sub"));
    writeRaw(folder.host("drop/t/sub"), "b.bmp");
    const QByteArray t = QFile::encodeName(folder.host("drop/t/"));
    ASSERT_EQ(::rename(t + "sub", t + "\xe0"), 0);
    s.dialogs.shown.clear();
    s.commands.dropFiles({folder.host("drop/t")}, 2);
    EXPECT_EQ(s.paths(), QStringList({folder.host("drop/t/a.jpg"), "C:\\Album\\ok.bmp"}));
    EXPECT_EQ(
        s.dialogs.messages(),
        QStringList{"message:名前が UTF-8 の文字で書かれていないファイルまたはフォルダが 4 個あり、"
                    "リストに加えられませんでした。"});

    // A dropped item's own name: the drop hands it on only when it can be carried.
    EXPECT_FALSE(sc::fileops::localPathOf(QUrl("file:///tmp/caf%E9.jpg")));
    EXPECT_EQ(sc::fileops::localPathOf(QUrl("file:///tmp/caf%C3%A9.jpg")),
              QStringLiteral("/tmp/café.jpg"));
}

TEST(DeviceFolderButton, ListsTheChosenFolderWithoutItsSubfolders) {
    sc::test::TempProgramFolder folder;
    RemovedAtEnd removed{{folder.host("drive_c")}};
    // A sub-folder whose name cannot be carried is not entered, so nothing is left out of it.
    makeRawFolder(folder.host("drive_c/Program Files/Snapcycle/DCIM"), "\xe1");
    folder.writeFile("drive_c/Program Files/Snapcycle/DCIM/a.bmp");
    folder.writeFile("drive_c/Program Files/Snapcycle/DCIM/B.JPG");
    folder.writeFile("drive_c/Program Files/Snapcycle/DCIM/sub/c.jpg");
    Sources s;
    s.dialogs.folderAnswers.push_back("C:\\Program Files\\Snapcycle\\DCIM");
    s.commands.collectFromDeviceFolder();
    EXPECT_EQ(s.dialogs.shown,
              QStringList{"browse:変換元フォルダの選択|C:\\Program Files\\Snapcycle"});
    EXPECT_EQ(s.paths(), QStringList({"C:\\Program Files\\Snapcycle\\DCIM\\a.bmp",
                                      "C:\\Program Files\\Snapcycle\\DCIM\\B.JPG"}));
    EXPECT_TRUE(s.search.Recursive);

    // The same folder dropped is scanned to the bottom.
    TSourceList dropped;
    TSearchFile search;
    TSourceCommands drop(dropped, search, s.dialogs, nullptr);
    s.dialogs.shown.clear();
    drop.dropFiles({folder.host("drive_c/Program Files/Snapcycle/DCIM")});
    EXPECT_EQ(dropped.count(), 3);
    EXPECT_EQ(s.dialogs.shown,
              QStringList{"message:名前が UTF-8 の文字で書かれていないファイルまたは"
                          "フォルダが 1 個あり、リストに加えられませんでした。"});
}

TEST(DeviceFolderButton, ACancelledBrowserAddsNothing) {
    sc::test::TempProgramFolder folder;
    folder.writeFile("drive_c/Program Files/Snapcycle/a.bmp");
    Sources s;
    s.commands.collectFromDeviceFolder();
    EXPECT_EQ(s.dialogs.shown.size(), 1);
    EXPECT_EQ(s.list.count(), 0);
}

TEST(ClearButton, EmptiesTheListAndShowsTheIdlePromptEvenWhenEmpty) {
    sc::test::TempProgramFolder folder;
    Sources s;
    s.commands.clearSourceList("Drop source files or a source folder here.");
    EXPECT_EQ(s.status, QStringList{"Drop source files or a source folder here."});
    s.list.addAll({"C:\\a.bmp", "C:\\b.bmp"});
    s.commands.clearSourceList("変換元の画像ファイル or フォルダをドロップしてください。");
    EXPECT_EQ(s.list.count(), 0);
    EXPECT_EQ(s.status.last(), "変換元の画像ファイル or フォルダをドロップしてください。");
}

TEST(DeviceFolderButton, AMissingDeviceFolderCountsAsACancelAndAnOutsideAnswerAddsNothing) {
    sc::test::TempProgramFolder folder;
    folder.writeFile("drive_c/Album/a.bmp");
    Sources s;
    s.dialogs.folderAnswers.push_back("C:\\Album");
    s.commands.collectFromDeviceFolder();
    EXPECT_TRUE(s.dialogs.shown.isEmpty()); // no device folder: no browser at all
    EXPECT_EQ(s.list.count(), 0);
    s.dialogs.folderAnswers.clear();

    folder.writeFile("drive_c/Program Files/Snapcycle/b.bmp");
    folder.writeFile("drive_c/Program Files/Snapcycle2/c.bmp");
    for (const char* outside : {"C:\\Album", "C:\\Program Files\\Snapcycle2",
                                "C:\\Program Files\\Snapcycle\\..\\Snapcycle2"})
        s.dialogs.folderAnswers.push_back(outside);
    for (int i = 0; i < 3; ++i)
        s.commands.collectFromDeviceFolder();
    EXPECT_EQ(s.list.count(), 0);
    // The device folder itself in another spelling is inside.
    s.dialogs.folderAnswers.push_back("c:/program files/SNAPCYCLE");
    s.commands.collectFromDeviceFolder();
    EXPECT_EQ(s.list.count(), 1);
}
