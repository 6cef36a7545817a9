#include "sources/SourceCommands.h"
#include "QStringPrinting.h"
#include "ScriptedDialogs.h"
#include "TempProgramFolder.h"
#include "sources/SearchFile.h"
#include "sources/SourceList.h"

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

TEST(Drop, AFolderGivesItsWholeTreeAndAFolderNamedLikeAPicture) {
    sc::test::TempProgramFolder folder;
    folder.writeFile("drop/Trip/1.bmp");
    folder.writeFile("drop/Trip/2.JPG");
    folder.writeFile("drop/Trip/notes.txt");
    folder.writeFile("drop/Trip/day2/3.jpg");
    folder.writeFile("drop/Trip/day2/night/4.bmp");
    folder.writeFile("drop/Trip/x.jpg/inside.txt");
    Sources s;
    s.commands.dropFiles({folder.host("drop/Trip/1.bmp"), folder.host("drop/Trip")});
    const QString trip = folder.host("drop/Trip");
    EXPECT_EQ(s.paths(),
              QStringList({trip + "/1.bmp", trip + "/1.bmp", trip + "/2.JPG", trip + "/day2/3.jpg",
                           trip + "/day2/night/4.bmp", trip + "/x.jpg"}));
    EXPECT_TRUE(s.search.Recursive);
}

TEST(DeviceFolderButton, ListsTheChosenFolderWithoutItsSubfolders) {
    sc::test::TempProgramFolder folder;
    folder.writeFile("drive_c/Program Files/Snapcycle/DCIM/a.bmp");
    folder.writeFile("drive_c/Program Files/Snapcycle/DCIM/B.JPG");
    folder.writeFile("drive_c/Program Files/Snapcycle/DCIM/sub/c.jpg");
    Sources s;
    s.dialogs.folderAnswers.push_back("C:\\Program Files\\Snapcycle\\DCIM");
    s.commands.SSButton2Click();
    EXPECT_EQ(s.dialogs.shown,
              QStringList{"browse:変換元フォルダの選択|C:\\Program Files\\Snapcycle"});
    EXPECT_EQ(s.paths(), QStringList({"C:\\Program Files\\Snapcycle\\DCIM\\a.bmp",
                                      "C:\\Program Files\\Snapcycle\\DCIM\\B.JPG"}));
    EXPECT_TRUE(s.search.Recursive);

    // The same folder dropped is scanned to the bottom.
    TSourceList dropped;
    TSearchFile search;
    TSourceCommands drop(dropped, search, s.dialogs, nullptr);
    drop.dropFiles({folder.host("drive_c/Program Files/Snapcycle/DCIM")});
    EXPECT_EQ(dropped.count(), 3);
}

TEST(DeviceFolderButton, ACancelledBrowserAddsNothing) {
    sc::test::TempProgramFolder folder;
    folder.writeFile("drive_c/Program Files/Snapcycle/a.bmp");
    Sources s;
    s.commands.SSButton2Click();
    EXPECT_EQ(s.dialogs.shown.size(), 1);
    EXPECT_EQ(s.list.count(), 0);
}

TEST(ClearButton, EmptiesTheListAndShowsTheIdlePromptEvenWhenEmpty) {
    sc::test::TempProgramFolder folder;
    Sources s;
    s.commands.SSButton1Click("Drop source files or a source folder here.");
    EXPECT_EQ(s.status, QStringList{"Drop source files or a source folder here."});
    s.list.addAll({"C:\\a.bmp", "C:\\b.bmp"});
    s.commands.SSButton1Click("変換元の画像ファイル or フォルダをドロップしてください。");
    EXPECT_EQ(s.list.count(), 0);
    EXPECT_EQ(s.status.last(), "変換元の画像ファイル or フォルダをドロップしてください。");
}

TEST(DeviceFolderButton, AMissingDeviceFolderCountsAsACancelAndAnOutsideAnswerAddsNothing) {
    sc::test::TempProgramFolder folder;
    folder.writeFile("drive_c/Album/a.bmp");
    Sources s;
    s.dialogs.folderAnswers.push_back("C:\\Album");
    s.commands.SSButton2Click();
    EXPECT_TRUE(s.dialogs.shown.isEmpty()); // no device folder: no browser at all
    EXPECT_EQ(s.list.count(), 0);
    s.dialogs.folderAnswers.clear();

    folder.writeFile("drive_c/Program Files/Snapcycle/b.bmp");
    folder.writeFile("drive_c/Program Files/Snapcycle2/c.bmp");
    for (const char* outside : {"C:\\Album", "C:\\Program Files\\Snapcycle2",
                                "C:\\Program Files\\Snapcycle\\..\\Snapcycle2"})
        s.dialogs.folderAnswers.push_back(outside);
    for (int i = 0; i < 3; ++i)
        s.commands.SSButton2Click();
    EXPECT_EQ(s.list.count(), 0);
    // The device folder itself in another spelling is inside.
    s.dialogs.folderAnswers.push_back("c:/program files/SNAPCYCLE");
    s.commands.SSButton2Click();
    EXPECT_EQ(s.list.count(), 1);
}
