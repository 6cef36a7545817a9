#include "jobs/OutputClash.h"
#include "TempProgramFolder.h"

#include <QDir>

using namespace sc::jobs;

// Two texts of one file are one file; a picture written onto its own file is no clash.
TEST(OutputClash, EverySpellingOfAListedSourceIsFoundAndItsOwnFileIsNoClash) {
    sc::test::TempProgramFolder folder;
    folder.writeFile("drive_c/shots/x.jpg");
    folder.writeFile("drive_c/shots/x.bmp");
    QDir().mkpath(folder.host("drive_c/shots/sub"));
    const QStringList sources = {"C:/shots/x.jpg", "c:\\SHOTS\\X.JPG", "C:/shots/sub/../x.bmp"};
    const auto clashes = findOutputClashes(
        sources, {{0, "C:/shots/x.jpg"}, {1, "C:\\shots\\X.jpg"}, {2, "C:/shots/sub/../x.jpg"}});
    ASSERT_EQ(clashes.size(), 1u);
    EXPECT_EQ(clashes[0].writer.toStdString(), "C:/shots/sub/../x.bmp");
    EXPECT_EQ(fileKey(clashes[0].victim), fileKey("C:/shots/x.jpg")); // either of its texts
    EXPECT_EQ(fileKey("C:/shots/sub/../new.jpg"), fileKey("c:/SHOTS/new.jpg")); // yet unwritten
}
