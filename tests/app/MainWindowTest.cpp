#include "Children.h"
#include "ScriptedDialogs.h"
#include "TempProgramFolder.h"
#include "WindowFixture.h"
#include "app/Changewindow1.h"
#include "app/LookAndFeel.h"
#include "controls/TGradBox.h"
#include "controls/TShadowLabel.h"
#include "controls/TShineSpeedButton.h"
#include "controls/TSpinEdit.h"

#include <QApplication>
#include <QCloseEvent>
#include <QComboBox>
#include <QCoreApplication>
#include <QDialog>
#include <QElapsedTimer>
#include <QEnterEvent>
#include <QFileInfo>
#include <QFontInfo>
#include <QListView>
#include <QMouseEvent>
#include <QPainter>
#include <QStyle>
#include <QStyleOption>
#include <QTabBar>
#include <QTabWidget>
#include <QTest>
#include <QTimer>
#include <QToolTip>
#include <QWindow>

using sc::app::TConvertForm1;
using sc::controls::TGradBox;
using sc::controls::TShadowLabel;
using sc::controls::TShineSpeedButton;
using sc::controls::TSpinEdit;

namespace {

struct Window {
    sc::test::TempProgramFolder folder;
    sc::test::ScriptedDialogs dialogs;
    TConvertForm1 form{(sc::app::installLookAndFeel(), folder.path()), dialogs};

    template <typename T = QWidget> T* get(const char* name) {
        return sc::test::childOf<T>(form, name);
    }
    QTabWidget* pages() { return get<QTabWidget>("PageControl1"); }
    QWidget* page() { return pages()->currentWidget(); }
    TShineSpeedButton* button(const char* name) { return get<TShineSpeedButton>(name); }
    // Where a control lies in the window; for a label, the rectangle its text is placed in
    // (the label itself grows around its text).
    QRect placeInWindow(const char* name) {
        QWidget* w = get(name);
        if (auto* label = qobject_cast<TShadowLabel*>(w)) {
            const QRect design = label->designRect();
            return QRect(label->parentWidget()->mapTo(&form, design.topLeft()), design.size());
        }
        return sc::test::placeIn(form, *w);
    }
    void showAndWait() {
        form.show();
        EXPECT_TRUE(QTest::qWaitForWindowExposed(&form));
    }
};

int count(const QStringList& trace, const char* name) {
    return trace.count(QString::fromLatin1(name));
}

// A click as the mouse makes it: over the button, press, release.
void clickOn(TShineSpeedButton* b) {
    const QPointF c = b->rect().center();
    QEnterEvent enter(c, c, b->mapToGlobal(c));
    QApplication::sendEvent(b, &enter);
    QTest::mouseClick(b, Qt::LeftButton, {}, c.toPoint());
}

// Presses the left button at `from` (window coordinates), drags by `by` and releases.
// Through the window system, as real input arrives, so the window picks the control under the
// pointer. The pointer's path is fixed on the screen while the window may move under it.
void dragWindow(TConvertForm1& form, QPoint from, QPoint by) {
    QWindow* window = form.windowHandle();
    const QPoint start = form.mapToGlobal(from);
    QTest::mousePress(window, Qt::LeftButton, {}, from);
    QTest::mouseMove(window, form.mapFromGlobal(start + by / 2));
    QTest::mouseMove(window, form.mapFromGlobal(start + by));
    QTest::mouseRelease(window, Qt::LeftButton, {}, form.mapFromGlobal(start + by));
}

} // namespace

