#pragma once

#include "UserDialogs.h"

namespace sc {

// The seam as it must behave once the system is ending the program (a logout, a shutdown):
// nobody may be there to answer, so from then on nothing is shown, every question is taken as
// No and every choice as cancelled, and a dialog that is open closes as if cancelled. Until
// then everything passes to the seam it wraps.
class StoppableDialogs : public UserDialogs {
public:
    explicit StoppableDialogs(UserDialogs& inner) : inner_(inner) {}

    void stop();
    bool stopped() const { return stopped_; }

    void beep() override;
    // Once stopped, a message goes to the log instead.
    void message(const QString& text) override;
    bool askYesNo(const QString& text) override;
    QString browseFolder(const QString& title, const QString& root) override;
    QString browseFolderFrom(const QString& title, const QString& start) override;
    void openWithShell(const QString& documentOrUrl) override;
    bool choosePrinter(QPrinter& printer) override;

private:
    UserDialogs& inner_;
    bool stopped_ = false;
};

} // namespace sc
