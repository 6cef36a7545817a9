#include "Pixels.h"
#include "controls/SystemColors.h"
#include "controls/TShineSpeedButton.h"

#include <QAccessible>
#include <QApplication>
#include <QCursor>
#include <QEnterEvent>
#include <QLineEdit>
#include <QMouseEvent>
#include <QTest>
#include <gtest/gtest.h>

using sc::controls::TShineSpeedButton;

using sc::test::at;
using sc::test::boundsOf;
using sc::test::countOf;
using sc::test::grabImage;
using Look = TShineSpeedButton::Look;

namespace {

const QColor kSilver(192, 192, 192);
const QColor kGrey(128, 128, 128);
const QColor kLight(224, 224, 224);

// Sets a button up as the window's buttons are; mode buttons run their face top to bottom.
void skin(TShineSpeedButton& b, bool mode) {
    b.setFont(sc::test::crispDesignFont(mode ? 11 : 12));
    b.setFontColor(Qt::white);
    b.setFontShadow(Qt::black);
    b.setFontHighlight(QColor(64, 0, 128));
    b.setColors({Qt::black, kSilver, true, mode, kLight, kGrey, Qt::black});
    b.setPressedColors(
        {mode ? Qt::white : Qt::black, kGrey, true, mode, kSilver, kGrey, Qt::black});
    b.setFrameType(TShineSpeedButton::ftEnclosedFrame);
    b.setClickDownHook(true);
}

void send(QWidget& w, QEvent::Type type, QPoint pos, Qt::MouseButton button = Qt::LeftButton) {
    const Qt::MouseButtons buttons = type == QEvent::MouseButtonRelease ? Qt::NoButton : button;
    QMouseEvent e(type, pos, w.mapToGlobal(pos), type == QEvent::MouseMove ? Qt::NoButton : button,
                  buttons, Qt::NoModifier);
    QApplication::sendEvent(&w, &e);
}
void enter(QWidget& w) {
    QEnterEvent e(QPointF(5, 5), QPointF(5, 5), w.mapToGlobal(QPointF(5, 5)));
    QApplication::sendEvent(&w, &e);
}
void leave(QWidget& w) {
    QEvent e(QEvent::Leave);
    QApplication::sendEvent(&w, &e);
}
void clickOn(TShineSpeedButton& b) {
    const QPoint c = b.rect().center();
    enter(b);
    send(b, QEvent::MouseButtonPress, c);
    send(b, QEvent::MouseButtonRelease, c);
}

// Puts a button into each look through the mouse, the way a user would.
void makeLook(TShineSpeedButton& b, Look look) {
    switch (look) {
    case TShineSpeedButton::lsUp:
        break;
    case TShineSpeedButton::lsHover:
        enter(b);
        break;
    case TShineSpeedButton::lsPressed:
        enter(b);
        send(b, QEvent::MouseButtonPress, b.rect().center());
        break;
    case TShineSpeedButton::lsDown:
        b.setGroupIndex(1);
        b.setAllowAllUp(true);
        b.setDown(true);
        break;
    case TShineSpeedButton::lsDisabled:
        b.setEnabled(false);
        break;
    }
    ASSERT_EQ(b.look(), look);
}

struct Group {
    QWidget host;
    TShineSpeedButton* mode[3];
    TShineSpeedButton* lang[2];
    int clicks[5] = {};
    Group() {
        host.resize(500, 60);
        for (int i = 0; i < 3; ++i) {
            mode[i] = new TShineSpeedButton(&host);
            mode[i]->setGeometry(1 + 140 * i, 1, 140, 22);
            mode[i]->setGroupIndex(1);
            mode[i]->setAllowAllUp(true);
            QObject::connect(mode[i], &TShineSpeedButton::clicked, [this, i] { ++clicks[i]; });
        }
        for (int i = 0; i < 2; ++i) {
            lang[i] = new TShineSpeedButton(&host);
            lang[i]->setGeometry(49 * i, 30, 50, 15);
            lang[i]->setGroupIndex(2);
            QObject::connect(lang[i], &TShineSpeedButton::clicked, [this, i] { ++clicks[3 + i]; });
        }
        mode[0]->setDown(true);
        lang[0]->setDown(true);
    }
};

} // namespace

