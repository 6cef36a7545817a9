// The batch and the settings as the window wires them: start-up scan, drops, the list
// buttons, the settings file read at the first show and written at close, the reset.
#include "ScriptedDialogs.h"
#include "TempProgramFolder.h"
#include "WindowFixture.h"
#include "app/Changewindow1.h"
#include "controls/TFolderPathBox.h"
#include "controls/TShadowLabel.h"
#include "controls/TShineSpeedButton.h"
#include "controls/TSpinEdit.h"
#include "platform/IniFile.h"

#include <QComboBox>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QGuiApplication>
#include <QLineEdit>
#include <QProcess>
#include <QScreen>
#include <QStringEncoder>
#include <QTemporaryDir>
#include <QTest>
#include <QThread>

using sc::app::TConvertForm1;
using sc::controls::TFolderPathBox;
using sc::controls::TShadowLabel;
using sc::controls::TShineSpeedButton;
using sc::controls::TSpinEdit;

namespace {

struct Window {
    sc::test::TempProgramFolder folder;
    sc::test::ScriptedDialogs dialogs;
    std::unique_ptr<TConvertForm1> form;

    void open() { form = std::make_unique<TConvertForm1>(folder.path(), dialogs); }
    template <typename T = QWidget> T* get(const char* name) {
        T* w = form->findChild<T*>(QString::fromLatin1(name));
        EXPECT_NE(w, nullptr) << name;
        return w;
    }
    int item(const char* list) { return get<QComboBox>(list)->currentIndex(); }
    int spin(const char* box) { return get<TSpinEdit>(box)->value(); }
    QString settingsText() {
        QFile f(folder.host("SC_CONVERTER.ini"));
        return f.open(QIODevice::ReadOnly) ? QString::fromUtf8(f.readAll()) : QString();
    }
};

} // namespace

TEST(WindowBatch, StartupScanListsTheAlbumsBitmapsOnly) {
    Window w;
    w.folder.writeFile("drive_c/Album/a.bmp");
    w.folder.writeFile("drive_c/Album/b.jpg");
    w.folder.writeFile("drive_c/Album/sub/c.bmp");
    w.open();
    EXPECT_EQ(w.form->sourceList().paths(), QStringList({"C:\\Album\\a.bmp"}));
}

TEST(WindowBatch, DropsFillTheListAndClearRestoresThePromptInTheCurrentLanguage) {
    Window w;
    w.open();
    const QString jpg = w.folder.writeFile("in/photo.JPG");
    const QString gif = w.folder.writeFile("in/photo.gif");
    w.folder.writeFile("in/deep/x.bmp");
    w.form->dropFiles({jpg, gif});
    EXPECT_EQ(w.form->sourceList().paths(), QStringList({jpg}));
    w.form->dropFiles({w.folder.host("in")});
    EXPECT_EQ(w.form->sourceList().count(), 3); // the file twice, and the one below
    w.get<TShineSpeedButton>("ShineSpeedButton6")->setDown(true);
    w.get<TShadowLabel>("ShadowLabel21")->setText("1/3 枚目の変換処理中です。");
    w.form->clearSourceList();
    EXPECT_EQ(w.form->sourceList().count(), 0);
    EXPECT_EQ(w.get<TShadowLabel>("ShadowLabel21")->text(),
              "Drop source files or a source folder here.");
}

TEST(WindowSettings, AFirstRunShowsTheDefaultsAndItsCloseWritesEveryKeyInOrder) {
    Window w;
    w.open();
    w.form->show();
    EXPECT_EQ(w.item("C0_01"), 0);
    EXPECT_EQ(w.item("C1_01"), 1);
    EXPECT_EQ(w.item("C1_02"), 2);
    EXPECT_EQ(w.item("C4_01"), 2);
    EXPECT_EQ(w.get<TFolderPathBox>("C0_02")->path(), "C:/Program Files/Snapcycle");
    EXPECT_FALSE(w.get<TFolderPathBox>("C0_02")->isEnabled());
    EXPECT_FALSE(w.get<QLineEdit>("Edit2")->isEnabled());
    EXPECT_EQ(w.get<QLineEdit>("Edit1")->text(), "SCC DATA");
    EXPECT_FALSE(w.get<TShineSpeedButton>("ShineSpeedButton6")->isDown());
    EXPECT_EQ(w.form->pos(), QPoint(195, 128));
    w.form->close();
    QStringList keys;
    for (const QString& line : w.settingsText().split(QStringLiteral("\r\n"), Qt::SkipEmptyParts))
        keys << line.section(u'=', 0, 0);
    EXPECT_EQ(keys, QStringList({"[SET0]", "TRANS", "M_TOP", "M_LEFT", "[SET1]", "C0_01", "C0_02",
                                 "C1_01",  "Edit2", "C1_02", "C3_01",  "C3_02",  "C3_04", "C3_05",
                                 "C3_06",  "C3_07", "C3_08", "C3_09",  "[SET2]", "C4_01", "Edit1",
                                 "[SET3]", "C5_01", "C5_02", "C5_03"}));
}

