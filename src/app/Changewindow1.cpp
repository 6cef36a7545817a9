#include "Changewindow1.h"

#include "CaptionLanguage.h"
#include "LookAndFeel.h"
#include "ProgramFolderCheck.h"
#include "WindowAccessibility.h"
#include "WindowFace.h"
#include "WindowKeyboard.h"
#include "WindowPreview.h"
#include "WindowSettingsView.h"
#include "WindowStatusLine.h"
#include "jobs/AlbumJob.h"
#include "jobs/JobRunner.h"
#include "jobs/JpegJob.h"
#include "jobs/PrintJob.h"
#include "platform/DesktopCloseWatch.h"
#include "platform/DialogFocus.h"
#include "platform/FileKinds.h"
#include "platform/UserDialogs.h"
#include "printing/CaptionBitmap.h"
#include "printing/TGKitImagePrint.h"
#include "resources/Captions.h"
#include "settings/ChangeRules.h"
#include "settings/SettingsSteps.h"
#include "sources/SourceCommands.h"
#include "ui_Changewindow1.h"

#include <QCloseEvent>
#include <QComboBox>
#include <QCoreApplication>
#include <QDialog>
#include <QDir>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QLineEdit>
#include <QListView>
#include <QMimeData>
#include <QMouseEvent>
#include <QTabBar>
#include <QTimer>
#include <QUrl>
#include <QWindow>

