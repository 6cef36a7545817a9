#include "Changewindow1.h"

#include "LookAndFeel.h"
#include "platform/UserDialogs.h"
#include "ui_Changewindow1.h"

#include <QCloseEvent>
#include <QDialog>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QMimeData>
#include <QMouseEvent>
#include <QTabBar>
#include <QUrl>
#include <QWindow>

TConvertForm1::TConvertForm1(const QString& programFolder, sc::UserDialogs& dialogs,
                             QWidget* parent)
    : QWidget(parent), ui_(std::make_unique<Ui::TConvertForm1>()), programFolder_(programFolder),
      dialogs_(dialogs) {
    ui_->setupUi(this);
    setWindowTitle(QStringLiteral("SC_CONVERTER"));
    setWindowFlags(Qt::Window | Qt::FramelessWindowHint);
    setFixedSize(516, 514);
    move(195, 128);
    setAcceptDrops(true);

    // The page control's tab row lies outside the visible area: pages change only through the
    // mode buttons and start-up.
    ui_->PageControl1->tabBar()->hide();
    // Presses on panels, the list, the pages and the edits stay there; only the window's own
    // surface (the bars, their labels, the bare background) drags the window.
    // Files dropped anywhere go to the window's drop handler: no edit takes them as text.
    for (QWidget* child : findChildren<QWidget*>()) {
        child->setAttribute(Qt::WA_NoMousePropagation);
        child->setAcceptDrops(false);
    }
    sc::app::setHintDurations(this);

    connect(ui_->ShineSpeedButton1, &TShineSpeedButton::clicked, this,
            &TConvertForm1::ShineSpeedButton1Click);
    connect(ui_->ShineSpeedButton2, &TShineSpeedButton::clicked, this,
            &TConvertForm1::ShineSpeedButton2Click);
    connect(ui_->ShineSpeedButton3, &TShineSpeedButton::clicked, this,
            &TConvertForm1::ShineSpeedButton3Click);
    connect(ui_->ShineSpeedButton4, &TShineSpeedButton::clicked, this,
            &TConvertForm1::ShineSpeedButton4Click);
    connect(ui_->SSButton12, &TShineSpeedButton::clicked, this, &TConvertForm1::SSButton12Click);
    connect(ui_->SSButton11, &TShineSpeedButton::clicked, this, &TConvertForm1::SSButton11Click);
    connect(ui_->SSButton10, &TShineSpeedButton::clicked, this, &TConvertForm1::SSButton10Click);

    scanStartupFolder();
}

TConvertForm1::~TConvertForm1() = default;

void TConvertForm1::step(const char* name) {
    trace_ << QString::fromLatin1(name);
}

void TConvertForm1::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    if (!shownOnce_) {
        shownOnce_ = true;
        FormShow();
    }
}

void TConvertForm1::FormShow() {
    ready_ = true;
    step("ready");
    showPrintPage();
    resetSettings();
    openSettingsFile();
    applyStoredLanguage();
    applyStoredPosition();
    loadStoredSettings();
    closeSettingsFile();
    showJpegPage();
}

void TConvertForm1::closeEvent(QCloseEvent* event) {
    FormClose();
    event->accept();
}

// Runs once however the window closes: the close button, the desktop, or the program ending.
void TConvertForm1::FormClose() {
    if (closed_)
        return;
    closed_ = true;
    saveSettings();
}

void TConvertForm1::scanStartupFolder() {}
void TConvertForm1::showPrintPage() {
    step("showPrintPage");
    ui_->PageControl1->setCurrentWidget(ui_->TabSheet3);
}
void TConvertForm1::resetSettings() {
    step("resetSettings");
}
void TConvertForm1::openSettingsFile() {
    step("openSettingsFile");
}
void TConvertForm1::applyStoredLanguage() {
    step("applyStoredLanguage");
}
void TConvertForm1::applyStoredPosition() {
    step("applyStoredPosition");
}
void TConvertForm1::loadStoredSettings() {
    step("loadStoredSettings");
}
void TConvertForm1::closeSettingsFile() {
    step("closeSettingsFile");
}
void TConvertForm1::showJpegPage() {
    step("showJpegPage");
    ui_->PageControl1->setCurrentWidget(ui_->TabSheet1);
}
void TConvertForm1::saveSettings() {
    step("saveSettings");
}

void TConvertForm1::ShineSpeedButton1Click() {
    ui_->PageControl1->setCurrentWidget(ui_->TabSheet1);
}
void TConvertForm1::ShineSpeedButton2Click() {
    ui_->PageControl1->setCurrentWidget(ui_->TabSheet2);
}
void TConvertForm1::ShineSpeedButton3Click() {
    ui_->PageControl1->setCurrentWidget(ui_->TabSheet3);
}

void TConvertForm1::ShineSpeedButton4Click() {
    if (infoWindow_)
        infoWindow_->exec();
}

// Whether the shell finds the file is not looked at: a missing read-me shows nothing.
void TConvertForm1::SSButton12Click() {
    dialogs_.openWithShell(programFolder_ + QStringLiteral("/Readme.txt"));
}

void TConvertForm1::SSButton11Click() {
    setWindowState(windowState() | Qt::WindowMinimized);
}

void TConvertForm1::SSButton10Click() {
    close();
}

void TConvertForm1::dropFiles(const QStringList& paths) {
    Q_UNUSED(paths);
}

void TConvertForm1::dragEnterEvent(QDragEnterEvent* event) {
    if (event->mimeData()->hasUrls())
        event->acceptProposedAction();
}

void TConvertForm1::dropEvent(QDropEvent* event) {
    QStringList paths;
    for (const QUrl& url : event->mimeData()->urls()) {
        if (url.isLocalFile())
            paths << url.toLocalFile();
    }
    event->acceptProposedAction();
    dropFiles(paths);
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
