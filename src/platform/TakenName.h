#pragma once

#include <QByteArray>
#include <QString>

namespace sc::fileops {

// A new file name taken for a file that is written later (a printed PDF, after its dialog):
// while it lives, nobody else of this user's who takes names this way (in this copy of the
// program or another) gets it, and when it was taken no file had it. The claim is a lock in
// the user's runtime folder, so it ends with the process that held it, however that ended.
class TakenName {
public:
    // `stem` + `suffix` in `folder` (a host path), else "<stem> (2)<suffix>", "<stem> (3)…"
    // and so on: the first that no file (or link) has and no other claim holds.
    static TakenName newIn(const QString& folder, const QString& stem, const QString& suffix);

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
