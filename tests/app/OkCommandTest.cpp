// The OK command through the window, on real files in a temporary program folder.
#include "CameraJpeg.h"
#include "WindowFixture.h"
#include "controls/TFolderPathBox.h"
#include "controls/TShineSpeedButton.h"
#include "controls/TSpinEdit.h"
#include "imaging/JpegMetadata.h"
#include "imaging/TGKitImageEdit.h"
#include "platform/FileOps.h"

#include <QApplication>
#include <QBuffer>
#include <QCloseEvent>
#include <QComboBox>
#include <QCoreApplication>
#include <QDropEvent>
#include <QImage>
#include <QLineEdit>
#include <QMimeData>
#include <QUrl>

using sc::controls::TFolderPathBox;
using sc::controls::TShineSpeedButton;
using sc::controls::TSpinEdit;

using namespace sc::test;

namespace {

QByteArray encoded(QColor colour, const char* format) {
    QImage img(8, 6, QImage::Format_RGB32);
    img.fill(colour);
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    img.save(&buffer, format);
    return bytes;
}

// A drop as the desktop delivers it: onto a control of the window, which hands it on to the
// nearest one that takes drops.
void dropOn(QWidget* target, const QList<QUrl>& urls) {
    QMimeData data;
    data.setUrls(urls);
    const QPoint at = target->rect().center();
    QDragEnterEvent enter(at, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(target, &enter);
    QDropEvent drop(at, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(target, &drop);
}

} // namespace

// Files dropped while a job asks its question are refused: the job deletes or keeps exactly
// the list it converted. Dropped on a text box, they reach the window, not the box; a web
// link dropped beside a file adds nothing and is no unreadable name.
TEST(OkCommand, ADropDuringAJobLeavesTheListAsItWasAndAWebLinkIsPassedOverQuietly) {
    Window w;
    w.dropPictures({"shots/a.bmp"});
    const QString late = Window::picture(w.folder.host("late/b.bmp"));
    auto* edit = w.get<TFolderPathBox>("C0_02")->editor();
    w.choose("C1_01", 0);
    w.dialogs.yesNoAnswers = {false};
    w.dialogs.whileAsking = [&] {
        dropOn(edit, {QUrl::fromLocalFile(late), QUrl::fromLocalFile(w.folder.host("late"))});
    };
    w.form->runVisiblePageJob();
    const QString first = w.folder.host("shots/a.bmp");
    EXPECT_EQ(w.form->sourceList().paths(), QStringList({first}));

    dropOn(edit, {QUrl(QStringLiteral("https://example.org/c.jpg")), QUrl::fromLocalFile(late)});
    EXPECT_EQ(w.form->sourceList().paths(), QStringList({late, first}));
    EXPECT_EQ(w.get<TFolderPathBox>("C0_02")->path(), "C:/Program Files/Snapcycle");
    EXPECT_EQ(w.dialogs.messages(), QStringList());
}

TEST(OkCommand, AnEmptyListOnTheJpegPageChangesNothingAndAsksNothing) {
    Window w;
    const QString before = w.status();
    w.form->runVisiblePageJob();
    EXPECT_TRUE(w.dialogs.shown.isEmpty());
    EXPECT_EQ(w.status(), before);
    EXPECT_TRUE(sc::fileops::listMatching(w.folder.path(), "*.jpg").isEmpty());
}

TEST(OkCommand, ConvertsRenamesAndOnYesDeletesTheSourcesAndClearsTheList) {
    Window w;
    w.dropPictures({"shots/a.bmp"});
    w.get<TShineSpeedButton>("ShineSpeedButton6")->setDown(true);
    w.dialogs.yesNoAnswers = {true};
    w.form->runVisiblePageJob();
    EXPECT_TRUE(QFileInfo::exists(w.folder.host("shots/sc_20040102_0905_06.jpg")));
    EXPECT_FALSE(QFileInfo::exists(w.folder.host("shots/a.jpg")));
    EXPECT_FALSE(QFileInfo::exists(w.folder.host("shots/a.bmp")));
    EXPECT_EQ(
        w.dialogs.shown,
        QStringList(
            {"beep",
             QStringLiteral(
                 "ask:処理が終了しました。\n変換元のBMPファイルを削除してよろしいですか？")}));
    EXPECT_EQ(w.form->sourceList().count(), 0);
    EXPECT_EQ(w.status(), "Drop source files or a source folder here.");
    EXPECT_TRUE(w.get<sc::TGKitImageEdit>("ImageEdit2")->model().isEmpty());
}

TEST(OkCommand, AFailureStopsTheJobAndLeavesTheLastProgressShowing) {
    Window w;
    w.dropPictures({"five/1.bmp", "five/2.bmp", "five/3.bmp", "five/4.bmp", "five/5.bmp"},
                   "five/3.bmp");
    w.form->runVisiblePageJob();
    EXPECT_TRUE(QFileInfo::exists(w.folder.host("five/1.jpg")));
    EXPECT_TRUE(QFileInfo::exists(w.folder.host("five/2.jpg")));
    EXPECT_FALSE(QFileInfo::exists(w.folder.host("five/4.jpg")));
    EXPECT_EQ(
        w.dialogs.shown,
        QStringList(
            {"beep",
             QStringLiteral("message:非対応フォーマットが含まれていました。処理を中止します。")}));
    EXPECT_EQ(w.status(), "2/5 枚目の変換処理中です。");
    EXPECT_EQ(w.form->sourceList().count(), 5);
}

TEST(OkCommand, TheVisiblePageChoosesTheJobNotTheModeButtons) {
    Window w;
    w.dropPictures({"shots/a.bmp"});
    w.form->chooseAlbumJob(); // the album page: its folder dialog is cancelled
    w.form->runVisiblePageJob();
    EXPECT_EQ(w.dialogs.shown, QStringList({"browse:HTMLファイル保存先の指定|"}));
    EXPECT_FALSE(QFileInfo::exists(w.folder.host("shots/a.jpg")));
    w.form->chooseJpegJob();
    w.get<TShineSpeedButton>("ShineSpeedButton1")->setDown(false);
    w.choose("C1_01", 0);
    w.form->runVisiblePageJob();
    EXPECT_TRUE(QFileInfo::exists(w.folder.host("shots/a.jpg")));
}

TEST(OkCommand, ACloseRequestDuringAJobWaitsForItsEnd) {
    Window w;
    w.dropPictures({"shots/a.bmp", "shots/b.bmp"});
    w.choose("C1_01", 0);
    QCoreApplication::postEvent(w.form.get(), new QCloseEvent);
    w.form->runVisiblePageJob();
    EXPECT_TRUE(QFileInfo::exists(w.folder.host("shots/a.jpg")));
    EXPECT_TRUE(QFileInfo::exists(w.folder.host("shots/b.jpg")));
    EXPECT_FALSE(w.form->isVisible());
    EXPECT_TRUE(QFileInfo::exists(w.folder.host("SC_CONVERTER.ini")));
}

TEST(OkCommand, AnOutputThatWouldReplaceAnotherListedSourceWritesNothing) {
    const struct {
        QStringList files;
        bool intoFolder; // C0_01 = 1, C0_02 = D:/out
    } cases[] = {{{"shots/x.bmp", "shots/x.jpg"}, false},
                 {{"shots/x.jpg", "shots/x.JPG"}, false},
                 {{"drive_c/shots/a.bmp", "drive_d/out/a.jpg"}, true}};
    for (const auto& c : cases) {
        Window w;
        QStringList paths;
        for (int i = 0; i < c.files.size(); ++i)
            paths << w.place(c.files[i], encoded(i ? Qt::red : Qt::blue, i ? "JPG" : "BMP"));
        const QList<QByteArray> before = {w.bytesOf(c.files[0]), w.bytesOf(c.files[1])};
        w.form->dropFiles(paths);
        if (c.intoFolder) {
            w.choose("C0_01", 1);
            w.get<TFolderPathBox>("C0_02")->setPath("D:/out");
        }
        w.dialogs.yesNoAnswers = {true};
        w.form->runVisiblePageJob();
        const std::string what = c.files.join(" + ").toStdString();
        const QString shown = w.dialogs.shown.join(u'|');
        EXPECT_TRUE(shown.startsWith("message:出力先が他の変換元ファイルと重なる")) << what;
        EXPECT_TRUE(shown.contains(paths[0]) && shown.contains(paths[1])) << what;
        EXPECT_EQ(w.dialogs.shown.size(), 1) << what;
        EXPECT_EQ(QList<QByteArray>({w.bytesOf(c.files[0]), w.bytesOf(c.files[1])}), before)
            << what;
        EXPECT_EQ(sc::fileops::listMatching(QFileInfo(paths[0]).path(), "*").size(),
                  c.intoFolder ? 1 : 2)
            << what;
        EXPECT_EQ(w.status(), "変換元の画像ファイル or フォルダをドロップしてください。");
        EXPECT_EQ(w.form->sourceList().count(), 2);
    }
}

TEST(OkCommand, TenJpegsConvertedInPlaceAreRenamedAfterTheirOwnTimesAndKeepTheirExif) {
    Window w;
    QImage picture(16, 12, QImage::Format_RGB32);
    picture.fill(Qt::darkYellow);
    QStringList paths;
    for (int i = 0; i < 10; ++i) {
        const QDateTime taken = kTaken.addSecs(i * 62);
        const QByteArray exif = sc::test::cameraExif(
            "SC Optics", "Model 7", taken.toString("yyyy:MM:dd hh:mm:ss").toLatin1(), 6);
        paths << w.place(QStringLiteral("camera/p%1.jpg").arg(i),
                         sc::test::jpegWithExif(picture, exif), taken);
    }
    w.form->dropFiles(paths); // with the default settings: beside the source, date and time
    w.form->runVisiblePageJob();
    EXPECT_EQ(sc::fileops::listMatching(w.folder.host("camera"), "p*.jpg"), QStringList());
    for (int i = 0; i < 10; ++i) {
        const QDateTime taken = kTaken.addSecs(i * 62);
        const QString out = "camera/sc_" + taken.toString("yyyyMMdd_hhmm_ss") + ".jpg";
        ASSERT_TRUE(QFileInfo::exists(w.folder.host(out))) << i;
        EXPECT_EQ(sc::fileops::lastWriteTime(w.folder.host(out)), taken) << i;
        const QByteArray bytes = w.bytesOf(out);
        const auto kept = sc::imaging::readJpegMetadata(
            reinterpret_cast<const uchar*>(bytes.constData()), bytes.size());
        EXPECT_TRUE(kept.exif.contains("SC Optics")) << i;
        EXPECT_TRUE(kept.exif.contains(taken.toString("yyyy:MM:dd hh:mm:ss").toLatin1())) << i;
        EXPECT_EQ(kept.orientation, 1) << i;
        EXPECT_EQ(QImage::fromData(bytes).size(), QSize(12, 16)) << i; // turned once, upright
    }
}

TEST(OkCommand, AHalfBitmapIsRefusedAndItsSourceKept) {
    Window w;
    const QByteArray whole = encoded(Qt::darkCyan, "BMP");
    const QByteArray half = whole.left(whole.size() / 2);
    w.form->dropFiles({w.place("shots/half.bmp", half)});
    w.dialogs.yesNoAnswers = {true};
    w.form->runVisiblePageJob();
    EXPECT_EQ(
        w.dialogs.shown,
        QStringList(
            {"beep",
             QStringLiteral("message:非対応フォーマットが含まれていました。処理を中止します。")}));
    EXPECT_EQ(w.bytesOf("shots/half.bmp"), half);
    EXPECT_FALSE(QFileInfo::exists(w.folder.host("shots/half.jpg")));
    EXPECT_EQ(w.form->sourceList().count(), 1);
}