TEST(WindowSettings, StoredValuesComeBackLimitedAndTheFileKeepsItsOtherLines) {
    Window w;
    w.folder.writeFile("SC_CONVERTER.ini",
                       "; kept\r\n[SET0]\r\nTRANS=1\r\nM_TOP=-40\r\nM_LEFT=700\r\n[SET1]\r\n"
                       "C3_01=0x14\r\nC3_07=500\r\nC3_02=abc\r\nC1_02=7\r\nC0_01=1\r\nmine=x\r\n");
    w.open();
    w.form->show();
    EXPECT_TRUE(w.get<TShineSpeedButton>("ShineSpeedButton6")->isDown());
    EXPECT_EQ(w.form->pos(), QPoint(700, -40)); // partly on the screen: as stored
    EXPECT_EQ(w.spin("C3_01"), 20);
    EXPECT_EQ(w.spin("C3_07"), 180);
    EXPECT_EQ(w.spin("C3_02"), 0);
    EXPECT_EQ(w.item("C1_02"), -1);
    EXPECT_TRUE(w.get<TFolderPathBox>("C0_02")->isEnabled());
    w.form->close();
    sc::IniFile saved(w.folder.host("SC_CONVERTER.ini"));
    ASSERT_TRUE(saved.load());
    EXPECT_EQ(saved.readString("SET1", "C1_02", ""), "-1");
    EXPECT_EQ(saved.readString("SET1", "C3_07", ""), "180");
    EXPECT_EQ(saved.readString("SET1", "mine", ""), "x");
    EXPECT_TRUE(w.settingsText().startsWith("; kept\r\n[SET0]\r\nTRANS=1\r\n"));
}

TEST(WindowSettings, ResetRestoresTheDefaultsButKeepsPositionAndLanguage) {
    Window w;
    w.open();
    w.form->show();
    w.get<TShineSpeedButton>("ShineSpeedButton6")->setDown(true);
    w.form->move(300, 200);
    w.get<TSpinEdit>("C3_05")->setValue(-30);
    w.get<QComboBox>("C0_01")->setCurrentIndex(1);
    w.get<QLineEdit>("Edit1")->setText("mine");
    w.form->resetSettings();
    EXPECT_EQ(w.spin("C3_05"), 0);
    EXPECT_EQ(w.item("C0_01"), 0);
    EXPECT_EQ(w.get<QLineEdit>("Edit1")->text(), "SCC DATA");
    EXPECT_EQ(w.form->pos(), QPoint(300, 200));
    EXPECT_TRUE(w.get<TShineSpeedButton>("ShineSpeedButton6")->isDown());
    EXPECT_EQ(w.get<TSpinEdit>("C3_05")->background(), QColor(0, 0, 0));
}

// A settings file that cannot be read at the start or written at the close is said in
// Japanese through the dialog seam; the window opens and closes all the same.
TEST(WindowSettings, AFailedLoadOrSaveIsShownUnlessTheSystemEndsTheProgramAndTheWindowCloses) {
    Window w;
    w.open();
    w.form->show();
    EXPECT_TRUE(w.dialogs.messages().isEmpty());
    // Something that can be neither read nor replaced takes the file's place before the close.
    ASSERT_TRUE(QDir().mkpath(w.folder.host("SC_CONVERTER.ini")));
    w.form->close();
    EXPECT_FALSE(w.form->isVisible());
    const QString path = QDir::toNativeSeparators(w.folder.host("SC_CONVERTER.ini"));
    EXPECT_EQ(w.dialogs.messages(), QStringList({"message:設定ファイルに保存できませんでした。"
                                                 "今回の設定は保存されません。\n" +
                                                 path}));

    w.dialogs.shown.clear();
    w.open();
    w.form->show();
    EXPECT_EQ(w.dialogs.messages(), QStringList({"message:設定ファイルを読み込めませんでした。"
                                                 "既定の設定で起動します。\n" +
                                                 path}));
    EXPECT_EQ(w.item("C1_02"), 2);

    // The system ending the program (a logout): nobody could answer a message, so none is
    // shown, and the window closes all the same.
    w.dialogs.shown.clear();
    sc::test::endProgramFromItsLoop(*w.form);
    EXPECT_FALSE(w.form->isVisible());
    EXPECT_TRUE(w.dialogs.shown.isEmpty());
}

// A position from a monitor that is gone would put the borderless window where nobody can
// reach it: it is ignored. A position that leaves any of the window on a screen is kept.
TEST(WindowSettings, APositionOnNoScreenIsIgnoredAndAPartlyVisibleOneKept) {
    const QRect screen = QGuiApplication::primaryScreen()->virtualGeometry();
    const QPoint firstStart(195, 128);
    const QPoint lastColumn(screen.right(), -40);
    const QPoint lastRow(0, screen.top() - 513);
    const struct {
        QPoint stored;
        QPoint shown;
    } cases[] = {
        {{screen.right() + 1, 128}, firstStart},
        {{5000, 5000}, firstStart},
        {{-516, 0}, firstStart},
        {{2147483647, 2147483647}, firstStart},
        {{-2147483647 - 1, -2147483647 - 1}, firstStart},
        {lastColumn, lastColumn},
        {lastRow, lastRow},
    };
    for (const auto& c : cases) {
        Window w;
        w.folder.writeFile("SC_CONVERTER.ini", QStringLiteral("[SET0]\r\nM_TOP=%1\r\nM_LEFT=%2\r\n")
                                                   .arg(c.stored.y())
                                                   .arg(c.stored.x())
                                                   .toUtf8());
        w.open();
        w.form->show();
        EXPECT_EQ(w.form->pos(), c.shown) << c.stored.x() << "," << c.stored.y();
        w.form->close();
        sc::IniFile saved(w.folder.host("SC_CONVERTER.ini"));
        ASSERT_TRUE(saved.load());
        EXPECT_EQ(saved.readInteger("SET0", "M_LEFT", 0), c.shown.x());
        EXPECT_EQ(saved.readInteger("SET0", "M_TOP", 0), c.shown.y());
    }
}