TEST(MainWindow, IsAFramelessWindowBuiltFromItsDesign) {
    Window w;
    EXPECT_FALSE(w.form.isReady());
    EXPECT_EQ(w.form.size(), QSize(516, 514));
    EXPECT_EQ(w.form.pos(), QPoint(195, 128));
    EXPECT_TRUE(w.form.windowFlags() & Qt::FramelessWindowHint);
    EXPECT_EQ(w.form.windowTitle(), "SC_CONVERTER");
    EXPECT_EQ(w.form.programFolder(), w.folder.path());
    EXPECT_EQ(w.form.palette().color(QPalette::Window), QColor(70, 70, 70));
    EXPECT_FALSE(w.get("ImageEdit0")->isVisibleTo(&w.form));
    EXPECT_TRUE(w.pages()->tabBar()->isHidden());
    // The design's font is found as a Japanese face, not as a fallback without its glyphs.
    EXPECT_EQ(w.form.font().family(), QStringLiteral("ＭＳ Ｐゴシック"));
    EXPECT_EQ(w.form.font().pointSize(), 9);
    EXPECT_EQ(QFontInfo(w.get("L0_01")->font()).family(), QStringLiteral("IPAPGothic"));
    EXPECT_EQ(w.get<TShadowLabel>("L0_01")->font().pixelSize(), 11);
}

TEST(MainWindow, EveryControlSitsAtItsPlaceWithItsHint) {
    Window w;
    struct Place {
        const char* name;
        QRect rect; // in the window for frame parts, on the page for page controls
        const char* hint;
    };
    const Place frame[] = {
        {"GradBox6", {0, 0, 516, 20}, nullptr},
        {"GradBox3", {0, 494, 516, 20}, nullptr},
        {"GradBox4", {0, 21, 6, 472}, nullptr},
        {"GradBox1", {510, 21, 6, 472}, nullptr},
        {"ShadowLabel21", {6, 5, 262, 11}, nullptr},
        {"ShadowLabel11", {6, 498, 328, 11}, nullptr},
        {"Panel7", {406, 2, 50, 15}, nullptr},
        {"ShineSpeedButton4", {406, 2, 50, 15}, " インフォメーションの表示"},
        {"Panel9", {462, 2, 15, 15}, nullptr},
        {"SSButton12", {462, 2, 15, 15}, " ユーザーズガイドの参照"},
        {"Panel4", {480, 2, 15, 15}, nullptr},
        {"SSButton11", {480, 2, 15, 15}, " 最小化"},
        {"Panel10", {498, 2, 15, 15}, nullptr},
        {"SSButton10", {498, 2, 15, 15}, " 閉じる"},
        {"Panel8", {408, 496, 99, 15}, nullptr},
        {"ShineSpeedButton5", {408, 496, 50, 15}, " 日本語化"},
        {"ShineSpeedButton6", {457, 496, 50, 15}, " 英語化"},
        {"Panel6", {12, 142, 422, 24}, nullptr},
        {"ShineSpeedButton1", {13, 143, 140, 22}, " BMP→JPEG変換(日付リネーム)"},
        {"ShineSpeedButton2", {153, 143, 140, 22}, " BMP,JPEG→HTML変換"},
        {"ShineSpeedButton3", {293, 143, 140, 22}, "BMP,JPEG→プリント出力"},
        {"Panel1", {12, 164, 492, 306}, nullptr},
        {"Panel2", {8, 22, 492, 126}, nullptr},
        {"Panel3", {16, 462, 492, 30}, nullptr},
        {"SSButton2", {20, 88, 66, 19}, " C:\\Program Files\\snapcycle 内のファイルを取得"},
        {"SSButton1", {20, 109, 66, 19}, " 登録したファイルをクリア"},
        {"CButton11", {24, 470, 76, 19}, " 各種設定のリセット"},
    };
    for (const Place& p : frame) {
        EXPECT_EQ(w.placeInWindow(p.name), p.rect) << p.name;
        if (p.hint) {
            EXPECT_EQ(w.get(p.name)->toolTip(), QString::fromUtf8(p.hint)) << p.name;
        }
    }
    EXPECT_EQ(w.get("ListBox1")->size(), QSize(400, 100));
    EXPECT_EQ(w.get("ListBox1")->toolTip(), QStringLiteral(" 処理対象の画像ファイルリスト"));

    const Place onPages[] = {
        {"C0_01", {64, 6, 166, 19}, " 変換後のJPEGファイルの保存先"},
        {"C1_01", {306, 6, 166, 19}, " 変換後のファイルのリネーム"},
        {"Edit2", {306, 26, 166, 19}, " 日付の任意文字"},
        {"C1_02", {64, 64, 166, 19}, " JPEGファイルの画質(圧縮率)"},
        {"C3_01", {138, 100, 50, 19}, " 画像の明るさ"},
        {"C3_02", {138, 120, 50, 19}, " 画像のコントラスト"},
        {"C3_04", {138, 140, 50, 19}, " 画像の色階調(赤)"},
        {"C3_05", {138, 160, 50, 19}, " 画像の色階調(緑)"},
        {"C3_06", {138, 180, 50, 19}, " 画像の色階調(青)"},
        {"C3_07", {138, 200, 50, 19}, " 画像の色相"},
        {"C3_08", {138, 220, 50, 19}, " 画像の彩度"},
        {"C3_09", {138, 240, 50, 19}, " 画像の明度"},
        {"ImageEdit1", {244, 68, 164, 124}, " before - 変換前の画像"},
        {"ImageEdit2", {302, 140, 164, 124}, " after - 変換後の画像"},
        {"C4_01", {64, 6, 166, 19}, " JPEGファイルの画質(圧縮率)"},
        {"Edit1", {306, 6, 166, 19}, " タイトルの文字"},
        {"C5_01", {64, 6, 166, 19}, " 印刷モード"},
        {"C5_02", {64, 34, 166, 19}, " ヘッダー文字列"},
        {"C5_03", {64, 54, 166, 19}, " フッター文字列"},
    };
    for (const Place& p : onPages) {
        QWidget* c = w.get(p.name);
        EXPECT_EQ(QRect(c->mapTo(c->parentWidget(), QPoint(0, 0)), c->size()), p.rect) << p.name;
        EXPECT_EQ(c->toolTip(), QString::fromUtf8(p.hint)) << p.name;
    }
    EXPECT_EQ(w.get("C0_02")->geometry(), QRect(64, 26, 166, 19));
    EXPECT_EQ(w.get("ImageEdit4")->size(), QSize(220, 264));
    EXPECT_EQ(w.get("ImageEdit4")->toolTip(), QStringLiteral(" 印刷プレビュー"));
    EXPECT_EQ(w.get<TShadowLabel>("Label7")->designRect().topLeft(), QPoint(416, 72));
    EXPECT_EQ(w.get<TShadowLabel>("Label4")->designRect().topLeft(), QPoint(244, 248));
    EXPECT_EQ(w.get("ImageEdit1")->parentWidget(), w.get("TabSheet1"));
    EXPECT_EQ(w.get("ImageEdit4")->parentWidget(), w.get("TabSheet3"));
    EXPECT_EQ(w.get("C4_01")->parentWidget(), w.get("TabSheet2"));
}

