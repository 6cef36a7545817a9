// The main window and the information window driven from the keyboard, and what assistive
// technology reads of them.
#include "HeldKey.h"
#include "QStringPrinting.h"
#include "WindowFixture.h"
#include "app/Infowindow1.h"
#include "controls/TFolderPathBox.h"
#include "controls/TShineSpeedButton.h"
#include "controls/TSpinEdit.h"

#include <QAbstractItemView>
#include <QAccessible>
#include <QApplication>
#include <QEnterEvent>
#include <QLineEdit>
#include <QListView>
#include <QPrinter>
#include <QPushButton>
#include <QTabWidget>
#include <QTest>
#include <QTimer>
#include <QToolButton>

using sc::app::TInfoForm1;
using sc::controls::TFolderPathBox;
using sc::controls::TShadowLabel;
using sc::controls::TShineSpeedButton;
using sc::controls::TSpinEdit;

using namespace sc::test;

namespace {

struct KeyWindow : Window {
    KeyWindow() {
        form->activateWindow();
        EXPECT_TRUE(QTest::qWaitForWindowActive(form.get()));
    }
    TShineSpeedButton* button(const char* name) { return get<TShineSpeedButton>(name); }
    QWidget* page() { return get<QTabWidget>("PageControl1")->currentWidget(); }
    void key(Qt::Key k, Qt::KeyboardModifiers mods = Qt::NoModifier) {
        QTest::keyClick(QApplication::focusWidget(), k, mods);
    }
    // Puts the keyboard focus on a control by Tab, as a user gets there.
    void tabTo(const QString& control) {
        get<QListView>("ListBox1")->setFocus(Qt::TabFocusReason);
        for (int i = 0; i < 40 && focused() != control; ++i)
            key(Qt::Key_Tab);
        ASSERT_EQ(focused(), control);
    }
    // The control that has the focus; the text of a path box stands for the box.
    static QString focused() {
        QWidget* w = QApplication::focusWidget();
        if (!w)
            return QStringLiteral("(none)");
        QWidget* parent = w->parentWidget();
        if (auto* path = qobject_cast<TFolderPathBox*>(parent))
            return path->objectName() + (w == path->browseButton() ? "..." : "");
        return w->objectName();
    }
    // The round that Tab (or Shift+Tab) makes from the list back to the list.
    QStringList round(Qt::KeyboardModifiers mods = Qt::NoModifier) {
        get<QListView>("ListBox1")->setFocus(Qt::TabFocusReason);
        QStringList seen{focused()};
        for (int i = 0; i < 60; ++i) {
            key(Qt::Key_Tab, mods);
            if (focused() == seen.first())
                break;
            seen << focused();
        }
        return seen;
    }
};

const QStringList kBefore = {"ListBox1",          "SSButton2",         "SSButton1",
                             "ShineSpeedButton1", "ShineSpeedButton2", "ShineSpeedButton3"};
const QStringList kAfter = {"CButton11",         "CButton10",         "ShineSpeedButton5",
                            "ShineSpeedButton6", "ShineSpeedButton4", "SSButton12",
                            "SSButton11",        "SSButton10"};

QStringList reversedRound(QStringList forward) {
    std::reverse(forward.begin() + 1, forward.end());
    return forward;
}

// Waits until the modal dialog that is opening has the focus inside it.
bool focusInside() {
    return QTest::qWaitFor(
        [] {
            QWidget* dialog = QApplication::activeModalWidget();
            QWidget* focus = QApplication::focusWidget();
            return dialog && focus && dialog->isAncestorOf(focus);
        },
        2000);
}

} // namespace

TEST(Keyboard, TabWalksEveryPageInReadingOrderAndShiftTabWalksBack) {
    KeyWindow w;
    // Both choices that enable a box are set, so every box of the JPEG page takes the focus.
    w.choose("C0_01", 1);
    w.choose("C1_01", 2);
    const QStringList jpeg =
        kBefore + QStringList{"C0_01", "C0_02", "C0_02...", "C1_01", "Edit2", "C1_02", "C3_01",
                              "C3_02", "C3_04", "C3_05",    "C3_06", "C3_07", "C3_08", "C3_09"} +
        kAfter;
    EXPECT_EQ(w.round(), jpeg);
    EXPECT_EQ(w.round(Qt::ShiftModifier), reversedRound(jpeg));

    // The disabled boxes drop out as they are.
    w.choose("C0_01", 0);
    w.choose("C1_01", 0);
    QStringList plain = jpeg;
    for (const char* off : {"C0_02", "C0_02...", "Edit2"})
        plain.removeOne(QString::fromLatin1(off));
    EXPECT_EQ(w.round(), plain);

    w.tabTo("ShineSpeedButton2");
    w.key(Qt::Key_Space);
    const QStringList album = kBefore + QStringList{"C4_01", "Edit1"} + kAfter;
    EXPECT_EQ(w.round(), album);
    EXPECT_EQ(w.round(Qt::ShiftModifier), reversedRound(album));

    w.tabTo("ShineSpeedButton3");
    w.key(Qt::Key_Space);
    const QStringList print = kBefore + QStringList{"C5_01", "C5_02", "C5_03"} + kAfter;
    EXPECT_EQ(w.round(), print);
}

