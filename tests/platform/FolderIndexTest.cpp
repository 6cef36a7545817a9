#include "platform/FolderIndex.h"
#include "TempProgramFolder.h"
#include "platform/FileOps.h"
#include "platform/WinPath.h"

#include <QDir>
#include <QThread>

using namespace sc;
using namespace sc::winpath;

namespace {

// A folder holding `count` files besides what a test adds.
void fill(const test::TempProgramFolder& folder, const QString& relative, int count) {
    QDir().mkpath(folder.host(relative));
    for (int i = 0; i < count; ++i)
        folder.writeFile(relative + QStringLiteral("/old%1.jpg").arg(i));
}

} // namespace

// The cost a job pays for its output names (written, then renamed): one listing of the
// folder, not one per name.
TEST(FolderListing, ANewNameInABigFolderIsResolvedWithOneListingPerJob) {
    test::TempProgramFolder folder;
    fill(folder, "drive_c/out", 300);
    const FolderListingScope job;
    const qint64 before = folderListingsMade();
    for (int i = 0; i < 100; ++i) {
        const QString output = QStringLiteral("C:/out/new%1.jpg").arg(i);
        EXPECT_EQ(hostPath(output), folder.host(QStringLiteral("drive_c/out/new%1.jpg").arg(i)));
        ASSERT_TRUE(fileops::writeFileReplacing(output, "jpeg"));
        ASSERT_TRUE(fileops::renameNoReplace(output, QStringLiteral("C:/out/sc_%1.jpg").arg(i)));
    }
    EXPECT_EQ(folderListingsMade() - before, 1);
}

// What the job writes, renames or deletes is seen by its later lookups, letter case ignored as
// Windows would; a change made by someone else shows through the folder's new time.
TEST(FolderListing, LaterLookupsFindWhatWasWrittenRenamedOrDeletedMeanwhile) {
    test::TempProgramFolder folder;
    fill(folder, "drive_c/out", 3);
    const FolderListingScope job;
    EXPECT_EQ(hostPath("C:/out/photo.jpg"), folder.host("drive_c/out/photo.jpg")); // listed

    ASSERT_TRUE(fileops::writeFileReplacing("C:/out/Photo.JPG", "jpeg"));
    EXPECT_EQ(hostPath("c:/OUT/photo.jpg"), folder.host("drive_c/out/Photo.JPG"));
    ASSERT_TRUE(fileops::renameNoReplace("C:/out/PHOTO.jpg", "C:/out/SC_1.jpg"));
    EXPECT_EQ(hostPath("C:/out/photo.jpg"), folder.host("drive_c/out/photo.jpg"));
    EXPECT_EQ(hostPath("C:/out/sc_1.JPG"), folder.host("drive_c/out/SC_1.jpg"));
    EXPECT_FALSE(fileops::renameNoReplace("C:/out/old0.jpg", "C:/out/Sc_1.jpg"));
    ASSERT_TRUE(fileops::deleteFile("c:/out/sc_1.jpg"));
    EXPECT_EQ(hostPath("C:/out/sc_1.JPG"), folder.host("drive_c/out/sc_1.JPG"));
    ASSERT_TRUE(fileops::makeFolders("C:/out/Sub/"));
    EXPECT_EQ(hostPath("C:/out/SUB/x.jpg"), folder.host("drive_c/out/Sub/x.jpg"));

    // Written past the program: the folder's time moves on, so it is listed again. File times
    // advance in clock ticks of a few milliseconds; a change within the tick of the program's
    // own last change would go unseen, as the scope's comment says.
    QThread::msleep(30);
    folder.writeFile("drive_c/out/Other.jpg");
    EXPECT_EQ(hostPath("C:/out/other.jpg"), folder.host("drive_c/out/Other.jpg"));
}

// A folder replaced by another of the same name is listed afresh, and nothing is kept once
// the job is over.
TEST(FolderListing, AReplacedFolderOrAnEndedJobKeepsNoStaleListing) {
    test::TempProgramFolder folder;
    fill(folder, "drive_c/out", 1);
    {
        const FolderListingScope job;
        EXPECT_EQ(hostPath("C:/out/a.jpg"), folder.host("drive_c/out/a.jpg"));
        QDir().rename(folder.host("drive_c/out"), folder.host("drive_c/gone"));
        fill(folder, "drive_c/out", 1);
        folder.writeFile("drive_c/out/A.jpg");
        EXPECT_EQ(hostPath("C:/out/a.jpg"), folder.host("drive_c/out/A.jpg"));
    }
    const qint64 before = folderListingsMade();
    folder.writeFile("drive_c/out/B.jpg");
    EXPECT_EQ(hostPath("C:/out/b.jpg"), folder.host("drive_c/out/B.jpg"));
    EXPECT_EQ(folderListingsMade() - before, 1);
}
