#include "Changewindow1.h"
#include "Infowindow1.h"
#include "LookAndFeel.h"
#include "ProgramEnd.h"
#include "imaging/Buffers.h"
#include "platform/ProgramFolders.h"
#include "platform/StoppableDialogs.h"
#include "platform/TerminationSignals.h"
#include "platform/UserDialogs.h"
#include "platform/WinPath.h"

#include <QApplication>
#include <QMessageBox>
#include <exception>
#include <memory>

int main(int argc, char** argv) {
    sc::imaging::keepHeapForPictures();
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("SC_CONVERTER"));
    // Lets the desktop match the window to the installed menu entry and its icon.
    QGuiApplication::setDesktopFileName(QStringLiteral("sc-converter"));
    sc::TerminationSignals terminationSignals;
    sc::app::installLookAndFeel();
    sc::QtUserDialogs desktopDialogs;
    sc::StoppableDialogs dialogs(desktopDialogs);
    std::unique_ptr<sc::app::TConvertForm1> mainWindow;
    std::unique_ptr<sc::app::TInfoForm1> infoWindow;
    try {
        // Installed for everyone, each user gets a program folder of their own.
        const sc::ProgramFolders folders =
            sc::chooseProgramFolders(QCoreApplication::applicationDirPath());
        sc::winpath::setProgramFolder(folders.own);
        mainWindow = std::make_unique<sc::app::TConvertForm1>(folders, dialogs);
        desktopDialogs.setOwner(mainWindow.get());
        infoWindow = std::make_unique<sc::app::TInfoForm1>(folders.data, dialogs, mainWindow.get());
        mainWindow->setInfoWindow(infoWindow.get());
        sc::app::endOnTerminationRequest(terminationSignals, dialogs, *mainWindow);
        mainWindow->show();
    } catch (const std::exception& e) {
        QMessageBox::critical(nullptr, QStringLiteral("SC_CONVERTER"),
                              QString::fromLocal8Bit(e.what()));
        return 1;
    }
    const int code = QApplication::exec();
    mainWindow->saveSettingsAtClose();
    return code;
}
