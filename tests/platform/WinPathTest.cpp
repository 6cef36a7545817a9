#include "platform/WinPath.h"
#include "TempProgramFolder.h"

#include <QDir>

using namespace sc;
using namespace sc::winpath;

TEST(DriveMapping, FindsComponentsWhateverTheirCase) {
    test::TempProgramFolder folder;
    QDir().mkpath(folder.host("drive_c/album/Sub"));
    EXPECT_EQ(hostPath("C:/Album"), folder.host("drive_c/album"));
    EXPECT_EQ(hostPath("c:\\ALBUM\\sub\\x.bmp"), folder.host("drive_c/album/Sub/x.bmp"));
    // An exact match wins over a case-insensitive one.
    QDir().mkpath(folder.host("drive_c/Album"));
    EXPECT_EQ(hostPath("C:/Album"), folder.host("drive_c/Album"));
}

TEST(DriveMapping, KeepsMissingComponentsAsTypedAndHostPathsUnchanged) {
    test::TempProgramFolder folder;
    EXPECT_EQ(hostPath("D:/out/New.jpg"), folder.host("drive_d/out/New.jpg"));
    EXPECT_EQ(hostPath("/tmp/x/a.bmp"), "/tmp/x/a.bmp");
    EXPECT_EQ(hostPath("relative/a.bmp"), "relative/a.bmp");
}

TEST(DriveMapping, HostPathsInADriveFolderGetTheirWindowsSpellingBack) {
    test::TempProgramFolder folder;
    EXPECT_EQ(windowsPathOf(folder.host("drive_d/out")), "D:/out");
    EXPECT_EQ(windowsPathOf(folder.host("drive_d")), "D:");
    EXPECT_EQ(windowsPathOf(folder.host("drive_dx/out")), folder.host("drive_dx/out"));
    EXPECT_EQ(windowsPathOf("/elsewhere/out"), "/elsewhere/out");
}

TEST(PathTerms, SplitWindowsPathsOnBackslashSlashAndTheDriveColonAndHostPathsOnSlashOnly) {
    EXPECT_EQ(fileNameOf("C:\\shots\\a.bmp"), "a.bmp");
    EXPECT_EQ(fileNameOf("D:/out/a.jpg"), "a.jpg");
    EXPECT_EQ(fileNameOf("C:a.bmp"), "a.bmp");
    EXPECT_EQ(folderOf("C:\\shots\\a.bmp"), "C:\\shots");
    EXPECT_EQ(folderOf("D:/out/sub/a.jpg"), "D:/out/sub");
    EXPECT_EQ(folderOf("C:\\a.bmp"), "C:");
    EXPECT_EQ(folderOf("/home/u/a.bmp"), "/home/u");
    // A colon that is no drive's, and any '\' in a host path, belong to the name.
    EXPECT_EQ(fileNameOf("C:\\shots\\12:30 a.bmp"), "12:30 a.bmp");
    EXPECT_EQ(baseNameOf("C:\\shots\\12:30 a.bmp"), "12:30 a");
    EXPECT_EQ(fileNameOf("/home/u/..\\x\\12:30 a.bmp"), "..\\x\\12:30 a.bmp");
    EXPECT_EQ(folderOf("/home/u/..\\x\\12:30 a.bmp"), "/home/u");
    EXPECT_EQ(withJpgExtension("/home/u.v/a\\b"), "/home/u.v/a\\b.jpg");
}

TEST(PathTerms, AJoinedNameStaysOneName) {
    test::TempProgramFolder folder;
    EXPECT_EQ(join("C:/out", "12:30 a.jpg"), "C:/out/12:30 a.jpg");
    EXPECT_EQ(join("/home/u", "..\\a.jpg"), "/home/u/..\\a.jpg");
    // After a Windows-spelled folder a '\' would separate: the folder is mapped first.
    EXPECT_EQ(join("C:/out", "..\\..\\a.jpg"), folder.host("drive_c/out/..\\..\\a.jpg"));
    // The Windows spelling of a host folder is given only where it reads back as that folder.
    EXPECT_EQ(windowsPathOf(folder.host("drive_c/a\\b")), folder.host("drive_c/a\\b"));
    const QString device = folder.host("drive_c/Program Files/Snapcycle");
    EXPECT_EQ(spelledUnder("C:\\Program Files\\Snapcycle", device, device + "/DCIM/x"),
              "C:\\Program Files\\Snapcycle\\DCIM\\x");
    EXPECT_EQ(spelledUnder("C:\\Program Files\\Snapcycle", device, device + "/..\\..\\x"),
              device + "/..\\..\\x");
}

TEST(PathTerms, ReplaceTheExtensionOfTheFileNameOnly) {
    EXPECT_EQ(withJpgExtension("C:\\shots\\a.BMP"), "C:\\shots\\a.jpg");
    EXPECT_EQ(withJpgExtension("C:\\shots\\a.jpg"), "C:\\shots\\a.jpg");
    EXPECT_EQ(withJpgExtension("C:\\my.dir\\photo"), "C:\\my.dir\\photo.jpg");
    EXPECT_EQ(withJpgExtension("C:\\x\\a.b.bmp"), "C:\\x\\a.b.jpg");
    EXPECT_EQ(extensionOf("C:\\my.dir\\photo"), "");
    EXPECT_EQ(baseNameOf("C:\\x\\IMG_0001.JPG"), "IMG_0001");
    EXPECT_EQ(baseNameOf("C:\\x\\a.b.jpg"), "a.b");
    EXPECT_EQ(baseNameOf("C:\\x\\noext"), "noext");
}
