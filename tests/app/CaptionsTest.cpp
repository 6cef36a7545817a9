// The caption language switch through the window: the English column and back, selections
// kept with no change handler run, the stored language at start, the idle prompt.
// The expected texts are typed out here rather than taken from the program's tables, so that a
// typo or a swapped text in those tables shows.
#include "Children.h"
#include "ScriptedDialogs.h"
#include "TempProgramFolder.h"
#include "app/Changewindow1.h"
#include "app/LookAndFeel.h"
#include "controls/TShadowLabel.h"
#include "controls/TShineSpeedButton.h"
#include "jobs/JobTexts.h"

#include <QComboBox>
#include <QImage>
#include <QTest>

using sc::app::TConvertForm1;
using sc::controls::TShadowLabel;
using sc::controls::TShineSpeedButton;

namespace {

const QString kPromptJapanese =
    QStringLiteral("変換元の画像ファイル or フォルダをドロップしてください。");
const QString kPromptEnglish = QStringLiteral("Drop source files or a source folder here.");

struct Texts {
    const char* control;
    QStringList japanese; // a caption, or a list's items in item order
    QStringList english;
};

const QStringList kQualityJa = {"1-低画質(高圧縮率)", "2-標準", "3-高画質", "4-最高画質(低圧縮率)"};
const QStringList kQualityEn = {"1-Low(HighCompression)", "2-Normal", "3-Better",
                                "4-Best(LowCompression)"};

const Texts kCaptionTable[] = {
    {"L0_00", {"対象ﾌｧｲﾙ ："}, {"Source Files ："}},
    {"L0_01", {"保存先 ："}, {"In Folder ："}},
    {"L0_02", {"ﾊﾟｽ ："}, {"Path ："}},
    {"L0_03", {"日付ﾘﾈｰﾑ ："}, {"Edit Date ："}},
    {"L0_04", {"任意文字 ："}, {"String ："}},
    {"L1_02", {"画質 ："}, {"Quality ："}},
    {"L1_03", {"微調整 ："}, {"Tuning ："}},
    {"L3_01", {"明るさ ："}, {"Brightness ："}},
    {"L3_02", {"ｺﾝﾄﾗｽﾄ ："}, {"Contrast ："}},
    {"L3_04", {"色階調(   ) ："}, {"Balance(   ) ："}},
    {"L3_05", {"色階調(   ) ："}, {"Balance(   ) ："}},
    {"L3_06", {"色階調(   ) ："}, {"Balance(   ) ："}},
    {"L3_07", {"色相 ："}, {"Hue ："}},
    {"L3_08", {"彩度 ："}, {"Saturation ："}},
    {"L3_09", {"明度 ："}, {"Lightness ："}},
    {"L4_01", {"画質 ："}, {"Quality ："}},
    {"L4_02", {"ﾀｲﾄﾙ ："}, {"Title ："}},
    {"L5_01", {"印刷ﾓｰﾄﾞ ："}, {"Format ："}},
    {"L5_02", {"ﾍｯﾀﾞｰ ："}, {"Header ："}},
    {"L5_03", {"ﾌｯﾀｰ ："}, {"Footer ："}},
    {"SSButton2", {"登録"}, {"Get Files"}},
    {"SSButton1", {"ｸﾘｱ"}, {"Clear"}},
    {"CButton11", {"ﾘｾｯﾄ"}, {"Default"}},
    {"ShineSpeedButton1", {"JPEG変換(日付ﾘﾈｰﾑ)"}, {"JPEG Transform"}},
    {"ShineSpeedButton2", {"HTML変換(ﾎｰﾑﾍﾟｰｼﾞ)"}, {"HTML Transform"}},
    {"ShineSpeedButton3", {"ﾌﾟﾘﾝﾄ出力"}, {"Print"}},
};

const Texts kListTable[] = {
    {"C0_01", {"変換元と同一ﾌｫﾙﾀﾞ", "ﾕｰｻﾞｰ設定"}, {"ToSourceFolder", "UserSettings"}},
    {"C1_02", kQualityJa, kQualityEn},
    {"C4_01", kQualityJa, kQualityEn},
    {"C1_01",
     {"しない", "する(日付_時間)", "する(任意文字_時間)"},
     {"OFF", "On(Date_Time)", "On(String_Time)"}},
    {"C5_01",
     {"縦-ノーマル(50ｺﾏ)", "横-フィルム風(66ｺﾏ)"},
     {"Vertical-Normal(5x10Frames)", "Horizontal-FilmStyle(11x6Frames)"}},
};

struct Window {
    sc::test::TempProgramFolder folder;
    sc::test::ScriptedDialogs dialogs;
    std::unique_ptr<TConvertForm1> form;

