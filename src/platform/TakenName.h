#pragma once

#include <QByteArray>
#include <QString>

namespace sc::fileops {

// A new file name taken for a file that is written later (a printed PDF, after its dialog):
// while it lives, no other print of this user's (in this copy of the program or another)
// is offered it, and when it was taken no file had it. The claim is a lock in the user's
// runtime folder, so it ends with the process that held it, however that ended.
class TakenName {
public:
    // "SC_CONVERTER.pdf" in `folder` (a host path), else "SC_CONVERTER (2).pdf", "… (3).pdf"
    // and so on: the first that no file (or link) has and no other claim holds.
    static TakenName newPdfIn(const QString& folder);

    TakenName(TakenName&& other) noexcept;
    TakenName& operator=(TakenName&&) = delete;
    TakenName(const TakenName&) = delete;
    ~TakenName();

    const QString& path() const { return path_; }

private:
    TakenName(QString path, QByteArray claim, int fd);

    QString path_;
    QByteArray claim_; // the lock file, empty when no claim could be made
    int fd_ = -1;
};

} // namespace sc::fileops
