#include "StoppableDialogs.h"

#include <QApplication>
#include <QDialog>

namespace sc {

namespace {
// Rejects the modal dialogs that are open, the innermost first; each one's exec() then
// returns as cancelled to the code that opened it.
void rejectOpenDialogs() {
    for (int guard = 0; guard < 16; ++guard) {
        auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget());
        if (!dialog)
            return;
        dialog->reject();
    }
}
} // namespace

void StoppableDialogs::stop() {
    stopped_ = true;
    rejectOpenDialogs();
}

void StoppableDialogs::beep() {
    if (!stopped_)
        inner_.beep();
}

void StoppableDialogs::message(const QString& text) {
    if (stopped_)
        qWarning("%s", qUtf8Printable(text));
    else
        inner_.message(text);
}

// An answer that comes back after the stop (the dialog was open when it came) counts as No.
bool StoppableDialogs::askYesNo(const QString& text) {
    return !stopped_ && inner_.askYesNo(text) && !stopped_;
}

QString StoppableDialogs::browseFolder(const QString& title, const QString& root) {
    if (stopped_)
        return QString();
    const QString chosen = inner_.browseFolder(title, root);
    return stopped_ ? QString() : chosen;
}

QString StoppableDialogs::browseFolderFrom(const QString& title, const QString& start) {
    if (stopped_)
        return QString();
    const QString chosen = inner_.browseFolderFrom(title, start);
    return stopped_ ? QString() : chosen;
}

void StoppableDialogs::openWithShell(const QString& documentOrUrl) {
    if (!stopped_)
        inner_.openWithShell(documentOrUrl);
}

bool StoppableDialogs::choosePrinter(QPrinter& printer) {
    return !stopped_ && inner_.choosePrinter(printer) && !stopped_;
}

} // namespace sc
