#include "ScriptedDialogs.h"
#include "TempProgramFolder.h"
#include "app/Changewindow1.h"

#include <QCloseEvent>
#include <QCoreApplication>

namespace {

struct Window {
    sc::test::TempProgramFolder folder;
    sc::test::ScriptedDialogs dialogs;
    TConvertForm1 form{folder.path(), dialogs};
};

int count(const QStringList& trace, const char* name) { return trace.count(QString::fromLatin1(name)); }

} // namespace

TEST(MainWindow, IsABareFramelessWindowUntilShown) {
    Window w;
    EXPECT_FALSE(w.form.isReady());
    EXPECT_EQ(w.form.size(), QSize(516, 514));
    EXPECT_TRUE(w.form.windowFlags() & Qt::FramelessWindowHint);
    EXPECT_EQ(w.form.windowTitle(), "SC_CONVERTER");
    EXPECT_EQ(w.form.programFolder(), w.folder.path());
}

TEST(MainWindow, FormShowRunsItsStepsInOrderOnceAtTheFirstShow) {
    Window w;
    w.form.show();
    w.form.hide();
    w.form.show();
    EXPECT_TRUE(w.form.isReady());
    EXPECT_EQ(w.form.lifecycleTrace(),
              QStringList({"ready", "showPrintPage", "resetSettings", "openSettingsFile",
                           "applyStoredLanguage", "applyStoredPosition", "loadStoredSettings",
                           "closeSettingsFile", "showJpegPage"}));
}

TEST(MainWindow, FormCloseSavesOnceWhicheverWayTheWindowCloses) {
    Window w;
    w.form.show();
    w.form.close();                // the close button's route
    QCloseEvent fromDesktop;       // a second close request from the desktop
    QCoreApplication::sendEvent(&w.form, &fromDesktop);
    w.form.FormClose();            // the program ending after the loop
    EXPECT_EQ(count(w.form.lifecycleTrace(), "saveSettings"), 1);
}