TEST(ShineSpeedButton, FaceRunsItsRampEndToEndInEachLook) {
    struct Case {
        bool mode;
        Look look;
        QColor start, end;
    };
    const Case cases[] = {
        {false, TShineSpeedButton::lsUp, Qt::black, kSilver},
        {false, TShineSpeedButton::lsHover, Qt::black, kSilver},
        {false, TShineSpeedButton::lsPressed, Qt::black, kGrey},
        {false, TShineSpeedButton::lsDown, Qt::black, kGrey},
        {false, TShineSpeedButton::lsDisabled, Qt::black, kSilver},
        {true, TShineSpeedButton::lsUp, Qt::black, kSilver},
        {true, TShineSpeedButton::lsPressed, Qt::white, kGrey},
        {true, TShineSpeedButton::lsDown, Qt::white, kGrey},
    };
    for (const Case& c : cases) {
        TShineSpeedButton b;
        skin(b, c.mode);
        b.resize(140, 22);
        b.setUpFrame(false);
        b.setDownFrame(false);
        b.setActiveFrame(false);
        makeLook(b, c.look);
        const QImage img = grabImage(b);
        const QString what = QStringLiteral("mode %1 look %2").arg(c.mode).arg(c.look);
        if (c.mode) {
            EXPECT_EQ(at(img, 3, 0), c.start) << what.toStdString();
            EXPECT_EQ(at(img, 3, 21), c.end) << what.toStdString();
            EXPECT_EQ(at(img, 136, 0), c.start) << what.toStdString();
        } else {
            EXPECT_EQ(at(img, 0, 2), c.start) << what.toStdString();
            EXPECT_EQ(at(img, 139, 2), c.end) << what.toStdString();
            EXPECT_EQ(at(img, 0, 19), c.start) << what.toStdString();
        }
        // Halfway along, the ramp is halfway between its ends.
        const QColor mid = c.mode ? at(img, 3, 11) : at(img, 70, 2);
        EXPECT_NEAR(mid.red(), (c.start.red() + c.end.red()) / 2, 8) << what.toStdString();
    }
}

TEST(ShineSpeedButton, EnclosedFrameIsRaisedUpAndSunkenDown) {
    for (Look look : {TShineSpeedButton::lsUp, TShineSpeedButton::lsHover,
                      TShineSpeedButton::lsPressed, TShineSpeedButton::lsDown}) {
        TShineSpeedButton b;
        skin(b, false);
        b.resize(84, 20);
        makeLook(b, look);
        const QImage img = grabImage(b);
        const bool sunken =
            look == TShineSpeedButton::lsPressed || look == TShineSpeedButton::lsDown;
        const QColor topLeft = sunken ? kGrey : kLight;
        const QColor bottomRight = sunken ? kSilver : kGrey;
        for (QPoint p : {QPoint(0, 0), QPoint(83, 0), QPoint(0, 19), QPoint(83, 19), QPoint(40, 0),
                         QPoint(40, 19), QPoint(0, 10), QPoint(83, 10)})
            EXPECT_EQ(at(img, p.x(), p.y()), QColor(Qt::black)) << look;
        EXPECT_EQ(at(img, 1, 1), topLeft) << look;
        EXPECT_EQ(at(img, 81, 1), topLeft) << look;
        EXPECT_EQ(at(img, 1, 17), topLeft) << look;
        EXPECT_EQ(at(img, 2, 18), bottomRight) << look;
        EXPECT_EQ(at(img, 82, 18), bottomRight) << look;
        EXPECT_EQ(at(img, 82, 2), bottomRight) << look;
    }
}

