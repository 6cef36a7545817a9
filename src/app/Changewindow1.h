#pragma once

#include "platform/ProgramFolders.h"
#include "settings/ConvertSettings.h"
#include "sources/SearchFile.h"
#include "sources/SourceList.h"

#include <QPoint>
#include <QStringList>
#include <QWidget>
#include <memory>

class QDialog;

namespace sc::sources {
class TSourceCommands;
}
namespace sc {
class DesktopCloseWatch;
class UserDialogs;
namespace printing {
class CaptionBitmap;
class TGKitImagePrint;
} // namespace printing
namespace app {
class WindowPreview;
class WindowSettingsView;
class WindowStatusLine;
} // namespace app
} // namespace sc
namespace sc::app::Ui {
class TConvertForm1;
}

namespace sc::app {

// The main window. Each handler reads its controls and hands the work to the subsystem that
// does it.
class TConvertForm1 : public QWidget {
    Q_OBJECT
public:
    // `folders` says where the data files are and where the user's files go.
    TConvertForm1(const sc::ProgramFolders& folders, sc::UserDialogs& dialogs,
                  QWidget* parent = nullptr);
    // The folders chosen for the program file's folder `programFolder` (no trailing separator).
    TConvertForm1(const QString& programFolder, sc::UserDialogs& dialogs,
                  QWidget* parent = nullptr);
    ~TConvertForm1() override;

    const QString& programFolder() const { return folders_.own; }
    bool isReady() const { return ready_; }

    // The steps that the first show and the close ran, in order (what tests look at).
    const QStringList& lifecycleTrace() const { return trace_; }

    // The one entry point for files and folders dropped on the window, in the shell's order;
    // `unreadable` counts dropped items whose names could not be carried as text.
    void dropFiles(const QStringList& paths, int unreadable = 0);

    // The setting controls' change handlers in the order they ran (what tests look at).
    const QStringList& changeHandlerTrace() const { return changeTrace_; }

    // Whether the preview shows the values of the last change (its picture work runs off the
    // window thread).
    bool previewSettled() const;

    // The batch, as the jobs and the preview read it.
    const sources::TSourceList& sourceList() const { return sourceList_; }
    bool japaneseCaptions() const;

    // The caption bitmap of the vertical sheets and the print control.
    const sc::printing::CaptionBitmap& captionBitmap() const { return *captionBitmap_; }
    sc::printing::TGKitImagePrint& printControl() { return *printControl_; }

    // The information window that the "info." button shows modally.
    void setInfoWindow(QDialog* info) { infoWindow_ = info; }

    // The system asks the program to end (a logout, Ctrl+C): the settings are saved as on a
    // normal close and the program ends. A running job ends first, asking nothing (the dialog
    // seam answers for nobody then); the settings are saved at once all the same.
    void endProgram();

public slots:
    // The first show: the ready flag, then the reset and the settings file over it (each setting
    // followed by its change handler) while the print page shows, then the JPEG page.
    void loadSettingsAtFirstShow();
    // Runs once however the window closes: every setting written to the settings file.
    void saveSettingsAtClose();

    // Mode buttons: each shows its job's page; releasing the down one leaves the page as it is.
    void chooseJpegJob();
    void chooseAlbumJob();
    void choosePrintJob();
    // Language buttons: Japanese and English captions; the button that is down applies again.
    void showJapaneseCaptions();
    void showEnglishCaptions();
    // Title-bar buttons: information, read-me, minimise, close.
    void showInfoWindow();
    void openReadme();
    void minimiseWindow();
    void closeWindow();

    // Source list: device-folder and clear buttons, selection (the preview run).
    void collectFromDeviceFolder();
    void clearSourceList();
    void previewSelectedSource();

    // The OK button: runs the job of the visible page over the whole list.
    void runVisiblePageJob();

    // The reset button: every setting back to its default, each followed by its handler.
    void resetSettings();
    // The change handler of a setting control: what its value decides (enabled neighbours,
    // colour, preview, print preview), as a change by the user, the load and the reset run it.
    void settingChanged(sc::settings::Key setting);

protected:
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dropEvent(QDropEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    void step(const char* name);
    void scanStartupFolder();
    void showPrintPage();
    void loadSettingsFile();
    void showJpegPage();
    void saveSettings();
    void wireSettingControls();
    void runJpegJob();
    void runPrintJob();
    void runAlbumJob();
    // The print page's handlers: the preview of the layout, the header and footer lines.
    void printLayoutChanged();
    void printHeaderChanged();
    void printFooterChanged();

    std::unique_ptr<Ui::TConvertForm1> ui_;
    QDialog* infoWindow_ = nullptr;
    sc::ProgramFolders folders_;
    sc::UserDialogs& dialogs_;
    sources::TSourceList sourceList_;
    sources::TSearchFile folderSearch_;
    std::unique_ptr<sources::TSourceCommands> sourceCommands_;
    std::unique_ptr<sc::app::WindowSettingsView> settingsView_;
    std::unique_ptr<sc::app::WindowStatusLine> statusLine_;
    std::unique_ptr<sc::printing::CaptionBitmap> captionBitmap_;
    sc::printing::TGKitImagePrint* printControl_; // a child of the window
    std::unique_ptr<sc::app::WindowPreview> preview_;
    // While a job runs the window still answers the desktop; a close request then waits for
    // the job's end, and nothing dropped joins the list it is walking.
    bool jobRunning_ = false;
    bool closeAfterJob_ = false;
    bool endRequested_ = false;         // the system asked the program to end
    bool folderUnwritableSaid_ = false; // the start said the settings cannot be saved
    std::unique_ptr<sc::DesktopCloseWatch> closeWatch_;
    bool ready_ = false;
    bool shownOnce_ = false;
    bool closed_ = false;
    QStringList trace_;
    QStringList changeTrace_;
    // Dragging the window by its own surface, where the window manager cannot do it for us.
    bool dragging_ = false;
    QPoint dragOffset_;
};

} // namespace sc::app
