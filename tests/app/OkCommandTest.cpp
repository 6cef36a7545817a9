// The OK command through the window, on real files in a temporary program folder.
#include "WindowFixture.h"
#include "controls/TShineSpeedButton.h"
#include "controls/TSpinEdit.h"
#include "imaging/TGKitImageEdit.h"
#include "jobs/AlbumJob.h"
#include "jobs/JobTexts.h"
#include "platform/FileOps.h"

#include <QCloseEvent>
#include <QComboBox>
#include <QCoreApplication>
#include <QImage>

using namespace sc::test;

TEST(OkCommand, AnEmptyListOnTheJpegPageChangesNothingAndAsksNothing) {
    Window w;
    const QString before = w.status();
    w.form->CButton10Click();
    EXPECT_TRUE(w.dialogs.shown.isEmpty());
    EXPECT_EQ(w.status(), before);
    EXPECT_TRUE(sc::fileops::listMatching(w.folder.path(), "*.jpg").isEmpty());
}

TEST(OkCommand, ConvertsRenamesAndOnYesDeletesTheSourcesAndClearsTheList) {
    Window w;
    w.dropPictures({"shots/a.bmp"});
    w.get<TShineSpeedButton>("ShineSpeedButton6")->setDown(true);
    w.dialogs.yesNoAnswers = {true};
    w.form->CButton10Click();
    EXPECT_TRUE(QFileInfo::exists(w.folder.host("shots/sc_20040102_0905_06.jpg")));
    EXPECT_FALSE(QFileInfo::exists(w.folder.host("shots/a.jpg")));
    EXPECT_FALSE(QFileInfo::exists(w.folder.host("shots/a.bmp")));
    EXPECT_EQ(w.dialogs.shown,
              QStringList({"beep", QStringLiteral("ask:") + sc::jobs::kDeleteSourcesQuestion}));
    EXPECT_EQ(w.form->sourceList().count(), 0);
    EXPECT_EQ(w.status(), "Drop source files or a source folder here.");
    EXPECT_TRUE(w.get<sc::TGKitImageEdit>("ImageEdit2")->model().isEmpty());
}

TEST(OkCommand, AFailureStopsTheJobAndLeavesTheLastProgressShowing) {
    Window w;
    w.dropPictures({"five/1.bmp", "five/2.bmp", "five/3.bmp", "five/4.bmp", "five/5.bmp"},
                   "five/3.bmp");
    w.form->CButton10Click();
    EXPECT_TRUE(QFileInfo::exists(w.folder.host("five/1.jpg")));
    EXPECT_TRUE(QFileInfo::exists(w.folder.host("five/2.jpg")));
    EXPECT_FALSE(QFileInfo::exists(w.folder.host("five/4.jpg")));
    EXPECT_EQ(w.dialogs.shown,
              QStringList({"beep", QStringLiteral("message:") + sc::jobs::kFailureMessage}));
    EXPECT_EQ(w.status(), "2/5 枚目の変換処理中です。");
    EXPECT_EQ(w.form->sourceList().count(), 5);
}

TEST(OkCommand, TheVisiblePageChoosesTheJobNotTheModeButtons) {
    Window w;
    w.dropPictures({"shots/a.bmp"});
    w.form->ShineSpeedButton2Click(); // the album page: its folder dialog is cancelled
    w.form->CButton10Click();
    EXPECT_EQ(w.dialogs.shown, QStringList({"browse:" + sc::jobs::kAlbumFolderTitle + "|"}));
    EXPECT_FALSE(QFileInfo::exists(w.folder.host("shots/a.jpg")));
    w.form->ShineSpeedButton1Click();
    w.get<TShineSpeedButton>("ShineSpeedButton1")->setDown(false);
    w.choose("C1_01", 0);
    w.form->CButton10Click();
    EXPECT_TRUE(QFileInfo::exists(w.folder.host("shots/a.jpg")));
}

TEST(OkCommand, ACloseRequestDuringAJobWaitsForItsEnd) {
    Window w;
    w.dropPictures({"shots/a.bmp", "shots/b.bmp"});
    w.choose("C1_01", 0);
    QCoreApplication::postEvent(w.form.get(), new QCloseEvent);
    w.form->CButton10Click();
    EXPECT_TRUE(QFileInfo::exists(w.folder.host("shots/a.jpg")));
    EXPECT_TRUE(QFileInfo::exists(w.folder.host("shots/b.jpg")));
    EXPECT_FALSE(w.form->isVisible());
    EXPECT_TRUE(QFileInfo::exists(w.folder.host("SC_CONVERTER.ini")));
}