TEST(ShineSpeedButton, CaptionMovesByOnePixelWhenDownAndTurnsBoldUnderTheMouse) {
    auto grabIn = [](Look look) {
        TShineSpeedButton b;
        skin(b, false);
        b.resize(84, 20);
        b.setCaption(QStringLiteral("ﾘｾｯﾄ"));
        makeLook(b, look);
        return grabImage(b);
    };
    const QImage up = grabIn(TShineSpeedButton::lsUp);
    const QImage down = grabIn(TShineSpeedButton::lsDown);
    const QImage hover = grabIn(TShineSpeedButton::lsHover);
    const QImage pressed = grabIn(TShineSpeedButton::lsPressed);
    const QRect upText = boundsOf(up, Qt::white);
    ASSERT_FALSE(upText.isEmpty());
    EXPECT_EQ(boundsOf(down, Qt::white), upText.translated(1, 1));
    // Centred: the spare room is split evenly (to a pixel, and the shadow sits right of it).
    EXPECT_LE(std::abs(upText.left() - (83 - upText.right())), 3);

    EXPECT_GT(countOf(hover, Qt::white), countOf(up, Qt::white));
    EXPECT_EQ(boundsOf(pressed, Qt::white).top(), boundsOf(hover, Qt::white).top() + 1);
    EXPECT_EQ(countOf(pressed, Qt::white), countOf(hover, Qt::white));
    // Hover changes only the caption: the face beside it is the up face.
    EXPECT_EQ(at(hover, 3, 3), at(up, 3, 3));
    EXPECT_EQ(at(hover, 80, 16), at(up, 80, 16));
    // The caption's shadow copy lies below and right, its highlight copy above and left.
    EXPECT_GT(countOf(up, QColor(64, 0, 128)), 0);
}

TEST(ShineSpeedButton, DisabledCaptionIsEtchedInTheDesktopsButtonColours) {
    TShineSpeedButton b;
    skin(b, false);
    b.setFontColor(Qt::yellow);
    b.resize(84, 20);
    b.setCaption(QStringLiteral("OK"));
    makeLook(b, TShineSpeedButton::lsDisabled);
    const QImage img = grabImage(b);
    EXPECT_EQ(countOf(img, Qt::yellow), 0);
    const QRect shadowText = boundsOf(img, sc::controls::syscolor::buttonShadow());
    const QRect etch = boundsOf(img, sc::controls::syscolor::buttonHighlight());
    ASSERT_FALSE(shadowText.isEmpty());
    EXPECT_EQ(etch.bottomRight(), shadowText.bottomRight() + QPoint(1, 1));
}

TEST(ShineSpeedButton, SettingAPropertyToItsValueDoesNotRepaint) {
    QWidget host;
    auto* b = new TShineSpeedButton(&host);
    skin(*b, false);
    b->setCaption(QStringLiteral("OK"));
    host.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&host));
    QApplication::processEvents();
    sc::test::PaintCounter paints(b);
    const QFont font = b->font();
    skin(*b, false); // the same values again
    EXPECT_EQ(b->font(), font);
    b->setCaption(QStringLiteral("OK"));
    b->setDown(false);
    QApplication::processEvents();
    EXPECT_EQ(paints.count, 0);
    b->setCaption(QStringLiteral("Default"));
    QApplication::processEvents();
    EXPECT_GE(paints.count, 1);
}

TEST(ShineSpeedButton, PressingAModeButtonReleasesTheOthersOfItsGroupOnly) {
    Group g;
    clickOn(*g.mode[1]);
    EXPECT_EQ(g.clicks[1], 1);
    EXPECT_FALSE(g.mode[0]->isDown());
    EXPECT_TRUE(g.mode[1]->isDown());
    EXPECT_FALSE(g.mode[2]->isDown());
    EXPECT_EQ(g.mode[0]->look(), TShineSpeedButton::lsUp);
    EXPECT_TRUE(g.lang[0]->isDown());
    EXPECT_FALSE(g.lang[1]->isDown());

    // The down mode button can be released again: no button of the group is down then.
    clickOn(*g.mode[1]);
    EXPECT_EQ(g.clicks[1], 2);
    for (auto* b : g.mode)
        EXPECT_FALSE(b->isDown());
    EXPECT_TRUE(g.lang[0]->isDown());
}

TEST(ShineSpeedButton, TheLanguageGroupIsNeverLeftWithNoButtonDown) {
    Group g;
    clickOn(*g.lang[0]);
    EXPECT_EQ(g.clicks[3], 1); // its click still runs
    EXPECT_TRUE(g.lang[0]->isDown());
    g.lang[0]->setDown(false);
    EXPECT_TRUE(g.lang[0]->isDown());

    clickOn(*g.lang[1]);
    EXPECT_TRUE(g.lang[1]->isDown());
    EXPECT_FALSE(g.lang[0]->isDown());
    EXPECT_TRUE(g.mode[0]->isDown());
}