    // Starts the window over a settings file of `ini` lines (none: no file).
    explicit Window(const QByteArray& ini = {}) {
        sc::app::installLookAndFeel();
        if (!ini.isEmpty())
            folder.writeFile("SC_CONVERTER.ini", ini);
        form = std::make_unique<TConvertForm1>(folder.path(), dialogs);
        form->show();
    }
    template <typename T = QWidget> T* get(const char* name) {
        return sc::test::childOf<T>(*form, name);
    }
    TShineSpeedButton* button(const char* name) { return get<TShineSpeedButton>(name); }
    QString status() { return get<TShadowLabel>("ShadowLabel21")->text(); }
    // A choice in a list as the user makes it: the list's own signal, then its handler.
    void choose(const char* list, int index) {
        auto* combo = get<QComboBox>(list);
        combo->setCurrentIndex(index);
        emit combo->activated(index);
    }
    QStringList items(const char* list) {
        QStringList texts;
        auto* combo = get<QComboBox>(list);
        for (int i = 0; i < combo->count(); ++i)
            texts << combo->itemText(i);
        return texts;
    }
    QList<int> selections() {
        QList<int> indexes;
        for (const Texts& list : kListTable)
            indexes << get<QComboBox>(list.control)->currentIndex();
        return indexes;
    }

    // Every caption and every list of the table reads in one language.
    void expectLanguage(bool japanese) {
        EXPECT_EQ(status(), japanese ? kPromptJapanese : kPromptEnglish);
        for (const Texts& c : kCaptionTable) {
            const QString& want = (japanese ? c.japanese : c.english).first();
            QWidget* control = get(c.control);
            if (auto* label = qobject_cast<TShadowLabel*>(control))
                EXPECT_EQ(label->text(), want) << c.control;
            else
                EXPECT_EQ(qobject_cast<TShineSpeedButton*>(control)->caption(), want) << c.control;
        }
        for (const Texts& list : kListTable)
            EXPECT_EQ(items(list.control), japanese ? list.japanese : list.english) << list.control;
        EXPECT_EQ(button("ShineSpeedButton5")->isDown(), japanese);
        EXPECT_EQ(button("ShineSpeedButton6")->isDown(), !japanese);
    }
};

// A click as the mouse makes it.
void clickOn(TShineSpeedButton* b) {
    QTest::mouseClick(b, Qt::LeftButton, {}, b->rect().center());
}

} // namespace

TEST(CaptionLanguage, SwitchesEveryCaptionAndItemAndBackKeepingSelectionsWithoutHandlers) {
    Window w;
    w.expectLanguage(true); // the design's own captions
    w.choose("C0_01", 1);
    w.choose("C1_02", 3);
    w.choose("C4_01", 0);
    w.choose("C1_01", 2);
    w.choose("C5_01", 1);
    const QList<int> chosen = w.selections();
    const QStringList unswitched = {w.button("CButton10")->caption(),
                                    w.button("ShineSpeedButton4")->caption(),
                                    w.button("SSButton11")->caption(),
                                    w.get<TShadowLabel>("ShadowLabel11")->text(),
                                    w.get<TShadowLabel>("L3_04_1")->text(),
                                    w.button("SSButton2")->toolTip(),
                                    w.get("C1_02")->toolTip()};
    const int handlersBefore = w.form->changeHandlerTrace().size();

    clickOn(w.button("ShineSpeedButton6"));
    w.expectLanguage(false);
    EXPECT_EQ(w.selections(), chosen);
    // Pressed again, the down button stays down and applies English once more.
    w.get<TShadowLabel>("L0_01")->setText(QStringLiteral("?"));
    clickOn(w.button("ShineSpeedButton6"));
    w.expectLanguage(false);
    EXPECT_EQ(w.selections(), chosen);

    clickOn(w.button("ShineSpeedButton5"));
    w.expectLanguage(true);
    EXPECT_EQ(w.selections(), chosen);
    EXPECT_EQ(w.form->changeHandlerTrace().size(), handlersBefore);
    EXPECT_EQ(QStringList(
                  {w.button("CButton10")->caption(), w.button("ShineSpeedButton4")->caption(),
                   w.button("SSButton11")->caption(), w.get<TShadowLabel>("ShadowLabel11")->text(),
                   w.get<TShadowLabel>("L3_04_1")->text(), w.button("SSButton2")->toolTip(),
                   w.get("C1_02")->toolTip()}),
              unswitched);
}