namespace sc::app {

using controls::TFolderPathBox;
using controls::TShineSpeedButton;
using controls::TSpinEdit;

TConvertForm1::TConvertForm1(const QString& programFolder, sc::UserDialogs& dialogs,
                             QWidget* parent)
    : TConvertForm1(sc::chooseProgramFolders(programFolder), dialogs, parent) {}

TConvertForm1::TConvertForm1(const sc::ProgramFolders& folders, sc::UserDialogs& dialogs,
                             QWidget* parent)
    : QWidget(parent), ui_(std::make_unique<Ui::TConvertForm1>()), folders_(folders),
      dialogs_(dialogs) {
    sc::app::installWindowAccessibility();
    ui_->setupUi(this);
    sourceList_.attachView(*ui_->ListBox1);
    sourceCommands_ = std::make_unique<sources::TSourceCommands>(
        sourceList_, folderSearch_, dialogs_,
        [this](const QString& text) { ui_->ShadowLabel21->setText(text); });
    settingsView_ = std::make_unique<sc::app::WindowSettingsView>(
        *ui_, *this, [this](sc::settings::Key key) { settingChanged(key); },
        [this] { preview_->run(); });
    preview_ = std::make_unique<sc::app::WindowPreview>(*ui_, *this, sourceList_, *settingsView_,
                                                        dialogs_, [this] { return jobRunning_; });
    statusLine_ = std::make_unique<sc::app::WindowStatusLine>(*this, *ui_->ShadowLabel21, [this] {
        return sc::captions::idlePrompt(japaneseCaptions());
    });
    captionBitmap_ = std::make_unique<sc::printing::CaptionBitmap>();
    printControl_ = new sc::printing::TGKitImagePrint(dialogs_, this);
    printControl_->setObjectName(QStringLiteral("GKitImagePrint1"));
    printControl_->setHeaderFont(QFont(QStringLiteral("ＭＳ Ｐゴシック"), 9, QFont::Normal));
    setWindowTitle(QStringLiteral("SC_CONVERTER"));
    setWindowFlags(Qt::Window | Qt::FramelessWindowHint);
    setFixedSize(516, 514);
    move(195, 128);
    setAcceptDrops(true);

    // The page control's tab row lies outside the visible area: pages change only through the
    // mode buttons and start-up.
    ui_->PageControl1->tabBar()->hide();
    sc::app::settleWindowFace(*this);
    // Presses on panels, the list, the pages and the edits stay there; only the window's own
    // surface (the bars, their labels, the bare background) drags the window.
    // Files dropped anywhere go to the window's drop handler: no edit takes them as text.
    for (QWidget* child : findChildren<QWidget*>()) {
        child->setAttribute(Qt::WA_NoMousePropagation);
        child->setAcceptDrops(false);
    }
    sc::app::setHintDurations(this);
    sc::app::settleKeyboard(*this, [this] { previewSelectedSource(); });
    sc::app::nameControls(*this, true);
    sc::app::settleChoiceLists(*this);

    connect(ui_->ShineSpeedButton1, &TShineSpeedButton::clicked, this,
            &TConvertForm1::chooseJpegJob);
    connect(ui_->ShineSpeedButton2, &TShineSpeedButton::clicked, this,
            &TConvertForm1::chooseAlbumJob);
    connect(ui_->ShineSpeedButton3, &TShineSpeedButton::clicked, this,
            &TConvertForm1::choosePrintJob);
    connect(ui_->ShineSpeedButton5, &TShineSpeedButton::clicked, this,
            &TConvertForm1::showJapaneseCaptions);
    connect(ui_->ShineSpeedButton6, &TShineSpeedButton::clicked, this,
            &TConvertForm1::showEnglishCaptions);
    connect(ui_->ShineSpeedButton4, &TShineSpeedButton::clicked, this,
            &TConvertForm1::showInfoWindow);
    connect(ui_->SSButton12, &TShineSpeedButton::clicked, this, &TConvertForm1::openReadme);
    connect(ui_->SSButton11, &TShineSpeedButton::clicked, this, &TConvertForm1::minimiseWindow);
    connect(ui_->SSButton10, &TShineSpeedButton::clicked, this, &TConvertForm1::closeWindow);
    connect(ui_->SSButton2, &TShineSpeedButton::clicked, this,
            &TConvertForm1::collectFromDeviceFolder);
    connect(ui_->SSButton1, &TShineSpeedButton::clicked, this, &TConvertForm1::clearSourceList);
    connect(ui_->CButton11, &TShineSpeedButton::clicked, this, &TConvertForm1::resetSettings);
    connect(ui_->CButton10, &TShineSpeedButton::clicked, this, &TConvertForm1::runVisiblePageJob);
    // The selection itself, by mouse or keys: a click that selects the current row again counts.
    connect(ui_->ListBox1->selectionModel(), &QItemSelectionModel::selectionChanged, this,
            [this] { preview_->run(); });
    wireSettingControls();
    // The design's film choice; the window is not ready yet, so the preview stays as it is.
    settingsView_->list(sc::settings::Key::PrintLayout)->setCurrentIndex(1);
    printLayoutChanged();
    // A close request that Qt would drop while a job's question is up is kept for the job's end.
    closeWatch_ = std::make_unique<sc::DesktopCloseWatch>(
        [this] { return quintptr(internalWinId()); },
        [this] { closeAfterJob_ = closeAfterJob_ || jobRunning_; });

    scanStartupFolder();
}

TConvertForm1::~TConvertForm1() = default;

bool TConvertForm1::previewSettled() const {
    return preview_->settled();
}

void TConvertForm1::step(const char* name) {
    trace_ << QString::fromLatin1(name);
}

void TConvertForm1::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    if (!shownOnce_) {
        shownOnce_ = true;
        loadSettingsAtFirstShow();
        // Once the window is on screen, so that the message has it behind.
        QTimer::singleShot(0, this, [this] {
            folderUnwritableSaid_ = !sc::app::checkProgramFolderWritable(folders_.own, dialogs_);
        });
    }
}

void TConvertForm1::loadSettingsAtFirstShow() {
    ready_ = true;
    step("ready");
    showPrintPage();
    // Every handler of the reset and the load asks for a preview; the last one shows it all.
    preview_->beginBatch();
    step("resetSettings");
    resetSettings();
    loadSettingsFile();
    preview_->endBatch();
    showJpegPage();
}

void TConvertForm1::closeEvent(QCloseEvent* event) {
    if (jobRunning_) {
        closeAfterJob_ = true;
        event->ignore();
        return;
    }
    saveSettingsAtClose();
    event->accept();
}

// Runs once however the window closes: the close button, the desktop, or the program ending.
// A window that was never shown has not loaded the settings: saving would overwrite them with
// the defaults.
void TConvertForm1::saveSettingsAtClose() {
    if (closed_ || !ready_)
        return;
    closed_ = true;
    saveSettings();
}

void TConvertForm1::endProgram() {
    endRequested_ = true;
    if (jobRunning_) {
        saveSettingsAtClose();
        closeAfterJob_ = true;
        return;
    }
    close();
    QCoreApplication::exit(0);
}

void TConvertForm1::scanStartupFolder() {
    sourceCommands_->scanStartupFolder();
}

