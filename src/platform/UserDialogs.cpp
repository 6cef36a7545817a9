#include "UserDialogs.h"

#include "WinPath.h"

#include <QApplication>
#include <QDesktopServices>
#include <QDir>
#include <QFileDialog>
#include <QMessageBox>
#include <QPrintDialog>
#include <QPrinter>
#include <QUrl>

namespace sc {

namespace {
const QString kTitle = QStringLiteral("SC_CONVERTER");

// Turns a host path chosen in a dialog back into the Windows spelling under `root`.
QString toRootSpelling(const QString& root, const QString& hostRoot, const QString& chosen) {
    QString rest = QDir(hostRoot).relativeFilePath(chosen);
    if (rest == u".")
        return root;
    QString sep = root.contains(u'\\') ? QStringLiteral("\\") : QStringLiteral("/");
    rest.replace(u'/', sep);
    return root.endsWith(sep) ? root + rest : root + sep + rest;
}
} // namespace

void QtUserDialogs::beep() {
    QApplication::beep();
}

void QtUserDialogs::message(const QString& text) {
    QMessageBox::information(owner_, kTitle, text, QMessageBox::Ok);
}

bool QtUserDialogs::askYesNo(const QString& text) {
    return QMessageBox::question(owner_, kTitle, text, QMessageBox::Yes | QMessageBox::No) ==
           QMessageBox::Yes;
}

QString QtUserDialogs::browseFolder(const QString& title, const QString& root) {
    const QString hostRoot = QDir::cleanPath(winpath::hostPath(root));
    QString start = hostRoot.isEmpty() ? QDir::homePath() : hostRoot;
    for (;;) {
        const QString chosen = QFileDialog::getExistingDirectory(owner_, title, start);
        if (chosen.isEmpty())
            return QString();
        const QString clean = QDir::cleanPath(chosen);
        if (root.isEmpty())
            return clean;
        if (clean == hostRoot || clean.startsWith(hostRoot + u'/'))
            return toRootSpelling(root, hostRoot, clean);
        // Outside the allowed tree: ask again, starting where the user may choose.
        start = hostRoot;
    }
}

QString QtUserDialogs::browseFolderFrom(const QString& title, const QString& start) {
    const QString host = start.isEmpty() ? QDir::homePath() : winpath::hostPath(start);
    const QString chosen = QFileDialog::getExistingDirectory(owner_, title, host);
    return chosen.isEmpty() ? QString() : winpath::windowsPathOf(QDir::cleanPath(chosen));
}

void QtUserDialogs::openWithShell(const QString& documentOrUrl) {
    const QUrl url = QUrl(documentOrUrl, QUrl::StrictMode);
    if (url.isValid() && url.scheme().size() > 1)
        QDesktopServices::openUrl(url);
    else
        QDesktopServices::openUrl(QUrl::fromLocalFile(winpath::hostPath(documentOrUrl)));
}

bool QtUserDialogs::choosePrinter(QPrinter& printer) {
    QPrintDialog dialog(&printer, owner_);
    return dialog.exec() == QDialog::Accepted;
}

} // namespace sc
