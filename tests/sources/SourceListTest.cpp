#include "sources/SourceList.h"
#include "QStringPrinting.h"

#include <QAbstractItemModelTester>
#include <QListView>
#include <gtest/gtest.h>
#include <random>

using sc::sources::TSourceList;

namespace {

QStringList contents(const TSourceList& list) {
    QStringList all;
    for (int i = 0; i < list.count(); ++i)
        all << list.at(i);
    return all;
}

// Paths with many equal keys spelt differently, so that an unstable merge shows.
QStringList randomPaths(int n, unsigned seed) {
    std::mt19937 random(seed);
    const QStringList folders = {"C:\\A", "C:\\a", "c:\\b", "/home/u/Pics", "/home/u/pics"};
    const QStringList names = {"x.jpg", "X.JPG", "y.bmp", "Y.Bmp", "z.jpg"};
    QStringList paths;
    paths.reserve(n);
    for (int i = 0; i < n; ++i) {
        const QString folder = folders[random() % folders.size()];
        paths << folder + (folder.startsWith(u'/') ? "/" : "\\") + QString::number(random() % 500) +
                     names[random() % names.size()];
    }
    return paths;
}

} // namespace

TEST(SourceList, KeepsPathsSortedIgnoringCaseWithDuplicates) {
    TSourceList list;
    QAbstractItemModelTester tester(&list, QAbstractItemModelTester::FailureReportingMode::Fatal);
    EXPECT_EQ(list.add("C:\\b\\1.jpg"), 0);
    EXPECT_EQ(list.add("C:\\A\\2.bmp"), 0);
    list.add("C:\\b\\1.jpg");
    list.add("c:\\B\\1.JPG");
    EXPECT_EQ(contents(list),
              QStringList({"C:\\A\\2.bmp", "C:\\b\\1.jpg", "C:\\b\\1.jpg", "c:\\B\\1.JPG"}));
    EXPECT_EQ(list.data(list.index(1)).toString(), "C:\\b\\1.jpg");
    list.clear();
    EXPECT_EQ(list.count(), 0);
}

TEST(SourceList, BulkInsertGivesTheOrderOfOneByOneInsertion) {
    const QStringList existing = randomPaths(2000, 1);
    const QStringList batch = randomPaths(100000, 2);

    TSourceList oneByOne;
    for (const QString& p : existing + batch)
        oneByOne.add(p);

    // Into a filled list (merged), into an empty list, and a batch that lands in one place.
    TSourceList merged;
    QAbstractItemModelTester tester(&merged, QAbstractItemModelTester::FailureReportingMode::Fatal);
    merged.addAll(existing);
    merged.addAll(batch);
    EXPECT_EQ(contents(merged), contents(oneByOne));

    TSourceList tail;
    tail.addAll({"C:\\a.jpg", "C:\\b.jpg"});
    tail.addAll({"C:\\z.jpg", "C:\\B.JPG", "C:\\y.jpg", "C:\\b.jpg"});
    EXPECT_EQ(contents(tail), QStringList({"C:\\a.jpg", "C:\\b.jpg", "C:\\B.JPG", "C:\\b.jpg",
                                           "C:\\y.jpg", "C:\\z.jpg"}));
}

TEST(SourceList, TheViewsSelectionFollowsItsPathThroughABulkInsert) {
    TSourceList list;
    QListView view;
    list.attachView(view);
    EXPECT_EQ(view.selectionMode(), QAbstractItemView::SingleSelection);
    list.addAll({"C:\\b.jpg", "C:\\d.jpg", "C:\\f.jpg"});
    view.setCurrentIndex(list.index(1));
    ASSERT_EQ(view.selectionModel()->selectedRows().size(), 1);

    list.addAll({"C:\\a.jpg", "C:\\c.jpg", "C:\\e.jpg", "C:\\g.jpg"});
    list.add("C:\\a0.jpg");
    const QModelIndexList selected = view.selectionModel()->selectedRows();
    ASSERT_EQ(selected.size(), 1);
    EXPECT_EQ(selected[0].data().toString(), "C:\\d.jpg");
    EXPECT_EQ(view.currentIndex().row(), 4);
    EXPECT_EQ(list.at(4), "C:\\d.jpg");
}
