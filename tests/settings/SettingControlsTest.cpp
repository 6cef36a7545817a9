// The settings driving real setting controls, wired as the main window wires them: each
// control's change event runs its change handler, and values set by the settings steps are
// set quietly because the step runs the handler itself.
#include "ScriptedDialogs.h"
#include "controls/TFolderPathBox.h"
#include "controls/TSpinEdit.h"
#include "platform/IniFile.h"
#include "settings/ChangeRules.h"
#include "settings/SettingsSteps.h"

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QSignalBlocker>
#include <QTest>
#include <QToolButton>
#include <gtest/gtest.h>
#include <map>

using namespace sc;
using settings::Key;

namespace {
class WidgetView : public settings::SettingsView {
public:
    QWidget page;
    std::map<Key, TSpinEdit*> spins;
    std::map<Key, QComboBox*> lists;
    std::map<Key, QLineEdit*> edits;
    TFolderPathBox* path = new TFolderPathBox(&page);
    QLabel* L0_02 = new QLabel(&page);
    QLabel* L0_04 = new QLabel(&page);
    QLineEdit* elsewhere = new QLineEdit(&page);
    test::ScriptedDialogs dialogs;
    bool english = false;
    int top = 128;
    int left = 195;
    std::vector<settings::TConvertSettings> previews; // what each preview run saw

    WidgetView() {
        int y = 0;
        for (const auto& info : settings::keyTable()) {
            if (info.kind == settings::Kind::Tuning) {
                auto* box = new TSpinEdit(&page);
                box->setRange(info.minimum, info.maximum);
                box->setDialogs(&dialogs);
                box->setGeometry(0, y += 20, 50, 19);
                QObject::connect(box, &TSpinEdit::changed,
                                 [this, k = info.key] { runChangeHandler(k); });
                spins[info.key] = box;
            } else if (info.kind == settings::Kind::Item) {
                auto* list = new QComboBox(&page);
                for (int i = 0; i <= info.maximum; ++i)
                    list->addItem(QString::number(i));
                QObject::connect(list, &QComboBox::activated,
                                 [this, k = info.key] { runChangeHandler(k); });
                lists[info.key] = list;
            } else if (info.kind == settings::Kind::Text && info.key != Key::C0_02) {
                auto* edit = new QLineEdit(&page);
                if (info.key == Key::C5_02 || info.key == Key::C5_03)
                    QObject::connect(edit, &QLineEdit::textChanged,
                                     [this, k = info.key] { runChangeHandler(k); });
                edits[info.key] = edit;
            }
        }
        path->setGeometry(60, 0, 166, 19);
        path->setDialogs(&dialogs);
        QObject::connect(path, &TFolderPathBox::changed, [this] { runChangeHandler(Key::C0_02); });
        elsewhere->setGeometry(60, 40, 80, 19);
    }

    bool englishDown() const override { return english; }
    void setEnglishDown(bool down) override { english = down; }
    int windowTop() const override { return top; }
    int windowLeft() const override { return left; }
    bool windowShowsAt(int, int) const override { return true; }
    bool isBeingTyped(Key box) const override { return box == Key::C0_02 && path->changeIsTyped(); }
    void moveWindow(int x, int y) override {
        left = x;
        top = y;
    }
    int itemIndex(Key list) const override { return lists.at(list)->currentIndex(); }
    void selectItem(Key list, int index) override {
        const QSignalBlocker quiet(lists.at(list));
        lists.at(list)->setCurrentIndex(index);
    }
    int spinValue(Key box) const override { return spins.at(box)->value(); }
    void setSpinValue(Key box, int value) override {
        const QSignalBlocker quiet(spins.at(box));
        spins.at(box)->setValue(value);
    }
    QString text(Key box) const override {
        return box == Key::C0_02 ? path->path() : edits.at(box)->text();
    }
    void setText(Key box, const QString& text) override {
        if (box == Key::C0_02) {
            const QSignalBlocker quiet(path);
            path->setPath(text);
        } else {
            const QSignalBlocker quiet(edits.at(box));
            edits.at(box)->setText(text);
        }
    }
    void runChangeHandler(Key control) override { settings::runChangeRule(control, *this); }
    void setEnabledWithLabel(Key control, bool enabled) override {
        if (control == Key::C0_02) {
            path->setEnabled(enabled);
            L0_02->setEnabled(enabled);
        } else {
            edits.at(control)->setEnabled(enabled);
            L0_04->setEnabled(enabled);
        }
    }
    void setBackground(Key control, const QColor& colour) override {
        if (auto it = spins.find(control); it != spins.end())
            it->second->setBackground(colour);
        else
            lists.at(control)->setStyleSheet(QStringLiteral("background: %1").arg(colour.name()));
    }
    void setHint(Key control, const QString& hint) override {
        if (control == Key::C0_02)
            path->setHint(hint);
    }
    void runPreview() override { previews.push_back(settings::captureControls(*this)); }