TEST(MainWindow, SettingControlsAreNearBlackWithWhiteText) {
    Window w;
    for (const char* name : {"C0_01", "C0_02", "C1_01", "Edit2", "C1_02", "C3_01", "C3_09", "C4_01",
                             "Edit1", "C5_01", "C5_02", "C5_03", "ListBox1"}) {
        const QPalette p = w.get(name)->palette();
        EXPECT_EQ(p.color(QPalette::Base), QColor(4, 4, 4)) << name;
        EXPECT_EQ(p.color(QPalette::Text), QColor(Qt::white)) << name;
    }
    auto* spin = w.get<TSpinEdit>("C3_07");
    EXPECT_EQ(spin->minimum(), -180);
    EXPECT_EQ(spin->maximum(), 180);
    EXPECT_EQ(w.get<TSpinEdit>("C3_01")->minimum(), -100);
    EXPECT_EQ(w.get<TShadowLabel>("L3_04_1")->fontColor(), QColor(255, 0, 0));
    EXPECT_EQ(w.get<TShadowLabel>("L3_05_1")->fontColor(), QColor(0, 255, 0));
    EXPECT_EQ(w.get<TShadowLabel>("L3_06_1")->fontColor(), QColor(0, 0, 255));
}

TEST(MainWindow, TheFirstShowRunsItsStepsInOrderOnce) {
    Window w;
    QList<QWidget*> shownPages;
    QObject::connect(w.pages(), &QTabWidget::currentChanged,
                     [&](int i) { shownPages << w.pages()->widget(i); });
    w.form.show();
    w.form.hide();
    w.form.show();
    EXPECT_TRUE(w.form.isReady());
    EXPECT_EQ(w.form.lifecycleTrace(), QStringList({"ready", "showPrintPage", "resetSettings",
                                                    "loadSettingsFile", "showJpegPage"}));
    EXPECT_EQ(shownPages, (QList<QWidget*>{w.get("TabSheet3"), w.get("TabSheet1")}));
}