void TConvertForm1::showPrintPage() {
    step("showPrintPage");
    ui_->PageControl1->setCurrentWidget(ui_->TabSheet3);
}

// The caption language and the window position first, then every setting in file order, each
// followed by its change handler. A missing file leaves the defaults of the reset; one that
// cannot be read is said so, and the program goes on with the defaults.
void TConvertForm1::loadSettingsFile() {
    step("loadSettingsFile");
    sc::settings::loadControlsFromFile(sc::settings::settingsFilePath(folders_.own), *settingsView_,
                                       dialogs_);
}

void TConvertForm1::showJpegPage() {
    step("showJpegPage");
    ui_->PageControl1->setCurrentWidget(ui_->TabSheet1);
}

// A save that fails leaves the earlier file whole and is said so, unless the system is ending
// the program, when nobody could answer a message; the window closes all the same. A program
// folder that the start found unwritable is not tried: the start said the settings are not kept.
void TConvertForm1::saveSettings() {
    step("saveSettings");
    if (folderUnwritableSaid_)
        return;
    const QString path = sc::settings::settingsFilePath(folders_.own);
    if (sc::settings::saveControlsToFile(*settingsView_, path))
        return;
    const QString message = sc::settings::saveFailedMessage(QDir::toNativeSeparators(path));
    if (endRequested_)
        qWarning("%s", qUtf8Printable(message));
    else
        dialogs_.message(message);
}

bool TConvertForm1::japaneseCaptions() const {
    return ui_->ShineSpeedButton5->isDown();
}

void TConvertForm1::collectFromDeviceFolder() {
    sourceCommands_->collectFromDeviceFolder();
}

void TConvertForm1::clearSourceList() {
    sourceCommands_->clearSourceList(sc::captions::idlePrompt(japaneseCaptions()));
}

// The preview run of the selected source.
void TConvertForm1::previewSelectedSource() {
    preview_->run();
}

// The page decides the job, tested in the order print, album, JPEG; the mode buttons' state
// plays no part.
void TConvertForm1::runVisiblePageJob() {
    jobRunning_ = true;
    preview_->drop();
    sc::jobs::runGuarded(dialogs_, [this] {
        QWidget* page = ui_->PageControl1->currentWidget();
        if (page == ui_->TabSheet3)
            return runPrintJob();
        if (page == ui_->TabSheet2)
            runAlbumJob();
        else if (page == ui_->TabSheet1)
            runJpegJob();
    });
    jobRunning_ = false;
    if (closeAfterJob_)
        close();
}

void TConvertForm1::runJpegJob() {
    sc::jobs::JpegJob job(ui_->ImageEdit2->model(), sourceList_, *statusLine_, dialogs_,
                          [this] { clearSourceList(); });
    job.run(sc::jobs::jpegJobSettings(sc::settings::captureControls(*settingsView_)));
}

void TConvertForm1::runPrintJob() {
    sc::jobs::PrintJob job(
        {ui_->ImageEdit0->model(), ui_->ImageEdit4->model(), *captionBitmap_, *printControl_},
        sourceList_, *statusLine_, folders_.data, folders_.scratch);
    job.run([this] { return settingsView_->itemIndex(sc::settings::Key::PrintLayout); });
}

void TConvertForm1::runAlbumJob() {
    sc::jobs::AlbumJob job(ui_->ImageEdit0->model(), sourceList_, *statusLine_, dialogs_);
    job.run(sc::jobs::albumJobSettings(sc::settings::captureControls(*settingsView_)));
}

// Every handler of the reset asks for a preview; one run at the end shows them all.
void TConvertForm1::resetSettings() {
    preview_->beginBatch();
    sc::settings::resetControls(*settingsView_);
    preview_->endBatch();
}

void TConvertForm1::wireSettingControls() {
    using sc::settings::Key;
    for (const auto& info : sc::settings::keyTable()) {
        const Key key = info.key;
        if (TSpinEdit* box = settingsView_->spin(key)) {
            box->setRange(info.minimum, info.maximum);
            box->setDialogs(&dialogs_);
            connect(box, &TSpinEdit::changed, this, [this, key] { settingChanged(key); });
        } else if (QComboBox* list = settingsView_->list(key)) {
            // A choice by the user raises the change; a selection from code does not.
            connect(list, &QComboBox::activated, this, [this, key] { settingChanged(key); });
        }
    }
    TFolderPathBox* folder = settingsView_->folderBox();
    folder->setDialogs(&dialogs_);
    connect(folder, &TFolderPathBox::changed, this,
            [this] { settingChanged(Key::DestinationFolder); });
    connect(settingsView_->edit(Key::PrintHeader), &QLineEdit::textChanged, this,
            &TConvertForm1::printHeaderChanged);
    connect(settingsView_->edit(Key::PrintFooter), &QLineEdit::textChanged, this,
            &TConvertForm1::printFooterChanged);
}

