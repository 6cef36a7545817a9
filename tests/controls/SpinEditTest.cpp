#include "ScriptedDialogs.h"
#include "controls/TSpinEdit.h"

#include <QApplication>
#include <QLineEdit>
#include <QSignalSpy>
#include <QTest>
#include <QToolButton>
#include <gtest/gtest.h>

using sc::controls::TSpinEdit;

namespace {
struct SpinFixture : ::testing::Test {
    QWidget window;
    TSpinEdit* box = new TSpinEdit(&window);
    QLineEdit* other = new QLineEdit(&window);
    sc::test::ScriptedDialogs dialogs;

    SpinFixture() {
        box->setGeometry(10, 10, 50, 19);
        other->setGeometry(10, 40, 80, 19);
        box->setDialogs(&dialogs);
        box->setRange(-100, 100);
    }

    void focusBox() {
        window.show();
        window.activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
        box->setFocus();
        // The box holds the focus (as one spin button for assistive technology); its text
        // shows the cursor and takes what is typed.
        ASSERT_EQ(QApplication::focusWidget(), box);
        ASSERT_TRUE(box->editor()->hasFocus());
    }

    // Keys go where the desktop sends them: to the focused box.
    void typeOver(const QString& text) {
        box->editor()->selectAll();
        QTest::keyClicks(box, text);
    }
};
} // namespace

TEST_F(SpinFixture, ArrowsAndKeysStepByFiveAndTenWithinTheRange) {
    box->setRange(-180, 180);
    box->setValue(178);
    QSignalSpy changes(box, &TSpinEdit::changed);
    QTest::mouseClick(box->upButton(), Qt::LeftButton);
    EXPECT_EQ(box->value(), 180);
    EXPECT_EQ(box->text(), "180");
    QTest::mouseClick(box->upButton(), Qt::LeftButton); // already at the end: no change
    EXPECT_EQ(changes.count(), 1);

    QTest::keyClick(box, Qt::Key_Down);
    EXPECT_EQ(box->value(), 175);
    QTest::keyClick(box, Qt::Key_PageDown);
    EXPECT_EQ(box->value(), 165);
    QTest::keyClick(box, Qt::Key_PageUp);
    QTest::keyClick(box, Qt::Key_Up);
    EXPECT_EQ(box->value(), 180);
    box->setValue(-177);
    QTest::mouseClick(box->downButton(), Qt::LeftButton);
    EXPECT_EQ(box->value(), -180);
    box->setValue(500);
    EXPECT_EQ(box->value(), 180);
    EXPECT_TRUE(dialogs.shown.isEmpty());
}

TEST_F(SpinFixture, OnlySignsAndDigitsCanBeTypedOthersBeep) {
    focusBox();
    typeOver("1a2 .x");
    EXPECT_EQ(box->text(), "12");
    EXPECT_EQ(dialogs.shown, QStringList({"beep", "beep", "beep", "beep"}));
    QTest::keyClick(box, Qt::Key_Home);
    QTest::keyClicks(box, "-");
    EXPECT_EQ(box->value(), -12);
    // Editing keys are not characters and pass without a beep.
    QTest::keyClick(box, Qt::Key_End);
    QTest::keyClick(box, Qt::Key_Backspace);
    EXPECT_EQ(box->value(), -1);
    EXPECT_EQ(dialogs.shown.size(), 4);
}

TEST_F(SpinFixture, AnEmptiedOrUnreadableTextBecomesTheMinimumAtOnce) {
    box->setValue(30);
    QSignalSpy changes(box, &TSpinEdit::changed);
    std::vector<QString> seen;
    QObject::connect(box, &TSpinEdit::changed, [&] { seen.push_back(box->text()); });
    box->editor()->clear();
    EXPECT_EQ(box->text(), "-100");
    EXPECT_EQ(box->value(), -100);
    // The handler only ever sees the minimum, never the empty text.
    EXPECT_EQ(seen, std::vector<QString>({"-100"}));

    box->editor()->setText("+");
    EXPECT_EQ(box->text(), "-100");
    box->editor()->setText("99999999999");
    EXPECT_EQ(box->value(), -100);
}

TEST_F(SpinFixture, ATypedValueBeyondTheRangeCountsUntilTheBoxIsLeft) {
    focusBox();
    std::vector<int> seen;
    QObject::connect(box, &TSpinEdit::changed, [&] { seen.push_back(box->value()); });
    typeOver("150");
    EXPECT_EQ(box->value(), 150);
    EXPECT_EQ(seen, std::vector<int>({1, 15, 150}));
    other->setFocus();
    EXPECT_EQ(box->value(), 100);
    EXPECT_EQ(box->text(), "100");
    EXPECT_EQ(seen.back(), 100);
    // An arrow on a typed value beyond the range also lands inside it.
    box->setFocus();
    typeOver("-150");
    QTest::mouseClick(box->upButton(), Qt::LeftButton);
    EXPECT_EQ(box->value(), -100);
}

TEST_F(SpinFixture, BackgroundIsPaintedInTheColourSet) {
    box->setBackground(QColor(255, 0, 0));
    window.show();
    const QImage shot = box->editor()->grab().toImage();
    EXPECT_EQ(QColor(shot.pixel(shot.width() - 3, shot.height() / 2)), QColor(255, 0, 0));
    EXPECT_EQ(box->background(), QColor(255, 0, 0));
}