TEST(ShineSpeedButton, AGroupsButtonsTakeOverAllowAllUpFromTheOneThatChanged) {
    Group g;
    g.mode[1]->setAllowAllUp(false);
    g.mode[1]->setDown(true);
    EXPECT_FALSE(g.mode[0]->allowAllUp());
    EXPECT_FALSE(g.mode[2]->allowAllUp());
    EXPECT_TRUE(g.lang[0]->allowAllUp() == false && g.lang[1]->allowAllUp() == false);
}

TEST(ShineSpeedButton, DownOnAButtonWithoutGroupDoesNothing) {
    TShineSpeedButton b;
    b.setAllowAllUp(true);
    b.setDown(true);
    EXPECT_FALSE(b.isDown());
    EXPECT_EQ(b.look(), TShineSpeedButton::lsUp);
}

TEST(ShineSpeedButton, DraggingOffBeforeReleaseRunsNoClick) {
    TShineSpeedButton b;
    b.resize(84, 20);
    int clicks = 0;
    QObject::connect(&b, &TShineSpeedButton::clicked, [&] { ++clicks; });
    enter(b);
    send(b, QEvent::MouseButtonPress, QPoint(40, 10));
    EXPECT_EQ(b.look(), TShineSpeedButton::lsPressed);
    send(b, QEvent::MouseMove, QPoint(120, 40));
    EXPECT_EQ(b.look(), TShineSpeedButton::lsUp);
    send(b, QEvent::MouseMove, QPoint(30, 10));
    EXPECT_EQ(b.look(), TShineSpeedButton::lsPressed);
    send(b, QEvent::MouseMove, QPoint(-5, 40));
    send(b, QEvent::MouseButtonRelease, QPoint(-5, 40));
    EXPECT_EQ(clicks, 0);
    EXPECT_FALSE(b.isHeld());
    EXPECT_FALSE(b.isMouseInside());
    EXPECT_EQ(b.look(), TShineSpeedButton::lsUp);
}

TEST(ShineSpeedButton, AClickLeavesAPlainButtonUpWithTheMouseStillOverIt) {
    TShineSpeedButton b;
    b.resize(84, 20);
    int clicks = 0;
    QObject::connect(&b, &TShineSpeedButton::clicked, [&] { ++clicks; });
    clickOn(b);
    EXPECT_EQ(clicks, 1);
    EXPECT_FALSE(b.isDown());
    EXPECT_EQ(b.look(), TShineSpeedButton::lsHover);
    leave(b);
    EXPECT_EQ(b.look(), TShineSpeedButton::lsUp);
}

TEST(ShineSpeedButton, HoverOverADownModeButtonKeepsThePressedFace) {
    Group g;
    enter(*g.mode[0]);
    EXPECT_EQ(g.mode[0]->look(), TShineSpeedButton::lsPressed);
    leave(*g.mode[0]);
    EXPECT_EQ(g.mode[0]->look(), TShineSpeedButton::lsDown);
    enter(*g.mode[1]);
    EXPECT_EQ(g.mode[1]->look(), TShineSpeedButton::lsHover);
}

TEST(ShineSpeedButton, IsDrawnPressedWhileItsClickHandlerRuns) {
    TShineSpeedButton ok;
    skin(ok, false);
    ok.resize(84, 20);
    ok.setCaption(QStringLiteral("OK"));
    QImage during;
    Look lookDuring = TShineSpeedButton::lsUp;
    QObject::connect(&ok, &TShineSpeedButton::clicked, [&] {
        lookDuring = ok.look();
        during = grabImage(ok);
    });
    clickOn(ok);
    EXPECT_EQ(lookDuring, TShineSpeedButton::lsPressed);
    ASSERT_FALSE(during.isNull());
    EXPECT_EQ(at(during, 1, 5), kGrey);                        // sunken frame
    EXPECT_EQ(at(during, 81, 5).red(), kGrey.red() * 81 / 83); // pressed face, black to grey
    EXPECT_EQ(ok.look(), TShineSpeedButton::lsHover);

    // Without the hook the handler sees the button as the mouse left it.
    ok.setClickDownHook(false);
    leave(ok);
    clickOn(ok);
    EXPECT_EQ(lookDuring, TShineSpeedButton::lsUp);
}