TEST(MainWindow, EveryStartShowsTheJpegPageWithTheFirstModeButtonDown) {
    Window w;
    w.showAndWait();
    EXPECT_EQ(w.page(), w.get("TabSheet1"));
    EXPECT_TRUE(w.button("ShineSpeedButton1")->isDown());
    EXPECT_FALSE(w.button("ShineSpeedButton2")->isDown());
    EXPECT_TRUE(w.button("ShineSpeedButton5")->isDown());
    EXPECT_FALSE(w.button("ShineSpeedButton6")->isDown());
}

TEST(MainWindow, ModeButtonsChooseThePageAndReleasingTheDownOneKeepsIt) {
    Window w;
    w.showAndWait();
    clickOn(w.button("ShineSpeedButton3"));
    EXPECT_EQ(w.page(), w.get("TabSheet3"));
    EXPECT_FALSE(w.button("ShineSpeedButton1")->isDown());
    clickOn(w.button("ShineSpeedButton2"));
    EXPECT_EQ(w.page(), w.get("TabSheet2"));
    EXPECT_TRUE(w.button("ShineSpeedButton2")->isDown());
    EXPECT_FALSE(w.button("ShineSpeedButton3")->isDown());

    clickOn(w.button("ShineSpeedButton2"));
    EXPECT_FALSE(w.button("ShineSpeedButton2")->isDown());
    EXPECT_EQ(w.page(), w.get("TabSheet2"));
    EXPECT_TRUE(w.button("ShineSpeedButton5")->isDown()); // the language group is apart

    clickOn(w.button("ShineSpeedButton1"));
    EXPECT_EQ(w.page(), w.get("TabSheet1"));
}

TEST(MainWindow, TitleBarButtonsOpenTheReadMeMinimiseAndClose) {
    Window w;
    w.showAndWait();
    // Clicked through the window system: the buttons lie on the draggable title bar.
    QTest::mouseClick(w.form.windowHandle(), Qt::LeftButton, {},
                      w.placeInWindow("SSButton12").center());
    EXPECT_EQ(w.dialogs.shown,
              QStringList{QStringLiteral("open:") + w.folder.path() + "/Readme.txt"});

    clickOn(w.button("SSButton11"));
    EXPECT_TRUE(w.form.windowState() & Qt::WindowMinimized);

    w.form.setWindowState(Qt::WindowNoState);
    clickOn(w.button("SSButton10"));
    EXPECT_FALSE(w.form.isVisible());
    EXPECT_EQ(count(w.form.lifecycleTrace(), "saveSettings"), 1);
}

TEST(MainWindow, InfoButtonShowsTheInformationWindowModally) {
    Window w;
    QDialog info(&w.form);
    w.form.setInfoWindow(&info);
    w.showAndWait();
    bool wasModal = false;
    QTimer::singleShot(0, [&] {
        wasModal = info.isVisible() && QApplication::activeModalWidget() == &info;
        info.reject();
    });
    clickOn(w.button("ShineSpeedButton4"));
    EXPECT_TRUE(wasModal);
    EXPECT_FALSE(info.isVisible());
}

