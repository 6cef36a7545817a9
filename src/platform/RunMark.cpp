#include "RunMark.h"

#include "FileKinds.h"
#include "FileOps.h"
#include "Locks.h"
#include "WinPath.h"

#include <QFile>
#include <QHash>
#include <QRandomGenerator>

#include <cerrno>

namespace sc::fileops {

namespace {

const QString kLockStem = QStringLiteral(".sc-run");
const QString kLockSuffix = QStringLiteral(".lock");

QByteArray hostBytes(const QString& path) {
    return QFile::encodeName(winpath::hostPath(path));
}

// The id of `name` if it is `stem`.<id>`suffix`, else an empty text. An id has no dot, so
// neither "bg_tate.tif" nor "bg_tate.a.b.tif" is taken for a job's file.
QString idIn(const QString& name, const QString& stem, const QString& suffix) {
    const QString prefix = stem + u'.';
    if (name.size() <= prefix.size() + suffix.size() || !name.startsWith(prefix) ||
        !name.endsWith(suffix))
        return {};
    const QString id = name.mid(prefix.size(), name.size() - prefix.size() - suffix.size());
    return id.contains(u'.') ? QString() : id;
}

// Runs `removeFiles` if the job of the lock file `lock` has ended, holding its lock, and then
// removes the lock file. A job still running holds its lock; one that is just making its lock
// file finds it gone afterwards and takes another id.
template <typename RemoveFiles> void sweepIfEnded(const QByteArray& lock, RemoveFiles removeFiles) {
    const int fd = locks::take(lock, locks::Making::Never);
    // No lock file: its job gave the mark up, or lost it before it held it.
    if (fd >= 0 || errno == ENOENT)
        removeFiles();
    locks::drop(fd, lock);
}

} // namespace

RunMark::RunMark(const QString& folder) : folder_(folder) {
    for (int attempt = 0; attempt < 100; ++attempt) {
        id_ = QString::number(QRandomGenerator::global()->generate64(), 36);
        lockFd_ = locks::take(hostBytes(name(kLockStem, kLockSuffix)), locks::Making::New);
        if (lockFd_ >= 0)
            return;
        if (errno != EEXIST) {
            error_ = errno;
            return;
        }
    }
    error_ = EEXIST;
}

RunMark::~RunMark() {
    locks::drop(lockFd_, hostBytes(name(kLockStem, kLockSuffix)));
}

QString RunMark::name(const QString& stem, const QString& suffix) const {
    return folder_ + u'/' + stem + u'.' + id_ + suffix;
}

void RunMark::removeLeftovers(const QStringList& stems, const QString& suffix) const {
    QHash<QString, QStringList> filesOfJob; // an empty list: only the lock file is left
    for (const QString& file : listFolder(folder_).files) {
        if (const QString id = idIn(file, kLockStem, kLockSuffix); !id.isEmpty())
            filesOfJob[id];
        for (const QString& stem : stems)
            if (const QString id = idIn(file, stem, suffix); !id.isEmpty())
                filesOfJob[id] << file;
    }
    filesOfJob.remove(id_);
    for (auto job = filesOfJob.cbegin(); job != filesOfJob.cend(); ++job) {
        const QString lockName = kLockStem + u'.' + job.key() + kLockSuffix;
        sweepIfEnded(hostBytes(folder_ + u'/' + lockName), [&] {
            for (const QString& file : job.value())
                deleteFile(folder_ + u'/' + file);
        });
    }
}

} // namespace sc::fileops
