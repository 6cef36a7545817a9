#include "UserDialogs.h"

#include "DialogFocus.h"
#include "FolderBrowser.h"
#include "WinPath.h"

#include <QApplication>
#include <QDesktopServices>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QMessageBox>
#include <QPrintDialog>
#include <QPrinter>
#include <QStandardPaths>
#include <QUrl>

namespace sc {

namespace {
const QString kTitle = QStringLiteral("SC_CONVERTER");

} // namespace

void QtUserDialogs::beep() {
    QApplication::beep();
}

void QtUserDialogs::message(const QString& text) {
    returningFocus([&] { QMessageBox::information(owner_, kTitle, text, QMessageBox::Ok); });
}

bool QtUserDialogs::askYesNo(const QString& text) {
    QMessageBox::StandardButton answer = QMessageBox::No;
    returningFocus([&] {
        answer = QMessageBox::question(owner_, kTitle, text, QMessageBox::Yes | QMessageBox::No);
    });
    return answer == QMessageBox::Yes;
}

// Held inside `root`; a root that does not exist is answered as a cancel, without a dialog.
QString QtUserDialogs::browseFolder(const QString& title, const QString& root) {
    if (root.isEmpty()) {
        QString chosen;
        returningFocus(
            [&] { chosen = QFileDialog::getExistingDirectory(owner_, title, QDir::homePath()); });
        return chosen.isEmpty() ? QString() : QDir::cleanPath(chosen);
    }
    const QString hostRoot = QDir::cleanPath(winpath::hostPath(root));
    if (!QFileInfo(hostRoot).isDir())
        return QString();
    ConfinedFolderDialog dialog(owner_, title, hostRoot);
    bool accepted = false;
    returningFocus([&] { accepted = dialog.exec() == QDialog::Accepted; });
    if (!accepted || dialog.selectedFiles().isEmpty())
        return QString();
    return winpath::spelledUnder(root, hostRoot, QDir::cleanPath(dialog.selectedFiles().first()));
}

QString QtUserDialogs::browseFolderFrom(const QString& title, const QString& start) {
    const QString host = start.isEmpty() ? QDir::homePath() : winpath::hostPath(start);
    QString chosen;
    returningFocus([&] { chosen = QFileDialog::getExistingDirectory(owner_, title, host); });
    return chosen.isEmpty() ? QString() : winpath::windowsPathOf(QDir::cleanPath(chosen));
}

void QtUserDialogs::openWithShell(const QString& documentOrUrl) {
    const QUrl url = QUrl(documentOrUrl, QUrl::StrictMode);
    if (url.isValid() && url.scheme().size() > 1)
        QDesktopServices::openUrl(url);
    else
        QDesktopServices::openUrl(QUrl::fromLocalFile(winpath::hostPath(documentOrUrl)));
}

QString documentsFolder() {
    const QString documents = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    return QFileInfo(documents).isDir() ? documents : QDir::homePath();
}

// Qt's dialog itself asks before a file the user picks is replaced.
bool QtUserDialogs::choosePrinter(QPrinter& printer) {
    QPrintDialog dialog(&printer, owner_);
    bool accepted = false;
    returningFocus([&] { accepted = dialog.exec() == QDialog::Accepted; });
    return accepted;
}

} // namespace sc