    void focus(QWidget* widget) {
        page.show();
        page.activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(&page));
        widget->setFocus();
        ASSERT_TRUE(widget->hasFocus());
    }
};
} // namespace

TEST(SettingControls, LoadLeavesTheControlsAsTheyTakeTheStoredValues) {
    WidgetView view;
    settings::resetControls(view);
    IniFile ini;
    ini.setBytes("[SET1]\nC3_07=500\nC3_01=abc\nC1_02=7\nC0_01=1\nC0_02=D:\\\n");
    settings::loadControls(ini, view);
    EXPECT_EQ(view.spins[Key::C3_07]->value(), 180);
    EXPECT_EQ(view.spins[Key::C3_07]->background(), settings::kBlue);
    EXPECT_EQ(view.spins[Key::C3_01]->value(), 0);
    EXPECT_EQ(view.lists[Key::C1_02]->currentIndex(), -1);
    EXPECT_TRUE(view.path->isEnabled());
    EXPECT_EQ(view.path->path(), "D:");
    EXPECT_EQ(view.path->hint(), "D:");
    IniFile saved;
    settings::saveControls(view, saved);
    EXPECT_EQ(saved.readString("SET1", "C1_02", ""), "-1");
}

TEST(SettingControls, HueUpArrowAt178StopsAt180) {
    WidgetView view;
    settings::resetControls(view);
    view.setSpinValue(Key::C3_07, 178);
    view.previews.clear();
    QTest::mouseClick(view.spins[Key::C3_07]->upButton(), Qt::LeftButton);
    EXPECT_EQ(view.spins[Key::C3_07]->value(), 180);
    EXPECT_EQ(view.spins[Key::C3_07]->background(), settings::kBlue);
    ASSERT_EQ(view.previews.size(), 1u);
    EXPECT_EQ(view.previews[0].C3_07, 180);
}

TEST(SettingControls, AnEmptiedBrightnessBoxShowsMinus100InRed) {
    WidgetView view;
    settings::resetControls(view);
    view.setSpinValue(Key::C3_01, 40);
    view.previews.clear();
    view.spins[Key::C3_01]->editor()->clear();
    EXPECT_EQ(view.spins[Key::C3_01]->text(), "-100");
    EXPECT_EQ(view.spins[Key::C3_01]->background(), settings::kRed);
    ASSERT_FALSE(view.previews.empty());
    EXPECT_EQ(view.previews.back().C3_01, -100);
}

TEST(SettingControls, TypedContrastBeyondTheRangePreviewsAsTypedThenAsLimited) {
    WidgetView view;
    settings::resetControls(view);
    TSpinEdit* contrast = view.spins[Key::C3_02];
    view.focus(contrast);
    view.previews.clear();
    contrast->editor()->selectAll();
    QTest::keyClicks(contrast->editor(), "150");
    ASSERT_FALSE(view.previews.empty());
    EXPECT_EQ(view.previews.back().C3_02, 150);
    EXPECT_EQ(contrast->background(), settings::kBlue);
    const std::size_t before = view.previews.size();
    view.elsewhere->setFocus();
    EXPECT_EQ(contrast->value(), 100);
    ASSERT_EQ(view.previews.size(), before + 1);
    EXPECT_EQ(view.previews.back().C3_02, 100);
}

TEST(SettingControls, BrowsingToADriveRootLeavesTheDriveWithItsHint) {
    WidgetView view;
    settings::resetControls(view);
    view.selectItem(Key::C0_01, 1); // the box is greyed out for the default output
    view.runChangeHandler(Key::C0_01);
    view.dialogs.folderAnswers.push_back(QStringLiteral("D:\\"));
    QTest::mouseClick(view.path->browseButton(), Qt::LeftButton);
    EXPECT_EQ(view.path->path(), "D:");
    EXPECT_EQ(view.path->hint(), "D:");
    // A separator typed at the end waits for the next folder name; leaving the box drops it.
    view.path->editor()->setCursorPosition(2);
    QTest::keyClicks(view.path->editor(), "\\");
    EXPECT_EQ(view.path->path(), "D:\\");
    EXPECT_EQ(view.path->hint(), "D:");
    QTest::keyClick(view.path->editor(), Qt::Key_Return);
    EXPECT_EQ(view.path->path(), "D:");
}

TEST(SettingControls, ChoosingListItemsSwitchesEnabledStates) {
    WidgetView view;
    settings::resetControls(view);
    EXPECT_FALSE(view.path->isEnabled());
    EXPECT_FALSE(view.L0_02->isEnabled());
    EXPECT_FALSE(view.edits[Key::Edit2]->isEnabled());
    view.selectItem(Key::C0_01, 1);
    view.runChangeHandler(Key::C0_01);
    view.selectItem(Key::C1_01, 2);
    view.runChangeHandler(Key::C1_01);
    EXPECT_TRUE(view.path->isEnabled());
    EXPECT_TRUE(view.L0_02->isEnabled());
    EXPECT_TRUE(view.edits[Key::Edit2]->isEnabled());
    EXPECT_TRUE(view.L0_04->isEnabled());
}
