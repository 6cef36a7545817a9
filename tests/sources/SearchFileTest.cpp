#include "sources/SearchFile.h"
#include "PipeGuard.h"
#include "QStringPrinting.h"
#include "TempProgramFolder.h"

#include <QFile>

using sc::sources::TSearchFile;

namespace {

QStringList run(TSearchFile& search) {
    QStringList found;
    search.OnFind = [&found](const QString& path) { found << path; };
    search.Execute();
    found.sort();
    return found;
}

} // namespace

TEST(SearchFile, ListsTheTreeBreadthFirst) {
    sc::test::TempProgramFolder folder;
    for (const char* f : {"drive_c/t/a/x/deep/f", "drive_c/t/b/y/f", "drive_c/t/c/f"})
        folder.writeFile(f);
    TSearchFile search;
    search.Directory = "C:/t";
    search.Recursive = true;
    const QStringList folders = search.folders();
    ASSERT_EQ(folders.size(), 7);
    EXPECT_EQ(folders[0], "C:\\t");
    EXPECT_TRUE(folders.contains("C:\\t\\a\\x\\deep"));
    // A queue walk: each folder's parent came earlier, parents in the order they were listed,
    // so no folder comes before one less deep.
    int lastParent = 0;
    for (int i = 1; i < folders.size(); ++i) {
        const int parent = folders.indexOf(folders[i].left(folders[i].lastIndexOf(u'\\')));
        ASSERT_GE(parent, 0) << folders[i].toStdString();
        EXPECT_LT(parent, i);
        EXPECT_GE(parent, lastParent);
        EXPECT_GE(folders[i].count(u'\\'), folders[i - 1].count(u'\\'));
        lastParent = parent;
    }

    search.Recursive = false;
    EXPECT_EQ(search.folders(), QStringList{"C:\\t"});
}

TEST(SearchFile, JoinsWithTheFoldersOwnSeparator) {
    sc::test::TempProgramFolder folder;
    folder.writeFile("drive_c/Album/a.bmp");
    folder.writeFile("drive_c/Album/B.BMP");
    folder.writeFile("drive_c/Album/c.jpg");
    TSearchFile search;
    search.Recursive = false;
    search.SearchName = "*.bmp";
    search.Directory = "C:/Album";
    EXPECT_EQ(run(search), QStringList({"C:\\Album\\B.BMP", "C:\\Album\\a.bmp"}));
    search.Directory = "C:\\Program Files\\..\\Album\\";
    EXPECT_EQ(run(search), QStringList({"C:\\Album\\B.BMP", "C:\\Album\\a.bmp"}));

    search.Directory = folder.host("drive_c/Album");
    search.SearchName = QString(); // every name
    EXPECT_EQ(run(search),
              QStringList({folder.host("drive_c/Album/B.BMP"), folder.host("drive_c/Album/a.bmp"),
                           folder.host("drive_c/Album/c.jpg")}));
}

TEST(SearchFile, AMissingFolderFindsNothing) {
    sc::test::TempProgramFolder folder;
    TSearchFile search;
    search.SearchName = "*.bmp";
    search.Directory = "C:/nowhere";
    for (bool recursive : {false, true}) {
        search.Recursive = recursive;
        EXPECT_TRUE(run(search).isEmpty());
    }
    EXPECT_TRUE(search.folders().isEmpty());
}

TEST(SearchFile, KeepsPathsLongerThanTheOldLimitWhole) {
    sc::test::TempProgramFolder folder;
    const QString part(60, u'd');
    const QString relative = "deep/" + part + '/' + part + '/' + part + '/' + part + '/' + part;
    const QString file = folder.writeFile("drive_c/" + relative + "/" + QString(40, u'p') + ".jpg");
    TSearchFile search;
    search.Directory = folder.host("drive_c/deep");
    search.SearchName = "*.jpg";
    const QStringList found = run(search);
    ASSERT_EQ(found.size(), 1);
    EXPECT_GT(found[0].size(), 300);
    EXPECT_EQ(found[0], file);
}

TEST(SearchFile, ALinkBackUpTheTreeDoesNotScanForever) {
    sc::test::TempProgramFolder folder;
    folder.writeFile("drive_c/loop/sub/a.jpg");
    ASSERT_TRUE(QFile::link(folder.host("drive_c/loop"), folder.host("drive_c/loop/sub/up")));
    TSearchFile search;
    search.Directory = "C:\\loop";
    search.SearchName = "*.jpg";
    // The link leads back to a folder being walked: it is not walked again.
    EXPECT_EQ(search.folders(), QStringList({"C:\\loop", "C:\\loop\\sub"}));
    EXPECT_EQ(run(search), QStringList({"C:\\loop\\sub\\a.jpg"}));
}

