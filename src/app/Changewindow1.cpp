#include "Changewindow1.h"

#include "platform/UserDialogs.h"

#include <QCloseEvent>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QMimeData>
#include <QMouseEvent>
#include <QUrl>
#include <QWindow>

TConvertForm1::TConvertForm1(const QString& programFolder, sc::UserDialogs& dialogs, QWidget* parent)
    : QWidget(parent), programFolder_(programFolder), dialogs_(dialogs) {
    setWindowTitle(QStringLiteral("SC_CONVERTER"));
    setWindowFlags(Qt::Window | Qt::FramelessWindowHint);
    setFixedSize(516, 514);
    setAutoFillBackground(true);
    QPalette p = palette();
    p.setColor(QPalette::Window, QColor(70, 70, 70));
    setPalette(p);
    move(195, 128);
    setAcceptDrops(true);
    scanStartupFolder();
}

TConvertForm1::~TConvertForm1() = default;

void TConvertForm1::step(const char* name) { trace_ << QString::fromLatin1(name); }

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
void TConvertForm1::showPrintPage() { step("showPrintPage"); }
void TConvertForm1::resetSettings() { step("resetSettings"); }
void TConvertForm1::openSettingsFile() { step("openSettingsFile"); }
void TConvertForm1::applyStoredLanguage() { step("applyStoredLanguage"); }
void TConvertForm1::applyStoredPosition() { step("applyStoredPosition"); }
void TConvertForm1::loadStoredSettings() { step("loadStoredSettings"); }
void TConvertForm1::closeSettingsFile() { step("closeSettingsFile"); }
void TConvertForm1::showJpegPage() { step("showJpegPage"); }
void TConvertForm1::saveSettings() { step("saveSettings"); }

void TConvertForm1::dropFiles(const QStringList& paths) { Q_UNUSED(paths); }

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