TEST(Keyboard, SpaceReturnAndEnterPressEachKindOfButtonOnceAsAClickDoes) {
    KeyWindow w;
    w.dropPictures({"a.bmp"});
    QDir().mkpath(w.folder.host("drive_c/Program Files/Snapcycle"));
    // A list button: one folder question for one key.
    w.tabTo("SSButton2");
    w.key(Qt::Key_Return);
    EXPECT_EQ(w.dialogs.shown.filter("browse:").size(), 1);
    w.tabTo("SSButton1");
    w.key(Qt::Key_Space);
    EXPECT_EQ(w.form->sourceList().count(), 0);

    // Mode buttons latch as clicked, and the down one is released by a second press.
    w.tabTo("ShineSpeedButton3");
    w.key(Qt::Key_Enter);
    EXPECT_EQ(w.page(), w.get("TabSheet3"));
    EXPECT_TRUE(w.button("ShineSpeedButton3")->isDown());
    EXPECT_FALSE(w.button("ShineSpeedButton1")->isDown());
    w.key(Qt::Key_Space);
    EXPECT_FALSE(w.button("ShineSpeedButton3")->isDown());
    EXPECT_EQ(w.page(), w.get("TabSheet3"));

    // The language group: the down button stays down.
    w.tabTo("ShineSpeedButton6");
    w.key(Qt::Key_Space);
    EXPECT_EQ(w.button("SSButton2")->caption(), "Get Files");
    w.key(Qt::Key_Return);
    EXPECT_TRUE(w.button("ShineSpeedButton6")->isDown());
    EXPECT_FALSE(w.button("ShineSpeedButton5")->isDown());

    // Return on OK runs the visible page's job: the album asks for its folder once.
    w.tabTo("ShineSpeedButton2");
    w.key(Qt::Key_Space);
    w.dropPictures({"b.bmp"});
    w.dialogs.shown.clear();
    w.tabTo("CButton10");
    w.key(Qt::Key_Return);
    EXPECT_EQ(w.dialogs.shown.filter("browse:").size(), 1);

    w.tabTo("SSButton10");
    w.key(Qt::Key_Space);
    EXPECT_FALSE(w.form->isVisible());
}

TEST(Keyboard, ArrowsStayInTheirControlAndReturnActsInTheListSpinAndChoiceBoxes) {
    KeyWindow w;
    w.dropPictures({"a.bmp", "b.bmp"});
    auto* list = w.get<QListView>("ListBox1");
    w.tabTo("ListBox1");
    w.key(Qt::Key_Down);
    EXPECT_EQ(list->currentIndex().row(), 0);
    // Once Tab has left the list, Down no longer moves it.
    w.key(Qt::Key_Tab);
    w.key(Qt::Key_Down);
    EXPECT_EQ(list->currentIndex().row(), 0);

    // The keypad's Enter acts as Return in each of them.
    auto* size = w.get<TShadowLabel>("Label7");
    auto* brightness = w.get<TSpinEdit>("C3_01");
    auto* quality = w.get<QComboBox>("C1_02");
    for (const auto& [key, modifier] : {std::pair(Qt::Key_Return, Qt::NoModifier),
                                        std::pair(Qt::Key_Enter, Qt::KeypadModifier)}) {
        // Return in the list previews the selected picture again, as a click on it does.
        size->setText(QString());
        w.tabTo("ListBox1");
        w.key(key, modifier);
        sc::test::settlePreview(*w.form);
        EXPECT_EQ(size->text(), "1 KB  ") << key;

        // Return makes a typed value final: limited to the range, the focus staying in the box.
        w.tabTo("C3_01");
        brightness->editor()->selectAll();
        QTest::keyClicks(brightness->editor(), "300");
        EXPECT_EQ(brightness->text(), "300");
        w.key(key, modifier);
        EXPECT_EQ(brightness->text(), "100") << key;
        EXPECT_EQ(KeyWindow::focused(), "C3_01") << key;
        w.key(Qt::Key_Down);
        EXPECT_EQ(brightness->text(), "95") << key;

        // A closed choice list opens.
        w.tabTo("C1_02");
        w.key(key, modifier);
        EXPECT_TRUE(quality->view()->isVisible()) << key;
        QTest::keyClick(quality->view(), Qt::Key_Escape);
        EXPECT_FALSE(quality->view()->isVisible()) << key;
        // The offscreen platform leaves no window active once a popup has closed; a desktop
        // gives the window its activation back.
        w.form->activateWindow();
        EXPECT_TRUE(QTest::qWaitForWindowActive(w.form.get()));
    }

    // A choice list: Up chooses the item before (its handler runs).
    const int before = quality->currentIndex();
    w.key(Qt::Key_Up);
    EXPECT_EQ(quality->currentIndex(), before - 1);
    EXPECT_EQ(w.form->changeHandlerTrace().last(), "C1_02");
}

