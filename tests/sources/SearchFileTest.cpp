#include "sources/SearchFile.h"
#include "QStringPrinting.h"
#include "TempProgramFolder.h"

#include <QFile>

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
