// The batch and the settings as the window wires them: start-up scan, drops, the list
// buttons, the settings file read at the first show and written at close, the reset.
#include "ScriptedDialogs.h"
#include "TempProgramFolder.h"
#include "app/Changewindow1.h"
#include "controls/TFolderPathBox.h"
#include "controls/TShadowLabel.h"
#include "controls/TShineSpeedButton.h"
#include "controls/TSpinEdit.h"
#include "platform/IniFile.h"

#include <QComboBox>
#include <QFile>
#include <QLineEdit>

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
    w.form->SSButton1Click();
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
    w.form->CButton11Click();
    EXPECT_EQ(w.spin("C3_05"), 0);
    EXPECT_EQ(w.item("C0_01"), 0);
    EXPECT_EQ(w.get<QLineEdit>("Edit1")->text(), "SCC DATA");
    EXPECT_EQ(w.form->pos(), QPoint(300, 200));
    EXPECT_TRUE(w.get<TShineSpeedButton>("ShineSpeedButton6")->isDown());
    EXPECT_EQ(w.get<TSpinEdit>("C3_05")->background(), QColor(0, 0, 0));
}