// Typing a path keeps the cursor where the user types; a separator typed at the end waits for
// the next folder name and goes when the box is left, while the hint and the saved value go
// without it at once.
TEST(WindowSettings, ATypedOutputPathStaysAsTyped) {
    Window w;
    w.open();
    w.form->show();
    w.get<QComboBox>("C0_01")->setCurrentIndex(1);
    w.form->settingChanged(sc::settings::Key::Destination);
    auto* box = w.get<TFolderPathBox>("C0_02");
    box->editor()->selectAll();
    QTest::keyClicks(box->editor(), "D:/photos/out");
    EXPECT_EQ(box->path(), "D:/photos/out");
    EXPECT_EQ(box->editor()->cursorPosition(), 13);
    EXPECT_EQ(box->hint(), "D:/photos/out");

    QTest::keyClicks(box->editor(), "/2024\\");
    EXPECT_EQ(box->path(), "D:/photos/out/2024\\");
    EXPECT_EQ(box->hint(), "D:/photos/out/2024");
    QTest::keyClick(box->editor(), Qt::Key_Return);
    EXPECT_EQ(box->path(), "D:/photos/out/2024");

    QTest::keyClicks(box->editor(), "/");
    w.form->close();
    sc::IniFile saved(w.folder.host("SC_CONVERTER.ini"));
    ASSERT_TRUE(saved.load());
    EXPECT_EQ(saved.readString("SET1", "C0_02", ""), "D:/photos/out/2024");
}

namespace {
// Whether the process catches SIGTERM yet (Linux: bit 15 of the caught-signals mask).
bool catchesTerminate(qint64 pid) {
    QFile status(QStringLiteral("/proc/%1/status").arg(pid));
    if (!status.open(QIODevice::ReadOnly))
        return false;
    for (const QByteArray& line : status.readAll().split('\n')) {
        if (line.startsWith("SigCgt:"))
            return line.mid(7).trimmed().toULongLong(nullptr, 16) & (1ull << 14);
    }
    return false;
}
} // namespace

// The real program in a copy of its folder, ended by SIGTERM as a desktop logout ends it:
// it closes as on a normal close, and the settings file is written, in its own encoding.
TEST(ProgramEnd, ATerminateRequestSavesTheSettingsAsACloseDoes) {
    const QString programDir = qEnvironmentVariable("SC_PROGRAM_DIR");
    if (!QFileInfo::exists(programDir + "/SC_CONVERTER") || !QFileInfo::exists("/proc/self/status"))
        GTEST_SKIP() << "needs the built program and /proc";
    QTemporaryDir copy;
    for (const QFileInfo& file : QDir(programDir).entryInfoList(QDir::Files))
        ASSERT_TRUE(QFile::copy(file.filePath(), copy.filePath(file.fileName())));
    QFile::remove(copy.filePath("SC_CONVERTER.ini"));
    QStringEncoder cp932("CP932");
    const QByteArray stored = cp932(QStringLiteral("[SET1]\r\nEdit2=旅行\r\nC3_01=-20\r\n"));
    {
        QFile ini(copy.filePath("SC_CONVERTER.ini"));
        ASSERT_TRUE(ini.open(QIODevice::WriteOnly));
        ini.write(stored);
    }

    QProcess program;
    program.start(copy.filePath("SC_CONVERTER"), {});
    ASSERT_TRUE(program.waitForStarted());
    QElapsedTimer waited;
    waited.start();
    while (!catchesTerminate(program.processId()) && waited.elapsed() < 20000)
        QThread::msleep(20);
    program.terminate();
    ASSERT_TRUE(program.waitForFinished(30000));
    EXPECT_EQ(program.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(program.exitCode(), 0);

    QFile ini(copy.filePath("SC_CONVERTER.ini"));
    ASSERT_TRUE(ini.open(QIODevice::ReadOnly));
    const QByteArray saved = ini.readAll();
    EXPECT_TRUE(saved.startsWith(stored)); // the values as they were, CP932 kept
    EXPECT_TRUE(saved.contains("\r\n[SET0]\r\nTRANS=0\r\nM_TOP=128\r\nM_LEFT=195\r\n"));
    EXPECT_TRUE(saved.endsWith("[SET3]\r\nC5_01=0\r\nC5_02=\r\nC5_03=\r\n"));
}
