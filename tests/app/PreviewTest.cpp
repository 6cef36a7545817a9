// The preview of the selected source through the window: who runs it, what it shows, and
// that its after size is the size of the file the JPEG job writes.
#include "ScriptedDialogs.h"
#include "TempProgramFolder.h"
#include "WindowFixture.h"
#include "app/Changewindow1.h"
#include "controls/TShadowLabel.h"
#include "controls/TSpinEdit.h"
#include "imaging/TGKitImageEdit.h"
#include "sources/SourcePreview.h"

#include <QApplication>
#include <QComboBox>
#include <QFile>
#include <QKeyEvent>
#include <QLineEdit>
#include <QListView>
#include <QTest>

using sc::app::TConvertForm1;
using sc::controls::TShadowLabel;
using sc::controls::TSpinEdit;
using sc::sources::TSourcePreview;

namespace {

struct Window {
    sc::test::TempProgramFolder folder;
    sc::test::ScriptedDialogs dialogs;
    std::unique_ptr<TConvertForm1> form = std::make_unique<TConvertForm1>(folder.path(), dialogs);

    template <typename T = QWidget> T* get(const char* name) {
        T* w = form->findChild<T*>(QString::fromLatin1(name));
        EXPECT_NE(w, nullptr) << name;
        return w;
    }
    QString label(const char* name) { return get<TShadowLabel>(name)->text(); }
    sc::GKitImage& view(const char* name) { return get<sc::TGKitImageEdit>(name)->model(); }
    bool viewsEmpty() { return view("ImageEdit1").isEmpty() && view("ImageEdit2").isEmpty(); }
    QListView* list() { return get<QListView>("ListBox1"); }

    // A grey bitmap at a host path, dropped; with `bytes`, a small one padded to that size.
    QString drop(const QString& name, qint64 bytes = 0, int level = 100) {
        const QString path = folder.host(name);
        QDir().mkpath(QFileInfo(path).absolutePath());
        QImage picture(bytes > 0 ? QSize(8, 6) : QSize(40, 30), QImage::Format_RGB32);
        picture.fill(qRgb(level, level, level));
        EXPECT_TRUE(picture.save(path, "BMP"));
        if (bytes > 0)
            QFile(path).resize(bytes);
        form->dropFiles({path});
        return path;
    }
    // Each waits for the preview it starts.
    void settle() { sc::test::settlePreview(*form); }
    void clickRow(int row, Qt::KeyboardModifiers modifiers = {}) {
        const QRect rect = list()->visualRect(list()->model()->index(row, 0));
        QTest::mouseClick(list()->viewport(), Qt::LeftButton, modifiers, rect.center());
        settle();
    }
    void handler(const char* name) {
        form->settingChanged(sc::test::settingNamed(name));
        settle();
    }
    void setValue(const char* box, int value) {
        get<TSpinEdit>(box)->setValue(value);
        settle();
    }
    int afterLevel() { return qRed(view("ImageEdit2").image().pixel(5, 5)); }
};

} // namespace

