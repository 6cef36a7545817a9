// The dialog seam's own behaviour: what it offers in the print dialog, and how it stops asking
// once the system ends the program.
#include "ScriptedDialogs.h"
#include "platform/StoppableDialogs.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QLineEdit>
#include <QMessageBox>
#include <QPrintDialog>
#include <QPrinter>
#include <QTemporaryDir>
#include <QTimer>
#include <gtest/gtest.h>

using sc::test::ScriptedDialogs;

namespace {
void touch(const QString& path) {
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
}

// Runs `check` on the modal dialog once it is up, then closes it; a dialog that stays up past
// the check is closed after a while, so a failing test never hangs.
void whenDialogOpens(const std::function<void(QWidget*)>& check) {
    QTimer::singleShot(50, [check] {
        if (QWidget* dialog = QApplication::activeModalWidget())
            check(dialog);
    });
    QTimer::singleShot(5000, [] {
        if (auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget()))
            dialog->done(QDialog::Rejected);
    });
}
} // namespace

// The real print dialog, opened through the desktop seam with no printer installed, offers a
// name in the documents folder that no file, folder or link has yet.
TEST(PdfName, ThePrintDialogOffersANewNameInTheDocumentsFolder) {
    QTemporaryDir home;
    const QByteArray oldHome = qgetenv("HOME"), oldConfig = qgetenv("XDG_CONFIG_HOME");
    qputenv("HOME", QFile::encodeName(home.path()));
    qputenv("XDG_CONFIG_HOME", QFile::encodeName(home.filePath(".config")));
    QDir(home.path()).mkdir("Documents");
    touch(home.filePath("Documents/SC_CONVERTER.pdf"));
    QDir(home.path()).mkpath("Documents/SC_CONVERTER (2).pdf");
    QFile::link("nowhere", home.filePath("Documents/SC_CONVERTER (3).pdf"));

    QString offered;
    whenDialogOpens([&](QWidget* dialog) {
        if (auto* name = dialog->findChild<QLineEdit*>("filename"))
            offered = name->text();
        qobject_cast<QDialog*>(dialog)->reject();
    });
    sc::QtUserDialogs dialogs;
    QPrinter printer;
    EXPECT_FALSE(dialogs.choosePrinter(printer));
    EXPECT_EQ(offered, home.filePath("Documents/SC_CONVERTER (4).pdf"));
    qputenv("HOME", oldHome);
    qputenv("XDG_CONFIG_HOME", oldConfig);
}

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
