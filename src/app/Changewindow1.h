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

class TSourceCommands;
namespace sc {
class DesktopCloseWatch;
class TGKitImagePrint;
class UserDialogs;
namespace jobs {
class CaptionBitmap;
}
namespace app {
class WindowPreview;
class WindowSettingsView;
class WindowStatusLine;
} // namespace app
} // namespace sc
namespace Ui {
class TConvertForm1;
}

// The main window. Its handlers keep the names the rest of the program knows them by; each
// reads its controls and hands the work to the subsystem that does it.
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

    // The steps that FormShow and FormClose ran, in order (what tests look at).
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
    const TSourceList& sourceList() const { return sourceList_; }
    bool japaneseCaptions() const;

    // The caption bitmap of the vertical sheets (Image1) and the print control.
    const sc::jobs::CaptionBitmap& captionBitmap() const { return *Image1_; }
    sc::TGKitImagePrint& printControl() { return *GKitImagePrint1_; }

    // The information window that the "info." button shows modally.
    void setInfoWindow(QDialog* info) { infoWindow_ = info; }

    // The system asks the program to end (a logout, Ctrl+C): the settings are saved as on a
    // normal close and the program ends. A running job ends first, asking nothing (the dialog
    // seam answers for nobody then); the settings are saved at once all the same.
    void endProgram();

public slots:
    void FormShow();
    void FormClose();

    // Mode buttons: each shows its job's page; releasing the down one leaves the page as it is.
    void ShineSpeedButton1Click();
    void ShineSpeedButton2Click();
    void ShineSpeedButton3Click();
    // Language buttons: Japanese and English captions; the button that is down applies again.
    void ShineSpeedButton5Click();
    void ShineSpeedButton6Click();
    // Title-bar buttons: information, read-me, minimise, close.
    void ShineSpeedButton4Click();
    void SSButton12Click();
    void SSButton11Click();
    void SSButton10Click();

    // Source list: device-folder and clear buttons, selection (the preview run).
    void SSButton2Click();
    void SSButton1Click();
    void ListBox1Click();

    // The OK button: runs the job of the visible page over the whole list.
    void CButton10Click();

    // Settings: reset button and the change handlers of the setting controls.
    void CButton11Click();
    void C0_01Change();
    void C0_02Change();
    void C1_01Change();
    void C1_02Change();
    void C3_01Change();
    void C3_02Change();
    void C3_04Change();
    void C3_05Change();
    void C3_06Change();
    void C3_07Change();
    void C3_08Change();
    void C3_09Change();
    void C4_01Change();
    void C5_01Change();
    void C5_02Change();
    void C5_03Change();

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
    void resetSettings();
    void loadSettingsFile();
    void showJpegPage();
    void saveSettings();
    void wireSettingControls();
    void runJpegJob();
    void runPrintJob();
    void runAlbumJob();
    void runChangeHandler(sc::settings::Key key);

    std::unique_ptr<Ui::TConvertForm1> ui_;
    QDialog* infoWindow_ = nullptr;
    sc::ProgramFolders folders_;
    sc::UserDialogs& dialogs_;
    TSourceList sourceList_;
    TSearchFile SearchFile1;
    std::unique_ptr<TSourceCommands> sourceCommands_;
    std::unique_ptr<sc::app::WindowSettingsView> settingsView_;
    std::unique_ptr<sc::app::WindowStatusLine> statusLine_;
    std::unique_ptr<sc::jobs::CaptionBitmap> Image1_;
    sc::TGKitImagePrint* GKitImagePrint1_; // a child of the window
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
