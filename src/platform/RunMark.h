#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

namespace sc::fileops {

// A job's claim on the scratch files it keeps in a folder that other copies of the program may
// share (the print job's page files in the program folder). While the mark lives, its lock file
// `.sc-run-<id>.lock` in that folder is locked, and the files named with its id are that job's.
// A lock goes with the process that held it, so the files of a job that was killed, crashed or
// lost its power are known as left behind: the next job that takes a mark there removes them,
// and never a file of a job that still runs, in this copy of the program or another.
class RunMark {
public:
    // Takes a new mark in `folder` (a path text); see error().
    explicit RunMark(const QString& folder);
    // Gives the mark up; files named with its id stay, as a dead job's would, until the next
    // job's removeLeftovers().
    ~RunMark();
    RunMark(const RunMark&) = delete;
    RunMark& operator=(const RunMark&) = delete;

    // 0, or the errno of the failure to make or lock the lock file (a folder that cannot be
    // written, say): nothing can then be kept there under this mark.
    int error() const { return error_; }

    // The path text of the file `stem`.<id>`suffix` in the folder ("…/bg_tate.k3j9x2.tif").
    QString name(const QString& stem, const QString& suffix) const;

    // Removes each file `stem`.<id>`suffix` of the folder whose job no longer holds its mark,
    // and the lock files of jobs that ended without giving their marks up.
    void removeLeftovers(const QStringList& stems, const QString& suffix) const;

private:
    QString folder_;
    QString id_;
    int lockFd_ = -1;
    int error_ = 0;
};

} // namespace sc::fileops