void TConvertForm1::settingChanged(sc::settings::Key setting) {
    using sc::settings::Key;
    changeTrace_ << sc::settings::nameOf(setting);
    switch (setting) {
    case Key::PrintLayout:
        return printLayoutChanged();
    case Key::PrintHeader:
        return printHeaderChanged();
    case Key::PrintFooter:
        return printFooterChanged();
    default:
        sc::settings::runChangeRule(setting, *settingsView_);
    }
}

// Before the first show the layout is the design's and the print preview stays empty.
void TConvertForm1::printLayoutChanged() {
    if (ready_)
        sc::jobs::showLayout(settingsView_->itemIndex(sc::settings::Key::PrintLayout),
                             ui_->ImageEdit4->model(), *printControl_, folders_.data);
}
void TConvertForm1::printHeaderChanged() {
    printControl_->setHeaderText(settingsView_->text(sc::settings::Key::PrintHeader));
}
void TConvertForm1::printFooterChanged() {
    printControl_->setFooterText(settingsView_->text(sc::settings::Key::PrintFooter));
}

void TConvertForm1::chooseJpegJob() {
    ui_->PageControl1->setCurrentWidget(ui_->TabSheet1);
}
void TConvertForm1::chooseAlbumJob() {
    ui_->PageControl1->setCurrentWidget(ui_->TabSheet2);
}
void TConvertForm1::choosePrintJob() {
    ui_->PageControl1->setCurrentWidget(ui_->TabSheet3);
}

void TConvertForm1::showJapaneseCaptions() {
    sc::app::applyCaptionLanguage(*this, true);
}
void TConvertForm1::showEnglishCaptions() {
    sc::app::applyCaptionLanguage(*this, false);
}

void TConvertForm1::showInfoWindow() {
    if (infoWindow_)
        sc::returningFocus([this] { infoWindow_->exec(); });
}

// Whether the shell finds the file is not looked at: a missing read-me shows nothing.
void TConvertForm1::openReadme() {
    dialogs_.openWithShell(folders_.data + QStringLiteral("/Readme.txt"));
}

void TConvertForm1::minimiseWindow() {
    setWindowState(windowState() | Qt::WindowMinimized);
}

void TConvertForm1::closeWindow() {
    close();
}

void TConvertForm1::dropFiles(const QStringList& paths, int unreadable) {
    sourceCommands_->dropFiles(paths, unreadable);
}

void TConvertForm1::dragEnterEvent(QDragEnterEvent* event) {
    if (event->mimeData()->hasUrls())
        event->acceptProposedAction();
}

void TConvertForm1::dropEvent(QDropEvent* event) {
    if (jobRunning_)
        return event->ignore();
    QStringList paths;
    int unreadable = 0;
    for (const QUrl& url : event->mimeData()->urls()) {
        if (const std::optional<QString> path = sc::fileops::localPathOf(url))
            paths << *path;
        else if (url.isLocalFile())
            ++unreadable;
    }
    event->acceptProposedAction();
    dropFiles(paths, unreadable);
}

// Presses that reach the window itself landed on its own surface (bars, labels, background):
// they move the window as a title bar would. Controls that are widgets keep their presses.
void TConvertForm1::mousePressEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton)
        return QWidget::mousePressEvent(event);
    if (windowHandle() && windowHandle()->startSystemMove())
        return;
    dragging_ = true;
    dragOffset_ = event->globalPosition().toPoint() - frameGeometry().topLeft();
}

void TConvertForm1::mouseMoveEvent(QMouseEvent* event) {
    if (dragging_)
        move(event->globalPosition().toPoint() - dragOffset_);
    QWidget::mouseMoveEvent(event);
}

void TConvertForm1::mouseReleaseEvent(QMouseEvent* event) {
    dragging_ = false;
    QWidget::mouseReleaseEvent(event);
}

} // namespace sc::app