TEST(MainWindow, TheCloseSavesOnceWhicheverWayTheWindowCloses) {
    Window w;
    w.form.show();
    w.form.close();          // the close button's route
    QCloseEvent fromDesktop; // a second close request from the desktop
    QCoreApplication::sendEvent(&w.form, &fromDesktop);
    w.form.saveSettingsAtClose(); // the program ending after the loop
    EXPECT_EQ(count(w.form.lifecycleTrace(), "saveSettings"), 1);
}

// A window that never showed never loaded the settings: however it ends (closed, or the
// system ending the program at start-up), the file keeps the user's settings.
TEST(MainWindow, AWindowNeverShownLeavesTheSettingsFileAlone) {
    const QByteArray stored = "[SET0]\r\nTRANS=1\r\n[SET1]\r\nC1_02=0\r\nC3_01=40\r\n";
    for (const bool systemEnds : {false, true}) {
        sc::test::TempProgramFolder folder;
        sc::test::ScriptedDialogs dialogs;
        folder.writeFile("SC_CONVERTER.ini", stored);
        {
            TConvertForm1 form(folder.path(), dialogs);
            if (systemEnds)
                sc::test::endProgramFromItsLoop(form);
            else
                form.close();
            form.saveSettingsAtClose();
        }
        QFile ini(folder.host("SC_CONVERTER.ini"));
        ASSERT_TRUE(ini.open(QIODevice::ReadOnly));
        EXPECT_EQ(ini.readAll(), stored) << (systemEnds ? "ended" : "closed");
        EXPECT_TRUE(dialogs.shown.isEmpty());
    }
}

TEST(MainWindow, DraggingTheWindowsOwnSurfaceMovesItButNotTheListPagesOrButtons) {
    Window w;
    w.showAndWait();
    const QPoint start = w.form.pos();
    dragWindow(w.form, QPoint(300, 10), QPoint(40, 30)); // top bar
    EXPECT_EQ(w.form.pos(), start + QPoint(40, 30));

    const QPoint second = w.form.pos();
    dragWindow(w.form, QPoint(20, 8), QPoint(-10, 5)); // status line
    EXPECT_EQ(w.form.pos(), second + QPoint(-10, 5));
    const QPoint third = w.form.pos();
    dragWindow(w.form, QPoint(200, 503), QPoint(7, 7)); // footer
    EXPECT_EQ(w.form.pos(), third + QPoint(7, 7));

    const QPoint settled = w.form.pos();
    const QPoint onList = w.placeInWindow("ListBox1").center();
    dragWindow(w.form, onList, QPoint(40, 30));
    EXPECT_EQ(w.form.pos(), settled);
    dragWindow(w.form, QPoint(300, 450), QPoint(40, 30)); // bare page area
    EXPECT_EQ(w.form.pos(), settled);
    dragWindow(w.form, w.placeInWindow("CButton10").center(), QPoint(40, 30));
    EXPECT_EQ(w.form.pos(), settled);
    dragWindow(w.form, w.placeInWindow("ShineSpeedButton2").center(), QPoint(40, 30));
    EXPECT_EQ(w.form.pos(), settled);
}

TEST(MainWindow, HintsShowAfterHalfASecondHideAfterTwoAndAHalfAndFollowThePointer) {
    Window w;
    for (const char* name : {"C3_01", "ShineSpeedButton1", "ListBox1", "SSButton10"})
        EXPECT_EQ(w.get(name)->toolTipDuration(), 2500) << name;
    w.showAndWait();
    QWindow* window = w.form.windowHandle();
    QTest::mouseMove(window, w.placeInWindow("C3_01").center());
    QElapsedTimer clock;
    clock.start();
    QTest::qWait(300);
    EXPECT_FALSE(QToolTip::isVisible());
    EXPECT_TRUE(QTest::qWaitFor([] { return QToolTip::isVisible(); }, 3000));
    EXPECT_GE(clock.elapsed(), 450);
    EXPECT_EQ(QToolTip::text(), QStringLiteral(" 画像の明るさ"));

    // Moving on to the next control while a hint shows brings its hint at once.
    QTest::mouseMove(window, w.placeInWindow("C3_02").center());
    EXPECT_TRUE(QTest::qWaitFor(
        [] { return QToolTip::text() == QStringLiteral(" 画像のコントラスト"); }, 300));
    clock.restart();
    EXPECT_TRUE(QTest::qWaitFor([] { return !QToolTip::isVisible(); }, 6000));
    EXPECT_GE(clock.elapsed(), 2000);
}

