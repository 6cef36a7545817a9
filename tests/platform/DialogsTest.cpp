// The dialog seam's own behaviour: how it stops asking once the system ends the program.
#include "ModalDialog.h"
#include "ScriptedDialogs.h"
#include "platform/StoppableDialogs.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QMessageBox>
#include <QPrintDialog>
#include <QPrinter>
#include <QTimer>
#include <gtest/gtest.h>

using sc::test::ScriptedDialogs;
using sc::test::whenDialogOpens;

TEST(StoppableDialogs, OnceStoppedNothingIsShownAndEveryQuestionIsNo) {
    ScriptedDialogs scripted;
    scripted.yesNoAnswers = {true, true};
    scripted.folderAnswers = {"C:/a", "C:/b"};
    scripted.pdfOutput = "/tmp/unused.pdf";
    sc::StoppableDialogs dialogs(scripted);
    EXPECT_TRUE(dialogs.askYesNo("q1"));
    EXPECT_EQ(dialogs.browseFolder("t", "C:/"), "C:/a");

    dialogs.stop();
    dialogs.beep();
    dialogs.message("m");
    dialogs.openWithShell("x");
    QPrinter printer;
    EXPECT_FALSE(dialogs.askYesNo("q2"));
    EXPECT_EQ(dialogs.browseFolder("t", "C:/"), QString());
    EXPECT_EQ(dialogs.browseFolderFrom("t", "C:/"), QString());
    EXPECT_FALSE(dialogs.choosePrinter(printer));
    EXPECT_EQ(scripted.shown, QStringList({"ask:q1", "browse:t|C:/"}));
}

// A real question box that is open when the stop comes closes, and its answer is No.
TEST(StoppableDialogs, TheStopClosesAnOpenQuestion) {
    sc::QtUserDialogs desktop;
    sc::StoppableDialogs dialogs(desktop);
    bool wasOpen = false;
    whenDialogOpens([&](QWidget* box) {
        wasOpen = qobject_cast<QMessageBox*>(box) != nullptr;
        dialogs.stop();
    });
    QElapsedTimer took;
    took.start();
    EXPECT_FALSE(dialogs.askYesNo("q"));
    EXPECT_TRUE(wasOpen);
    EXPECT_LT(took.elapsed(), 4000) << "closed by the stop, not by the test's own timeout";
    EXPECT_EQ(QApplication::activeModalWidget(), nullptr);
}
