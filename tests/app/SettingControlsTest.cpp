// The setting controls of the main window as the settings drive them: the values a load puts
// in, the limits and colours of the tuning boxes, the folder path box and the enabled states.
// Through the real window, so that its mapping of keys onto controls is what is tested.
#include "WindowFixture.h"
#include "controls/TFolderPathBox.h"
#include "controls/TSpinEdit.h"

#include <QLabel>
#include <QLineEdit>
#include <QTest>
#include <QToolButton>

using sc::controls::TFolderPathBox;
using sc::controls::TSpinEdit;

namespace {

const QColor kBlue(0, 0, 255);
const QColor kRed(255, 0, 0);

struct Controls : sc::test::Window {
    using Window::Window;
    TSpinEdit* spin(const char* name) { return get<TSpinEdit>(name); }
    TFolderPathBox* path() { return get<TFolderPathBox>("C0_02"); }
    int handlerRuns(const char* name) {
        return static_cast<int>(form->changeHandlerTrace().count(QLatin1String(name)));
    }
    void focus(QWidget* widget) {
        form->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(form.get(), 5000));
        widget->setFocus();
        ASSERT_TRUE(widget->hasFocus());
    }
};

} // namespace

TEST(SettingControls, ALoadPutsEachStoredValueIntoItsOwnControlAsTheControlTakesIt) {
    Controls w("[SET1]\nC3_07=500\nC3_01=abc\nC3_08=-7\nC3_09=9\nC1_02=7\nC0_01=1\nC0_02=D:\\\n"
               "Edit2=tour\n[SET3]\nC5_02=head\nC5_03=foot\n");
    EXPECT_EQ(w.spin("C3_07")->value(), 180);
    EXPECT_EQ(w.spin("C3_07")->background(), kBlue);
    EXPECT_EQ(w.spin("C3_01")->value(), 0);
    EXPECT_EQ(w.spin("C3_08")->value(), -7);
    EXPECT_EQ(w.spin("C3_08")->background(), kBlue); // saturation below 0 is blue too
    EXPECT_EQ(w.spin("C3_09")->value(), 9);
    EXPECT_EQ(w.spin("C3_09")->background(), kBlue);
    EXPECT_EQ(w.get<QComboBox>("C1_02")->currentIndex(), -1);
    EXPECT_EQ(w.get<QComboBox>("C1_02")->palette().color(QPalette::Button), kBlue);
    EXPECT_EQ(w.get<QComboBox>("C4_01")->currentIndex(), 2);
    EXPECT_TRUE(w.path()->isEnabled());
    EXPECT_TRUE(w.get<QLabel>("L0_02")->isEnabled());
    EXPECT_EQ(w.path()->path(), "D:");
    EXPECT_EQ(w.path()->hint(), "D:");
    EXPECT_EQ(w.get<QLineEdit>("Edit2")->text(), "tour");
    EXPECT_EQ(w.get<QLineEdit>("C5_02")->text(), "head");
    EXPECT_EQ(w.get<QLineEdit>("C5_03")->text(), "foot");
}

TEST(SettingControls, TuningBoxesStopAtTheirEndsColouredAndRunTheirHandlerOnce) {
    Controls w;
    TSpinEdit* hue = w.spin("C3_07");
    hue->setValue(178);
    const int before = w.handlerRuns("C3_07");
    QTest::mouseClick(hue->upButton(), Qt::LeftButton);
    EXPECT_EQ(hue->value(), 180);
    EXPECT_EQ(hue->background(), kBlue);
    EXPECT_EQ(w.handlerRuns("C3_07"), before + 1);

    // An emptied box reads as its minimum, in red.
    TSpinEdit* brightness = w.spin("C3_01");
    brightness->setValue(40);
    brightness->editor()->clear();
    EXPECT_EQ(brightness->text(), "-100");
    EXPECT_EQ(brightness->background(), kRed);

    // A typed value beyond the range counts until the box is left, then it is limited.
    TSpinEdit* contrast = w.spin("C3_02");
    w.focus(contrast->editor());
    contrast->editor()->selectAll();
    QTest::keyClicks(contrast->editor(), "150");
    EXPECT_EQ(contrast->value(), 150);
    EXPECT_EQ(contrast->background(), kBlue);
    const int typed = w.handlerRuns("C3_02");
    w.get<QLineEdit>("Edit1")->setFocus();
    EXPECT_EQ(contrast->value(), 100);
    EXPECT_EQ(w.handlerRuns("C3_02"), typed + 1);
}

TEST(SettingControls, BrowsingToADriveRootLeavesTheDriveWithItsHint) {
    Controls w;
    w.choose("C0_01", 1); // the box is greyed out for the default output
    w.dialogs.folderAnswers.push_back(QStringLiteral("D:\\"));
    QTest::mouseClick(w.path()->browseButton(), Qt::LeftButton);
    EXPECT_EQ(w.path()->path(), "D:");
    EXPECT_EQ(w.path()->hint(), "D:");
    // A separator typed at the end waits for the next folder name; leaving the box drops it.
    w.focus(w.path()->editor());
    w.path()->editor()->setCursorPosition(2);
    QTest::keyClicks(w.path()->editor(), "\\");
    EXPECT_EQ(w.path()->path(), "D:\\");
    EXPECT_EQ(w.path()->hint(), "D:");
    QTest::keyClick(w.path()->editor(), Qt::Key_Return);
    EXPECT_EQ(w.path()->path(), "D:");
}

TEST(SettingControls, ChoosingListItemsSwitchesEnabledStatesWithTheirLabels) {
    Controls w;
    const auto enabled = [&] {
        return QList<bool>{w.path()->isEnabled(), w.get<QLabel>("L0_02")->isEnabled(),
                           w.get<QLineEdit>("Edit2")->isEnabled(),
                           w.get<QLabel>("L0_04")->isEnabled()};
    };
    EXPECT_EQ(enabled(), QList<bool>({false, false, false, false}));
    w.choose("C0_01", 1);
    EXPECT_EQ(enabled(), QList<bool>({true, true, false, false}));
    w.choose("C1_01", 2);
    EXPECT_EQ(enabled(), QList<bool>({true, true, true, true}));
    w.choose("C0_01", 0);
    w.choose("C1_01", 1);
    EXPECT_EQ(enabled(), QList<bool>({false, false, false, false}));
}