TEST(SearchFile, ANameIsListedAsItsOwnBytesAndLeadsBackToItsOwnFile) {
    sc::test::TempProgramFolder folder;
    // What the names would point at if they were read as Windows paths.
    folder.writeFile("other/holiday.bmp", "decoy");
    folder.writeFile("drive_c/Album/x/y/z.bmp", "decoy");
    for (const char* name :
         {"..\\..\\other\\holiday.bmp", "12:30 lunch.bmp", "C:x.bmp", "a.bmp", "x\\y/z.bmp"})
        folder.writeFile(QStringLiteral("drive_c/Album/") + name);
    TSearchFile search;
    search.Directory = "C:/Album";
    search.SearchName = "*.bmp";
    const QString album = folder.host("drive_c/Album");
    // Names that read back as themselves keep the folder's Windows spelling.
    EXPECT_EQ(run(search),
              QStringList({album + "/..\\..\\other\\holiday.bmp", album + "/x\\y/z.bmp",
                           "C:\\Album\\12:30 lunch.bmp", "C:\\Album\\C:x.bmp", "C:\\Album\\a.bmp",
                           "C:\\Album\\x\\y\\z.bmp"}));
    // Each path opens the file it was found as: a decoy only as the real x/y/z.bmp.
    for (const QString& path : run(search)) {
        QFile file(sc::winpath::hostPath(path));
        ASSERT_TRUE(file.open(QIODevice::ReadOnly)) << qPrintable(path);
        EXPECT_EQ(file.readAll() == "decoy", path == "C:\\Album\\x\\y\\z.bmp") << qPrintable(path);
    }
}

TEST(SearchFile, ListsOnlyRegularFilesAndLinksToThem) {
    sc::test::TempProgramFolder folder;
    folder.writeFile("drive_c/Album/a.bmp");
    ASSERT_TRUE(sc::test::makePipe(folder.host("drive_c/Album/pipe.bmp")));
    ASSERT_TRUE(
        QFile::link(folder.host("drive_c/Album/a.bmp"), folder.host("drive_c/Album/l.bmp")));
    ASSERT_TRUE(QFile::link(folder.host("drive_c/Album/gone"), folder.host("drive_c/Album/d.bmp")));
    ASSERT_TRUE(QFile::link("/dev/null", folder.host("drive_c/Album/null.bmp")));
    QDir().mkpath(folder.host("drive_c/Album/folder.bmp"));
    sc::test::PipeGuard guard(folder.host("drive_c/Album/pipe.bmp"));
    TSearchFile search;
    search.Directory = "C:/Album";
    search.SearchName = "*.bmp";
    EXPECT_EQ(run(search), QStringList({"C:\\Album\\a.bmp", "C:\\Album\\l.bmp"}));
    EXPECT_FALSE(guard.fired());
}

// Every level holds a picture and two links to the next level: walked as paths, the tree
// doubles at every level (2^20 folders at the bottom).
TEST(SearchFile, AFolderReachedAgainIsReadOnceSoADoublingTreeListsEachPictureOnce) {
    sc::test::TempProgramFolder folder;
    constexpr int kDepth = 20;
    const auto level = [&](int k) {
        return folder.host(QStringLiteral("drive_c/tree/L%1").arg(k));
    };
    for (int k = 0; k <= kDepth; ++k) {
        folder.writeFile(QStringLiteral("drive_c/tree/L%1/p%1.jpg").arg(k));
        for (const char* link : {"/a", "/b"}) {
            if (k < kDepth) {
                ASSERT_TRUE(QFile::link(level(k + 1), level(k) + QLatin1String(link)));
            }
        }
    }
    const auto namesFound = [](TSearchFile& search) {
        QStringList names;
        for (const QString& path : run(search))
            names << sc::winpath::fileNameOf(path);
        names.sort();
        return names;
    };
    TSearchFile search;
    search.SearchName = "*.jpg";
    // A twelve-level tree first: read path by path it ends the test in a second or two.
    search.Directory = "C:/tree/L8";
    ASSERT_EQ(namesFound(search).size(), 13);
    search.Directory = "C:/tree/L0";
    QStringList expected;
    for (int k = 0; k <= kDepth; ++k)
        expected << QStringLiteral("p%1.jpg").arg(k);
    expected.sort();
    EXPECT_EQ(namesFound(search), expected);
    EXPECT_EQ(search.folders().size(), kDepth + 1);
}
