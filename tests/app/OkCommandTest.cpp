// The OK command through the window, on real files in a temporary program folder.
#include "ScriptedDialogs.h"
#include "TempProgramFolder.h"
#include "app/Changewindow1.h"
#include "controls/TShadowLabel.h"
#include "controls/TShineSpeedButton.h"
#include "controls/TSpinEdit.h"
#include "imaging/TGKitImageEdit.h"
#include "jobs/JobTexts.h"
#include "platform/FileOps.h"

#include <QCloseEvent>
#include <QComboBox>
#include <QCoreApplication>
#include <QImage>

namespace {

const QDateTime kTaken(QDate(2004, 1, 2), QTime(9, 5, 6));

struct Window {
    sc::test::TempProgramFolder folder;
    sc::test::ScriptedDialogs dialogs;
    std::unique_ptr<TConvertForm1> form;

    Window() {
        form = std::make_unique<TConvertForm1>(folder.path(), dialogs);
        form->show();
    }
    template <typename T = QWidget> T* get(const char* name) {
        return form->findChild<T*>(QString::fromLatin1(name));
    }
    QString status() { return get<TShadowLabel>("ShadowLabel21")->text(); }
    // Drops pictures written at host paths under the program folder.
    void dropPictures(const QStringList& names, const QString& broken = QString()) {
        QStringList paths;
        for (const QString& name : names) {
            const QString host = folder.host(name);
            QDir().mkpath(QFileInfo(host).absolutePath());
            if (name == broken) {
                folder.writeFile(name, "not a picture");
            } else {
                QImage img(8, 6, QImage::Format_RGB32);
                img.fill(Qt::darkCyan);
                ASSERT_TRUE(img.save(host, "BMP"));
            }
            sc::fileops::setLastWriteTime(host, kTaken);
            paths << host;
        }
        form->dropFiles(paths);
    }
    void choose(const char* list, int index) {
        get<QComboBox>(list)->setCurrentIndex(index);
        QMetaObject::invokeMethod(form.get(), (QByteArray(list) + "Change").constData());
    }
};

} // namespace

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
    w.form->ShineSpeedButton2Click(); // the album page, whose job is not here yet
    w.form->CButton10Click();
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