TEST(ShineSpeedButton, DisablingReleasesTheButton) {
    Group g;
    g.mode[0]->setEnabled(false);
    EXPECT_FALSE(g.mode[0]->isDown());
    EXPECT_EQ(g.mode[0]->look(), TShineSpeedButton::lsDisabled);
    clickOn(*g.mode[0]);
    EXPECT_EQ(g.clicks[0], 0);
    g.mode[0]->setEnabled(true);
    EXPECT_EQ(g.mode[0]->look(), TShineSpeedButton::lsUp);
}

TEST(ShineSpeedButton, HoverCheckKeepsTheHoverWhileTheCursorStaysOverTheButton) {
    QWidget host;
    host.setGeometry(500, 500, 100, 40);
    auto* b = new TShineSpeedButton(&host);
    b->setGeometry(0, 0, 84, 20);
    QCursor::setPos(510, 510);
    host.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&host));
    enter(*b);
    ASSERT_EQ(b->look(), TShineSpeedButton::lsHover);
    QTest::qWait(450);
    EXPECT_EQ(b->look(), TShineSpeedButton::lsHover);
    EXPECT_TRUE(b->isMouseInside());
}

TEST(ShineSpeedButton, HoverCheckNoticesALeaveThatCameWithoutAMessage) {
    QCursor::setPos(5, 5); // outside every window: the window system reports nothing
    QWidget host;
    host.setGeometry(500, 500, 100, 40);
    auto* b = new TShineSpeedButton(&host);
    b->setGeometry(0, 0, 84, 20);
    host.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&host));
    enter(*b);
    ASSERT_EQ(b->look(), TShineSpeedButton::lsHover);
    EXPECT_TRUE(QTest::qWaitFor([&] { return b->look() == TShineSpeedButton::lsUp; }, 2000));
    EXPECT_FALSE(b->isMouseInside());
}

namespace {

// A window holding a text box and a skinned button after it in the Tab order, made active so
// that the keyboard reaches it.
struct FocusHost {
    QWidget window;
    QLineEdit* edit = new QLineEdit(&window);
    TShineSpeedButton* button = new TShineSpeedButton(&window);
    int clicks = 0;
    Look lookDuring = TShineSpeedButton::lsUp;
    FocusHost() {
        window.resize(200, 60);
        edit->setGeometry(0, 0, 80, 20);
        skin(*button, false);
        button->setCaption(QStringLiteral("OK"));
        button->setGeometry(100, 20, 84, 20);
        QObject::connect(button, &TShineSpeedButton::clicked, [this] {
            ++clicks;
            lookDuring = button->look();
        });
        window.show();
        window.activateWindow();
        EXPECT_TRUE(QTest::qWaitForWindowActive(&window));
        edit->setFocus();
    }
};

} // namespace

TEST(ShineSpeedButton, SpaceReturnAndEnterPressTheFocusedButtonOnceDrawnPressed) {
    FocusHost h;
    QTest::keyClick(h.edit, Qt::Key_Tab);
    ASSERT_TRUE(h.button->hasFocus());
    for (Qt::Key key : {Qt::Key_Space, Qt::Key_Return, Qt::Key_Enter}) {
        h.clicks = 0;
        QTest::keyClick(h.button, key);
        EXPECT_EQ(h.clicks, 1) << key;
        EXPECT_EQ(h.lookDuring, TShineSpeedButton::lsPressed) << key;
        EXPECT_EQ(h.button->look(), TShineSpeedButton::lsUp) << key;
    }
    // A held key presses once; with Ctrl, Alt, Shift or the Windows key it is no press.
    h.clicks = 0;
    QKeyEvent repeat(QEvent::KeyPress, Qt::Key_Space, Qt::NoModifier, QStringLiteral(" "), true);
    QApplication::sendEvent(h.button, &repeat);
    for (Qt::Key key : {Qt::Key_Space, Qt::Key_Return})
        for (auto modifier :
             {Qt::ControlModifier, Qt::AltModifier, Qt::ShiftModifier, Qt::MetaModifier})
            QTest::keyClick(h.button, key, modifier);
    EXPECT_EQ(h.clicks, 0);
}

