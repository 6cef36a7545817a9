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

// The message names the first ten clashes, one to a line, then counts the rest; ten are all
// named with no count.
TEST(OutputClash, TheMessageNamesTenAndCountsTheRest) {
    const auto clashes = [](int count) {
        std::vector<OutputClash> list;
        for (int i = 0; i < count; ++i)
            list.push_back({QStringLiteral("C:/a/%1.bmp").arg(i),
                            QStringLiteral("C:/a/%1.jpg").arg(i),
                            QStringLiteral("C:/a/%1.jpg").arg(i)});
        return list;
    };
    const QString heading = QStringLiteral(
        "出力先が他の変換元ファイルと重なるため、何も書き込まずに処理を中止しました。\n");
    QString ten;
    for (int i = 0; i < 10; ++i)
        ten += QStringLiteral("\nC:/a/%1.bmp → C:/a/%1.jpg").arg(i);
    EXPECT_EQ(clashMessage(clashes(10)), heading + ten);
    EXPECT_EQ(clashMessage(clashes(11)), heading + ten + QStringLiteral("\nほか 1 件"));
    EXPECT_EQ(clashMessage(clashes(25)), heading + ten + QStringLiteral("\nほか 15 件"));
}
