#pragma once

#include <QString>

class QPrinter;
class QWidget;

namespace sc {

// Everything the program asks of the user or the desktop shell goes through this seam, so
// tests can script the answers and record what was shown.
class UserDialogs {
public:
    virtual ~UserDialogs() = default;

    virtual void beep() = 0;
    // A simple message box with one OK button, titled "SC_CONVERTER".
    virtual void message(const QString& text) = 0;
    // A Yes/No confirmation; true for Yes.
    virtual bool askYesNo(const QString& text) = 0;
    // A folder browser that starts at `root` and cannot leave it (empty root: anywhere).
    // Returns the chosen folder as a path text, or an empty text when cancelled; a root that
    // does not exist counts as a cancel.
    virtual QString browseFolder(const QString& title, const QString& root) = 0;
    // A folder browser free to go anywhere, opened at `start` (a path text; empty: the home
    // folder). A folder on a mapped drive comes back in its Windows spelling ("D:/out").
    virtual QString browseFolderFrom(const QString& title, const QString& start) = 0;
    // Opens a document (a path text) or a link with its associated program; results ignored.
    virtual void openWithShell(const QString& documentOrUrl) = 0;
    // The standard print dialog on `printer`, which the print control has set up (orientation,
    // and the printer or PDF file offered first); false when the user cancels.
    virtual bool choosePrinter(QPrinter& printer) = 0;
};

// The user's documents folder, or the home folder when there is none.
QString documentsFolder();

// The desktop implementation: Qt's dialogs, the system beep and QDesktopServices.
class QtUserDialogs : public UserDialogs {
public:
    explicit QtUserDialogs(QWidget* owner = nullptr) : owner_(owner) {}
    void setOwner(QWidget* owner) { owner_ = owner; }

    void beep() override;
    void message(const QString& text) override;
    bool askYesNo(const QString& text) override;
    QString browseFolder(const QString& title, const QString& root) override;
    QString browseFolderFrom(const QString& title, const QString& start) override;
    void openWithShell(const QString& documentOrUrl) override;
    bool choosePrinter(QPrinter& printer) override;

private:
    QWidget* owner_;
};

} // namespace sc