TEST(CaptionLanguage, AListWithNoSelectionKeepsNoneThroughASwitch) {
    Window w("[SET1]\nC1_02=7\n");
    ASSERT_EQ(w.get<QComboBox>("C1_02")->currentIndex(), -1);
    clickOn(w.button("ShineSpeedButton6"));
    EXPECT_EQ(w.get<QComboBox>("C1_02")->currentIndex(), -1);
    EXPECT_EQ(w.get<QComboBox>("C4_01")->currentIndex(), 2);
}

TEST(CaptionLanguage, AStartInEnglishShowsEnglishCaptionsWithTheSavedSelections) {
    Window w("[SET0]\nTRANS=1\n[SET1]\nC0_01=1\nC1_01=0\nC1_02=3\n[SET2]\nC4_01=1\n"
             "[SET3]\nC5_01=1\n");
    w.expectLanguage(false);
    EXPECT_EQ(w.selections(), QList<int>({1, 3, 1, 0, 1}));
    // The language is written back at close.
    w.form->close();
    QFile ini(w.folder.host("SC_CONVERTER.ini"));
    ASSERT_TRUE(ini.open(QIODevice::ReadOnly));
    EXPECT_TRUE(ini.readAll().contains("TRANS=1"));
}

TEST(CaptionLanguage, IdlePromptFollowsTheLanguageAfterClearingAndAfterAJob) {
    Window w;
    clickOn(w.button("ShineSpeedButton6"));
    w.get<TShadowLabel>("ShadowLabel21")->setText(QStringLiteral("x"));
    w.form->clearSourceList();
    EXPECT_EQ(w.status(), kPromptEnglish);

    // The job's progress texts stay Japanese; its end shows the English prompt.
    QImage picture(8, 6, QImage::Format_RGB32);
    picture.fill(Qt::darkCyan);
    const QString source = w.folder.host("a.bmp");
    ASSERT_TRUE(picture.save(source, "BMP"));
    w.form->dropFiles({source});
    w.choose("C1_01", 0);
    QStringList shown;
    auto* status = w.get<TShadowLabel>("ShadowLabel21");
    // The progress repaints the status line at once: each text is seen by its paint.
    struct Watch : QObject {
        TShadowLabel* label;
        QStringList* seen;
        bool eventFilter(QObject*, QEvent* e) override {
            if (e->type() == QEvent::Paint && (seen->isEmpty() || seen->last() != label->text()))
                *seen << label->text();
            return false;
        }
    } watch;
    watch.label = status;
    watch.seen = &shown;
    status->installEventFilter(&watch);
    w.form->runVisiblePageJob();
    status->removeEventFilter(&watch);
    EXPECT_TRUE(shown.contains(QStringLiteral("1/1 枚目の変換処理中です。")))
        << shown.join('|').toStdString();
    EXPECT_EQ(w.status(), kPromptEnglish);

    clickOn(w.button("ShineSpeedButton5"));
    w.form->clearSourceList();
    EXPECT_EQ(w.status(), kPromptJapanese);
}

// The print layout's handler runs for the user's choice after a switch as before it, and the
// switch itself runs none.
TEST(CaptionLanguage, ALayoutChoiceAfterASwitchRunsThePrintLayoutHandlerAsBefore) {
    for (const int layoutAtSwitch : {1, 0}) {
        Window w;
        w.choose("C5_01", layoutAtSwitch);
        const QStringList before = w.form->changeHandlerTrace();
        EXPECT_EQ(before.last(), "C5_01");
        clickOn(w.button("ShineSpeedButton6"));
        EXPECT_EQ(w.form->changeHandlerTrace(), before);
        const int other = 1 - layoutAtSwitch;
        w.choose("C5_01", other);
        EXPECT_EQ(w.form->changeHandlerTrace(), before + QStringList{"C5_01"});
        EXPECT_EQ(w.get<QComboBox>("C5_01")->currentText(), kListTable[4].english[other]);
    }
}
