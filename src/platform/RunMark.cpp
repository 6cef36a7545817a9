#include "RunMark.h"

#include "FileKinds.h"
#include "WinPath.h"

#include <QFile>
#include <QHash>
#include <QRandomGenerator>

#include <cerrno>

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace sc::fileops {

namespace {

const QString kLockStem = QStringLiteral(".sc-run");
const QString kLockSuffix = QStringLiteral(".lock");

QByteArray hostBytes(const QString& path) {
    return QFile::encodeName(winpath::hostPath(path));
}

// Whether `fd` is still the file at `path`: a sweeper may have removed the name between its
// making and its locking.
bool stillNamed(int fd, const QByteArray& path) {
    struct stat held {}, named {};
    return ::fstat(fd, &held) == 0 && held.st_nlink > 0 && ::lstat(path.constData(), &named) == 0 &&
           held.st_dev == named.st_dev && held.st_ino == named.st_ino;
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

// Whether the job of the lock file `lock` has ended; if so, runs `removeFiles` while holding
// its lock and then removes the lock file. A job still running holds its lock, and a job that
// is just making its lock file finds it gone afterwards and takes another id.
template <typename RemoveFiles> void sweepIfEnded(const QByteArray& lock, RemoveFiles removeFiles) {
    const int fd = ::open(lock.constData(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) {
        // No lock file: its job gave its mark up, or never had one.
        if (errno == ENOENT)
            removeFiles();
        return;
    }
    struct stat st {};
    if (::fstat(fd, &st) == 0 && S_ISREG(st.st_mode) && ::flock(fd, LOCK_EX | LOCK_NB) == 0) {
        removeFiles();
        if (stillNamed(fd, lock))
            ::unlink(lock.constData());
    }
    ::close(fd);
}

} // namespace

RunMark::RunMark(const QString& folder) : folder_(folder) {
    for (int attempt = 0; attempt < 100; ++attempt) {
        id_ = QString::number(QRandomGenerator::global()->generate64(), 36);
        const QByteArray lock = hostBytes(name(kLockStem, kLockSuffix));
        const int fd = ::open(lock.constData(), O_RDWR | O_CREAT | O_EXCL | O_CLOEXEC, 0644);
        if (fd < 0 && errno == EEXIST)
            continue;
        if (fd < 0) {
            error_ = errno;
            return;
        }
        if (::flock(fd, LOCK_EX | LOCK_NB) == 0 && stillNamed(fd, lock)) {
            lockFd_ = fd;
            return;
        }
        ::close(fd);
    }
    error_ = EEXIST;
}

RunMark::~RunMark() {
    if (lockFd_ < 0)
        return;
    // The name goes while the lock is held: no sweeper can take it in between.
    ::unlink(hostBytes(name(kLockStem, kLockSuffix)).constData());
    ::close(lockFd_);
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
                ::unlink(hostBytes(folder_ + u'/' + file).constData());
        });
    }
}

} // namespace sc::fileops