TEST(Preview, SelectingByMouseOrKeysPreviewsAndLeavesNoTemporaryFile) {
    Window w;
    w.form->show();
    w.drop("shots/a.bmp", 999);
    w.drop("shots/b.bmp", 12'345);
    EXPECT_EQ(w.label("Label7"), "0KB");
    EXPECT_EQ(w.label("Label4"), "0KB");
    w.clickRow(0);
    EXPECT_EQ(w.label("Label7"), "1 KB  ");
    EXPECT_TRUE(w.label("Label4").endsWith(QStringLiteral(" KB\u3000")));
    EXPECT_FALSE(w.view("ImageEdit1").isEmpty());
    EXPECT_FALSE(w.view("ImageEdit2").isEmpty());
    EXPECT_FALSE(QFile::exists(w.folder.host("_tmp000.tmp")));
    QTest::keyClick(w.list(), Qt::Key_Down);
    w.settle();
    EXPECT_EQ(w.label("Label7"), "12 KB  ");
    // Deselected, then the same (still current) entry clicked again: both are previewed.
    w.clickRow(1, Qt::ControlModifier);
    EXPECT_TRUE(w.viewsEmpty());
    EXPECT_EQ(w.label("Label7"), "12 KB  ");
    QFile(w.folder.host("shots/b.bmp")).resize(5'000);
    w.clickRow(1);
    EXPECT_EQ(w.label("Label7"), "5 KB  ");
    EXPECT_TRUE(w.dialogs.shown.isEmpty());
}

TEST(Preview, QualityAndEveryTuningBoxRerunItButTheAlbumQualityDoesNot) {
    Window w;
    w.form->show();
    const QString source = w.drop("shots/a.bmp", 3'000);
    w.clickRow(0);
    qint64 size = 3'000;
    auto grown = [&] {
        size += 1'000;
        QFile(source).resize(size);
        return QString::number(size / 1000) + QStringLiteral(" KB  ");
    };
    w.get<QComboBox>("C4_01")->setCurrentIndex(0);
    w.handler("C4_01");
    grown();
    EXPECT_EQ(w.label("Label7"), "3 KB  ");
    w.get<QComboBox>("C1_02")->setCurrentIndex(0);
    w.handler("C1_02");
    EXPECT_EQ(w.label("Label7"), "4 KB  ");
    for (const char* box :
         {"C3_01", "C3_02", "C3_04", "C3_05", "C3_06", "C3_07", "C3_08", "C3_09"}) {
        const QString expected = grown();
        w.setValue(box, 5);
        EXPECT_EQ(w.label("Label7"), expected) << box;
    }
}

TEST(Preview, AnUnreadableSelectionBeepsSaysSoAndLeavesBothViewsEmpty) {
    Window w;
    w.form->show();
    const QString bad = w.folder.writeFile("shots/bad.jpg", "not a picture");
    w.form->dropFiles({bad});
    w.clickRow(0);
    EXPECT_EQ(
        w.dialogs.shown,
        QStringList(
            {"beep",
             QStringLiteral("message:非対応フォーマットが含まれていました。処理を中止します。")}));
    EXPECT_TRUE(w.viewsEmpty());
    EXPECT_EQ(w.label("Label7"), "0KB");
}

TEST(Preview, AfterClearingTheListATuningChangeEmptiesTheViewsAndKeepsTheLabels) {
    Window w;
    w.form->show();
    w.drop("shots/a.bmp", 4'000);
    w.clickRow(0);
    const QString after = w.label("Label4");
    w.form->clearSourceList();
    EXPECT_FALSE(w.viewsEmpty()); // clearing alone does not run it
    w.setValue("C3_02", 10);
    EXPECT_TRUE(w.viewsEmpty());
    EXPECT_EQ(w.label("Label7"), "4 KB  ");
    EXPECT_EQ(w.label("Label4"), after);
}

TEST(Preview, ARunBeforeTheWindowIsShownDoesNothing) {
    Window w;
    w.drop("shots/a.bmp", 4'000);
    w.list()->selectionModel()->select(w.list()->model()->index(0, 0),
                                       QItemSelectionModel::ClearAndSelect);
    w.form->previewSelectedSource();
    EXPECT_TRUE(w.viewsEmpty());
    EXPECT_EQ(w.label("Label7"), "0KB");
}

TEST(Preview, EmptyingTheBrightnessBoxPreviewsAtItsMinimum) {
    Window w;
    w.form->show();
    w.drop("shots/a.bmp", 0, 100);
    w.clickRow(0);
    EXPECT_NEAR(w.afterLevel(), 100, 2);
    w.get<TSpinEdit>("C3_01")->editor()->setText(QString());
    w.settle();
    EXPECT_EQ(w.get<TSpinEdit>("C3_01")->value(), -100);
    EXPECT_LE(w.afterLevel(), 2);
}

// A picture with detail, so that encodings differ from value to value, and a grey corner of
// level 100 where the after view is read.
QString detailedPicture(Window& w) {
    QImage picture(1200, 900, QImage::Format_RGB32);
    for (int y = 0; y < picture.height(); ++y)
        for (int x = 0; x < picture.width(); ++x)
            picture.setPixel(x, y,
                             x < 160 && y < 120
                                 ? qRgb(100, 100, 100)
                                 : qRgb((x * 7 + y) % 256, (x ^ y) % 256, (y * 3) % 256));
    const QString source = w.folder.host("shots/a.bmp");
    QDir().mkpath(w.folder.host("shots"));
    EXPECT_TRUE(picture.save(source, "BMP"));
    w.form->dropFiles({source});
    w.get<QComboBox>("C1_01")->setCurrentIndex(0); // the output keeps the source's name
    w.handler("C1_01");
    return source;
}

// The JPEG job's output beside the source, taken away for the next run.
QByteArray takeOutput(Window& w) {
    QFile written(w.folder.host("shots/a.jpg"));
    EXPECT_TRUE(written.open(QIODevice::ReadOnly));
    const QByteArray bytes = written.readAll();
    written.remove();
    return bytes;
}

TEST(Preview, TheAfterSizeIsTheSizeOfTheFileTheJobWrites) {
    Window w;
    w.form->show();
    detailedPicture(w);
    w.get<QComboBox>("C1_02")->setCurrentIndex(3);
    w.handler("C1_02");
    w.setValue("C3_07", 40);
    w.clickRow(0);
    w.dialogs.yesNoAnswers = {false};
    w.form->runVisiblePageJob();
    const QByteArray written = takeOutput(w);
    ASSERT_GT(written.size(), 1000);
    EXPECT_EQ(w.label("Label4"), TSourcePreview::afterSizeText(written.size()));
}

// Keys go where the desktop sends them: to the box, which holds the focus. The window takes
// every repeat as it comes; the views end on the value the key stopped at, with the size of the
// file the job writes for it.
TEST(Preview, AHeldKeyEndsOnTheLastValueWithItsSize) {
    Window w;
    w.form->show();
    detailedPicture(w);
    w.clickRow(0);
    auto* brightness = w.get<TSpinEdit>("C3_01");
    auto key = [&](QEvent::Type type, bool repeated) {
        return new QKeyEvent(type, Qt::Key_Up, Qt::NoModifier, QString(), repeated);
    };
    // Repeats come faster and slower than the runs, so outcomes arrive between them.
    for (int i = 0; i < 10; ++i) {
        QCoreApplication::postEvent(brightness, key(QEvent::KeyPress, i > 0));
        QTest::qWait(i % 3 ? 1 : 40);
    }
    QCoreApplication::postEvent(brightness, key(QEvent::KeyRelease, false));
    QCoreApplication::sendPostedEvents(brightness);
    EXPECT_EQ(brightness->value(), 50);
    w.settle();
    EXPECT_NEAR(w.afterLevel(), 228, 2); // 100 + 255 / 2
    w.dialogs.yesNoAnswers = {false};
    w.form->runVisiblePageJob();
    EXPECT_EQ(w.label("Label4"), TSourcePreview::afterSizeText(takeOutput(w).size()));
    EXPECT_TRUE(w.dialogs.messages().isEmpty());
}

// The job does not wait for a preview under way, and its bytes are those of a job that started
// with nothing under way; the dropped preview runs afresh after the job.
TEST(Preview, AJobStartedDuringAPreviewWritesTheSameBytesAsWithoutIt) {
    Window w;
    w.form->show();
    detailedPicture(w);
    w.setValue("C3_08", 30);
    w.clickRow(0);
    w.dialogs.yesNoAnswers = {false, false};
    w.form->runVisiblePageJob();
    const QByteArray alone = takeOutput(w);

    w.get<TSpinEdit>("C3_08")->setValue(0);
    w.get<TSpinEdit>("C3_08")->setValue(30);
    ASSERT_FALSE(w.form->previewSettled());
    w.form->runVisiblePageJob();
    EXPECT_TRUE(alone == takeOutput(w));
    w.settle();
    EXPECT_EQ(w.label("Label4"), TSourcePreview::afterSizeText(alone.size()));
    EXPECT_TRUE(w.dialogs.messages().isEmpty());
}