TEST(ShineSpeedButton, KeysLatchGroupButtonsAsClicksDo) {
    Group g;
    g.mode[1]->press();
    EXPECT_TRUE(g.mode[1]->isDown());
    EXPECT_FALSE(g.mode[0]->isDown());
    EXPECT_EQ(g.mode[1]->look(), TShineSpeedButton::lsDown);
    QTest::keyClick(g.mode[1], Qt::Key_Space);
    EXPECT_FALSE(g.mode[1]->isDown()); // released again, its click still runs
    EXPECT_EQ(g.clicks[1], 2);
    QTest::keyClick(g.lang[0], Qt::Key_Return);
    EXPECT_TRUE(g.lang[0]->isDown()); // the language group keeps one down
    EXPECT_EQ(g.clicks[3], 1);
}

TEST(ShineSpeedButton, TheFocusMarkIsDrawnForKeyboardFocusOnly) {
    FocusHost h;
    const QImage unfocused = grabImage(*h.button);
    // A mouse click neither takes the focus nor changes the look once the mouse has gone.
    clickOn(*h.button);
    leave(*h.button);
    EXPECT_TRUE(h.edit->hasFocus());
    EXPECT_EQ(grabImage(*h.button), unfocused);
    // Focus that moves after a mouse press (a clicked control hid the focused one) is no
    // keyboard focus either.
    h.button->setFocus(Qt::TabFocusReason);
    EXPECT_EQ(grabImage(*h.button), unfocused);

    h.edit->setFocus();
    QTest::keyClick(h.edit, Qt::Key_Tab);
    ASSERT_TRUE(h.button->showsFocusMark());
    const QImage marked = grabImage(*h.button);
    // Dotted: every other pixel of the rectangle inside the frame, in the caption colour.
    const QRect inside(2, 2, 80, 16);
    for (QPoint p : {inside.topLeft(), inside.topLeft() + QPoint(2, 0), inside.bottomRight(),
                     QPoint(inside.left(), inside.top() + 4)})
        EXPECT_EQ(at(marked, p.x(), p.y()), QColor(Qt::white)) << p.x() << "," << p.y();
    EXPECT_EQ(at(marked, 3, 2), at(unfocused, 3, 2));
    EXPECT_EQ(at(marked, 1, 1), at(unfocused, 1, 1)); // the frame stays as it was
    // Back to the text: the button looks as it did.
    QTest::keyClick(h.button, Qt::Key_Backtab, Qt::ShiftModifier);
    EXPECT_TRUE(h.edit->hasFocus());
    EXPECT_EQ(grabImage(*h.button), unfocused);
}

TEST(ShineSpeedButton, ReadsAsAPushButtonNamedByItsCaptionAndToggledWhileDown) {
    Group g;
    g.mode[0]->setCaption(QStringLiteral("JPEG"));
    QAccessibleInterface* mode = QAccessible::queryAccessibleInterface(g.mode[0]);
    ASSERT_NE(mode, nullptr);
    EXPECT_EQ(mode->role(), QAccessible::Button);
    EXPECT_EQ(mode->text(QAccessible::Name), QStringLiteral("JPEG"));
    g.mode[0]->setCaption(QStringLiteral("Print"));
    EXPECT_EQ(mode->text(QAccessible::Name), QStringLiteral("Print"));
    g.mode[0]->setAccessibleName(QStringLiteral("print mode"));
    EXPECT_EQ(mode->text(QAccessible::Name), QStringLiteral("print mode"));
    EXPECT_TRUE(mode->state().checkable);
    EXPECT_TRUE(mode->state().checked);

    // Pressed by assistive technology as by a click: the next mode button latches.
    QAccessibleInterface* next = QAccessible::queryAccessibleInterface(g.mode[1]);
    next->actionInterface()->doAction(QAccessibleActionInterface::pressAction());
    EXPECT_EQ(g.clicks[1], 1);
    EXPECT_TRUE(next->state().checked);
    EXPECT_FALSE(mode->state().checked);

    TShineSpeedButton plain;
    EXPECT_FALSE(QAccessible::queryAccessibleInterface(&plain)->state().checkable);
}