TEST(Keyboard, TheFocusMarkShowsForKeyboardFocusOnlyAndMouseUseLooksAsBefore) {
    KeyWindow w;
    const QImage fresh = w.form->grab().toImage();
    // The mouse presses buttons: none takes the focus, nothing looks different after.
    for (const char* name : {"ShineSpeedButton2", "ShineSpeedButton1", "CButton11", "SSButton1"}) {
        TShineSpeedButton* b = w.button(name);
        const QPointF c = b->rect().center();
        QEnterEvent enter(c, c, b->mapToGlobal(c));
        QApplication::sendEvent(b, &enter);
        QTest::mouseClick(b, Qt::LeftButton, {}, c.toPoint());
        QEvent leave(QEvent::Leave);
        QApplication::sendEvent(b, &leave);
    }
    EXPECT_EQ(KeyWindow::focused(), "ListBox1");
    EXPECT_EQ(w.form->grab().toImage(), fresh);

    // Shift+Tab from the list reaches the close button: only its inside changes, in white dots.
    w.key(Qt::Key_Backtab, Qt::ShiftModifier);
    ASSERT_EQ(KeyWindow::focused(), "SSButton10");
    const QImage marked = w.form->grab().toImage();
    const QRect close = placeIn(*w.form, *w.button("SSButton10"));
    const QRect list = placeIn(*w.form, *w.get("ListBox1"));
    QRect changed;
    for (int y = 0; y < fresh.height(); ++y)
        for (int x = 0; x < fresh.width(); ++x)
            if (marked.pixel(x, y) != fresh.pixel(x, y) && !list.contains(x, y))
                changed |= QRect(x, y, 1, 1);
    EXPECT_EQ(changed, close.adjusted(2, 2, -2, -2));
    EXPECT_EQ(marked.pixelColor(close.topLeft() + QPoint(2, 2)), QColor(Qt::white));
}

TEST(Keyboard, TheInformationWindowOpensOnCloseAndTabReachesEveryNamedLink) {
    KeyWindow w;
    TInfoForm1 info(w.folder.path(), w.dialogs, w.form.get());
    w.form->setInfoWindow(&info);
    QStringList stops;
    QStringList names;
    QTimer::singleShot(0, [&] {
        EXPECT_TRUE(focusInside());
        for (int i = 0; i < 6; ++i) {
            QWidget* f = QApplication::focusWidget();
            stops << (f ? f->objectName() : QString());
            names << (f ? QAccessible::queryAccessibleInterface(f)->text(QAccessible::Name)
                        : QString());
            QTest::keyClick(f, Qt::Key_Tab);
        } // the round ends on the mail link: Return held there opens it once
        holdKey(QApplication::focusWidget(), Qt::Key_Return, QStringLiteral("\r"));
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab, Qt::ShiftModifier);
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return); // on CLOSE
        EXPECT_FALSE(info.isVisible()) << "Return on CLOSE";
        info.reject(); // never left open, whatever failed above
    });
    w.tabTo("ShineSpeedButton4");
    w.key(Qt::Key_Space);
    EXPECT_EQ(stops, QStringList({"SpeedButton2", "SpeedButton3", "SpeedButton1", "SpeedButton4",
                                  "Image2", "SpeedButton2"}));
    EXPECT_EQ(names.mid(1, 4),
              QStringList({"メールでのお問い合わせ", "スナップサイクル研究所のサイトにアクセス",
                           "SNAPCYCLEのサイトにアクセス", "スナップサイクル研究所のご案内"}));
    EXPECT_EQ(w.dialogs.shown,
              QStringList{QStringLiteral("open:mailto:") + TInfoForm1::supportAddress()});
    EXPECT_FALSE(info.isVisible());
    // The focus is back on the button that opened the window.
    EXPECT_TRUE(QTest::qWaitFor([] { return KeyWindow::focused() == "ShineSpeedButton4"; }, 1000));
}

// The desktop's own dialogs, each answered from the keyboard.
TEST(Keyboard, DialogsOpenWithTheFocusInsideAndGiveItBackToTheirOpener) {
    QWidget owner;
    auto* opener = new QPushButton(QStringLiteral("open"), &owner);
    new QLineEdit(&owner);
    owner.show();
    owner.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&owner));
    sc::QtUserDialogs dialogs(&owner);
    const std::function<void()> asks[] = {
        [&] { dialogs.message(QStringLiteral("a")); },
        [&] { dialogs.askYesNo(QStringLiteral("b")); },
        [&] { dialogs.browseFolderFrom(QStringLiteral("c"), QString()); },
        [&] {
            QPrinter printer;
            dialogs.choosePrinter(printer);
        },
    };
    int asked = 0;
    for (const auto& ask : asks) {
        opener->setFocus(Qt::TabFocusReason);
        bool inside = false;
        QTimer::singleShot(0, [&] {
            inside = focusInside();
            QWidget* dialog = QApplication::activeModalWidget();
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Escape);
            if (dialog && dialog->isVisible())
                dialog->close(); // never left open, whatever failed above
        });
        ask();
        EXPECT_TRUE(inside) << asked;
        EXPECT_TRUE(QTest::qWaitFor([&] { return QApplication::focusWidget() == opener; }, 1000))
            << asked;
        ++asked;
    }
}
