// Names and kinds of files as a Linux desktop holds them, through the window: each listed file
// is previewed, converted and deleted as itself, and nothing that is not a file is waited on.
#include "PipeGuard.h"
#include "WindowFixture.h"
#include "controls/TFolderPathBox.h"
#include "imaging/TGKitImageEdit.h"

#include <QListView>
#include <QTest>

using sc::app::TConvertForm1;
using sc::controls::TFolderPathBox;
using sc::sources::TSourceList;

using namespace sc::test;

namespace {

// The window built afresh over the files written so far, so that its start-up scan sees them.
void restart(Window& w) {
    w.form.reset();
    w.form = std::make_unique<TConvertForm1>(w.folder.path(), w.dialogs);
    w.form->show();
}

void select(Window& w, int row) {
    auto* list = w.get<QListView>("ListBox1");
    const QRect rect = list->visualRect(list->model()->index(row, 0));
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, rect.center());
    sc::test::settlePreview(*w.form);
}

QColor colourAt(const QString& path) {
    const QImage picture(sc::winpath::hostPath(path));
    return picture.isNull() ? QColor() : picture.pixelColor(2, 2);
}

bool reddish(QColor c) {
    return c.isValid() && c.red() > 150 && c.blue() < 100;
}

} // namespace

TEST(FileNames, ANameHoldingBackslashesIsListedPreviewedConvertedAndDeletedAsItself) {
    Window w;
    // Where the names would lead if they were read as Windows paths.
    Window::picture(w.folder.host("other/holiday.bmp"), Qt::blue);
    Window::picture(w.folder.host("other/holiday.jpg"), Qt::blue);
    const QByteArray decoys = w.bytesOf("other/holiday.bmp") + w.bytesOf("other/holiday.jpg");
    const QString bmp = "drive_c/Album/..\\..\\other\\holiday.bmp";
    const QString jpg = "drive_c/Program Files/Snapcycle/..\\..\\..\\other\\holiday.jpg";
    Window::picture(w.folder.host(bmp), Qt::red);
    Window::picture(w.folder.host(jpg), Qt::red);
    restart(w); // the start-up scan lists the bitmap, the device-folder button the JPEG
    w.dialogs.folderAnswers = {"C:\\Program Files\\Snapcycle"};
    w.form->collectFromDeviceFolder();

    const TSourceList& list = w.form->sourceList();
    ASSERT_EQ(list.paths(), QStringList({w.folder.host(bmp), w.folder.host(jpg)}));
    for (int row : {0, 1}) {
        select(w, row);
        EXPECT_TRUE(
            reddish(w.get<sc::TGKitImageEdit>("ImageEdit1")->model().image().pixelColor(2, 2)))
            << row;
    }
    w.choose("C0_01", 0);
    w.choose("C1_01", 0);
    w.dialogs.yesNoAnswers = {true};
    w.form->runVisiblePageJob();

    EXPECT_EQ(w.dialogs.messages(), QStringList());
    EXPECT_TRUE(reddish(colourAt(w.folder.host("drive_c/Album/..\\..\\other\\holiday.jpg"))));
    EXPECT_FALSE(QFileInfo::exists(w.folder.host(bmp))); // Yes: the source is gone
    EXPECT_TRUE(reddish(colourAt(w.folder.host(jpg))));  // converted in place, kept
    EXPECT_EQ(w.bytesOf("other/holiday.bmp") + w.bytesOf("other/holiday.jpg"), decoys);
    EXPECT_EQ(QDir(w.folder.host("other")).entryList(QDir::Files).size(), 2);
}

TEST(FileNames, TimesInNamesGiveTwoOutputsAndTwoAlbumEntriesUnderTheirOwnNames) {
    Window w;
    Window::picture("C:/Album/10:30 a.bmp", Qt::red);
    Window::picture("C:/Album/11:30 a.bmp", Qt::green);
    restart(w);
    ASSERT_EQ(w.form->sourceList().paths(),
              QStringList({"C:\\Album\\10:30 a.bmp", "C:\\Album\\11:30 a.bmp"}));

    QDir().mkpath(w.folder.host("drive_c/out"));
    w.choose("C0_01", 1);
    w.get<TFolderPathBox>("C0_02")->setPath("C:/out");
    w.choose("C1_01", 0);
    w.dialogs.yesNoAnswers = {false};
    w.form->runVisiblePageJob();
    EXPECT_TRUE(reddish(colourAt("C:/out/10:30 a.jpg")));
    EXPECT_GT(colourAt("C:/out/11:30 a.jpg").green(), 150);

    w.form->chooseAlbumJob();
    w.dialogs.folderAnswers = {"D:/album"};
    w.dialogs.yesNoAnswers = {false};
    w.form->runVisiblePageJob();
    EXPECT_TRUE(reddish(colourAt("D:/album/Data/10:30 a.jpg")));
    EXPECT_GT(colourAt("D:/album/Thumb/th_11:30 a.jpg").green(), 150);
    const QByteArray page = w.bytesOf("drive_d/album/Index.html");
    EXPECT_TRUE(page.contains("<A HREF=\"Data/10:30 a.jpg\"><B>10:30 a.jpg</B>"));
    EXPECT_TRUE(page.contains("<A HREF=\"Data/11:30 a.jpg\"><B>11:30 a.jpg</B>"));
    EXPECT_EQ(w.dialogs.messages(), QStringList());
}

TEST(FileNames, APipeThatTookAListedPicturesPlaceFailsItByNameWithoutWaiting) {
    Window w;
    Window::picture("C:/Album/a.bmp", Qt::red);
    Window::picture("C:/Album/b.bmp", Qt::red);
    restart(w);
    const QString pipe = w.folder.host("drive_c/Album/b.bmp");
    ASSERT_TRUE(QFile::remove(pipe));
    ASSERT_TRUE(makePipe(pipe));
    PipeGuard guard(pipe);
    const QString failure = "message:C:\\Album\\b.bmp を読み込めませんでした。\n"
                            "通常のファイルではありません。\n処理を中止します。";

    select(w, 1);
    EXPECT_EQ(w.dialogs.shown, QStringList({"beep", failure}));
    w.dialogs.shown.clear();
    w.choose("C1_01", 0);
    w.form->runVisiblePageJob();
    EXPECT_EQ(w.dialogs.shown, QStringList({"beep", failure}));
    EXPECT_TRUE(reddish(colourAt("C:/Album/a.jpg")));
    EXPECT_FALSE(guard.fired()) << "an open waited on the pipe";
}
