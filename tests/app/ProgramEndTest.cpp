// A logout during a job: SIGTERM raised in this process, caught as the program catches it.
#include "app/ProgramEnd.h"
#include "WindowFixture.h"
#include "jobs/JobTexts.h"
#include "platform/IniFile.h"
#include "platform/StoppableDialogs.h"
#include "platform/TerminationSignals.h"
#include "printing/SheetLayout.h"
#include "printing/TGKitImagePrint.h"

#include <QCoreApplication>
#include <csignal>

using sc::app::TConvertForm1;

using namespace sc::test;

namespace {

// The main window wired to the termination requests as main() wires it, its dialogs scripted.
struct EndingWindow {
    IsolatedTrash trash;
    TempProgramFolder folder;
    ScriptedDialogs scripted;
    sc::StoppableDialogs dialogs{scripted};
    sc::TerminationSignals requests;
    std::unique_ptr<TConvertForm1> form;

    EndingWindow() {
        QImage sheet(sc::printing::sheet::kVerticalSheetSize.x,
                     sc::printing::sheet::kVerticalSheetSize.y, QImage::Format_RGB32);
        sheet.fill(Qt::white);
        EXPECT_TRUE(sheet.save(folder.host("bg_tate.bmp"), "BMP"));
        form = std::make_unique<TConvertForm1>(folder.path(), dialogs);
        sc::app::endOnTerminationRequest(requests, dialogs, *form);
        form->show();
        QComboBox* quality = childOf<QComboBox>(*form, "C1_02");
        quality->setCurrentIndex(3);
    }
    // Pictures a.bmp, b.bmp under shots/, in the list.
    void dropTwo() {
        QStringList paths;
        for (const char* name : {"shots/a.bmp", "shots/b.bmp"}) {
            paths << Window::picture(folder.host(QLatin1String(name)));
            sc::fileops::setLastWriteTime(paths.last(), kTaken.addSecs(paths.size() * 2));
        }
        form->dropFiles(paths);
    }
    bool has(const char* name) const { return QFileInfo::exists(folder.host(QLatin1String(name))); }
    // The window closed and the settings were saved with the choice made before the job.
    void expectClosedWithSettingsSaved() const {
        EXPECT_FALSE(form->isVisible());
        sc::IniFile saved(folder.host("SC_CONVERTER.ini"));
        ASSERT_TRUE(saved.load());
        EXPECT_EQ(saved.readString("SET1", "C1_02", ""), "3");
    }
};

// As a desktop's logout sends it: the handler runs at once, the program notices it the next
// time it looks at its events (a job does after each picture, a dialog all the time).
void logout() {
    std::raise(SIGTERM);
}

} // namespace

// The question was up when the signal came: it is taken as No whatever was clicked.
TEST(ProgramEnd, ASignalAtTheEndQuestionIsTakenAsNoAndTheProgramCloses) {
    EndingWindow w;
    w.dropTwo();
    w.scripted.yesNoAnswers = {true};
    w.scripted.whileAsking = [] {
        logout();
        QCoreApplication::processEvents();
    };
    w.form->runVisiblePageJob();
    EXPECT_EQ(sc::fileops::listMatching(w.folder.host("shots"), "*.jpg").size(), 2);
    EXPECT_TRUE(w.has("shots/a.bmp"));
    EXPECT_TRUE(w.has("shots/b.bmp"));
    EXPECT_EQ(w.form->sourceList().count(), 2);
    w.expectClosedWithSettingsSaved();
}

// The signal came while the job ran: the job ends as it would, but asks nothing and prints
// nothing, and the print job's page file goes all the same.
TEST(ProgramEnd, ASignalDuringAJobAsksNothingAndPrintsNothing) {
    for (const bool print : {false, true}) {
        EndingWindow w;
        w.dropTwo();
        w.scripted.yesNoAnswers = {true};
        w.scripted.pdfOutput = w.folder.host("printed.pdf");
        if (print)
            w.form->choosePrintJob();
        logout();
        w.form->runVisiblePageJob();
        EXPECT_EQ(w.scripted.shown, QStringList()) << "print page: " << print;
        EXPECT_TRUE(w.has("shots/a.bmp"));
        EXPECT_TRUE(w.has("shots/b.bmp"));
        // The job ran to its end: the outputs and their rename pass, or the print step.
        const QString pageFile = w.form->printControl().FileName();
        if (print)
            EXPECT_TRUE(pageFile.contains(QRegularExpression("/bg_tate\\.[0-9a-z]+\\.tif$")))
                << qPrintable(pageFile);
        else
            EXPECT_TRUE(w.has("shots/sc_20040102_0905_10.jpg"));
        EXPECT_FALSE(w.has("printed.pdf"));
        EXPECT_FALSE(QFile::exists(pageFile));
        w.expectClosedWithSettingsSaved();
    }
}