TEST(MainWindow, HintsAreWhiteOnGreyInsideAWhiteOutline) {
    Window w;
    QImage panel(40, 20, QImage::Format_RGB32);
    panel.fill(Qt::black);
    QStyleOption option;
    option.rect = panel.rect();
    QPainter painter(&panel);
    QApplication::style()->drawPrimitive(QStyle::PE_PanelTipLabel, &option, &painter, nullptr);
    painter.end();
    for (QPoint p : {QPoint(0, 0), QPoint(39, 0), QPoint(0, 19), QPoint(39, 19), QPoint(20, 0)})
        EXPECT_EQ(panel.pixelColor(p), QColor(Qt::white));
    EXPECT_EQ(panel.pixelColor(20, 10), QColor(85, 85, 85));
    EXPECT_EQ(QToolTip::palette().color(QPalette::ToolTipText), QColor(Qt::white));
    EXPECT_EQ(QToolTip::font().pixelSize(), 16);
    EXPECT_EQ(QFontInfo(QToolTip::font()).family(), QStringLiteral("IPAPGothic"));
}

TEST(MainWindow, CommandButtonsStayDrawnPressedWhileTheirHandlersRun) {
    Window w;
    for (const char* name : {"CButton10", "CButton11", "SSButton1", "SSButton2",
                             "ShineSpeedButton1", "ShineSpeedButton5", "SSButton10"})
        EXPECT_TRUE(w.button(name)->clickDownHook()) << name;
    EXPECT_EQ(w.button("CButton10")->caption(), QStringLiteral("OK"));
}

// With SC_SCREENSHOT set to a file name, saves a picture of the whole window there.
TEST(MainWindow, Screenshot) {
    const QString target = qEnvironmentVariable("SC_SCREENSHOT");
    if (target.isEmpty())
        GTEST_SKIP() << "SC_SCREENSHOT not set";
    Window w;
    w.showAndWait();
    // The sample pictures of the device folder, as "登録" lists them; one selected and tuned.
    const QString samples = qEnvironmentVariable("SC_PROGRAM_DIR") +
                            QStringLiteral("/drive_c/Program Files/Snapcycle/");
    for (const char* name : {"SC000001.bmp", "SC000002.bmp", "SC000003.jpg", "SC000004.jpg"}) {
        const QString copy =
            w.folder.host(QStringLiteral("drive_c/Program Files/Snapcycle/") + name);
        QDir().mkpath(QFileInfo(copy).absolutePath());
        ASSERT_TRUE(QFile::copy(samples + name, copy)) << name;
    }
    w.dialogs.folderAnswers = {QStringLiteral("C:\\Program Files\\Snapcycle")};
    w.form.collectFromDeviceFolder();
    auto* list = w.get<QListView>("ListBox1");
    list->selectionModel()->select(list->model()->index(2, 0), QItemSelectionModel::Select);
    w.get<TSpinEdit>("C3_01")->setValue(15);
    w.get<TSpinEdit>("C3_07")->setValue(-40);
    w.get<TSpinEdit>("C3_08")->setValue(30);
    sc::test::settlePreview(w.form);
    EXPECT_TRUE(w.dialogs.messages().isEmpty());
    EXPECT_TRUE(w.form.grab().save(target));
}
