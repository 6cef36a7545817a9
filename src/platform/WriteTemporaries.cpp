#include "WriteTemporaries.h"

#include "FileWrites.h"
#include "FolderIndex.h"
#include "Locks.h"

#include <QFile>
#include <QRandomGenerator>

#include <atomic>
#include <cerrno>
#include <cstring>
#include <vector>

#include <dirent.h>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace sc::fileops {

namespace {

std::atomic<int> namedOnlyScopes{0};

constexpr int kAttempts = 100;

QByteArray randomNameIn(const QByteArray& folder) {
    return folder + "/.sc-" + QByteArray::number(QRandomGenerator::global()->generate64(), 36) +
           ".tmp";
}

// The names randomNameIn() gives: ".sc-", 1 to 13 lower-case base-36 digits, ".tmp".
bool isTemporaryName(const char* name) {
    const size_t size = std::strlen(name);
    if (size < 9 || size > 21 || std::strncmp(name, ".sc-", 4) != 0 ||
        std::strcmp(name + size - 4, ".tmp") != 0)
        return false;
    for (size_t i = 4; i < size - 4; ++i) {
        const char c = name[i];
        if (!((c >= '0' && c <= '9') || (c >= 'a' && c <= 'z')))
            return false;
    }
    return true;
}

bool sameFile(const struct stat& a, const struct stat& b) {
    return a.st_dev == b.st_dev && a.st_ino == b.st_ino;
}

enum class Lock { Taken, HeldByAnother, Unsupported };

Lock lockExclusive(int fd) {
    for (;;) {
        if (::flock(fd, LOCK_EX | LOCK_NB) == 0)
            return Lock::Taken;
        if (errno == EWOULDBLOCK)
            return Lock::HeldByAnother;
        if (errno != EINTR)
            return Lock::Unsupported; // a file system without flock (some network ones)
    }
}

int keeperOf(int fd, Temporary& temporary) {
    temporary.keeper = ::fcntl(fd, F_DUPFD_CLOEXEC, 0);
    if (temporary.keeper < 0)
        return errno;
    temporary.fd = fd;
    return 0;
}

#ifdef __linux__
QByteArray procPathOf(int fd) {
    return "/proc/self/fd/" + QByteArray::number(fd);
}

// The answers of a file system (or kernel) without unnamed files.
bool noUnnamedFiles(int error) {
    return error == EOPNOTSUPP || error == EISDIR || error == EINVAL;
}

// 0 with an unnamed temporary; ENOTSUP when the file system (or /proc, which links it in) has
// none; otherwise the errno of the failure. Nothing can reach the file before it has a name,
// so its lock is taken at once.
int createUnnamed(const QByteArray& folder, Temporary& temporary) {
    const int fd = ::open(folder.constData(), O_TMPFILE | O_WRONLY | O_CLOEXEC, 0666);
    if (fd < 0)
        return noUnnamedFiles(errno) ? ENOTSUP : errno;
    struct stat st {};
    if (::stat(procPathOf(fd).constData(), &st) != 0) {
        ::close(fd);
        return ENOTSUP;
    }
    (void)lockExclusive(fd);
    if (const int e = keeperOf(fd, temporary)) {
        ::close(fd);
        return e;
    }
    return 0;
}
#endif

// The name exists, unlocked, from its creation until the lock: a sweeper may take it then and
// remove it. So the lock counts only while the name still leads to the locked file; otherwise
// the writer starts over under a new name (the sweeper removes the old one, or has done so).
int createNamed(const QByteArray& folder, Temporary& temporary) {
    for (int attempt = 0; attempt < kAttempts; ++attempt) {
        const QByteArray name = randomNameIn(folder);
        const int fd = ::open(name.constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd < 0 && errno == EEXIST)
            continue;
        if (fd < 0)
            return errno;
        struct stat locked {};
        struct stat named {};
        const bool held = lockExclusive(fd) != Lock::HeldByAnother && ::fstat(fd, &locked) == 0 &&
                          locked.st_nlink > 0 && ::lstat(name.constData(), &named) == 0 &&
                          sameFile(locked, named);
        if (!held) {
            ::close(fd);
            continue;
        }
        if (const int e = keeperOf(fd, temporary)) {
            ::unlink(name.constData()); // while still locked, as releaseTemporary() does
            ::close(fd);
            return e;
        }
        temporary.name = name;
        return 0;
    }
    return EEXIST;
}

// Removes the temporary `host` when no live writer holds its lock. A locked file at that name
// is then a dead run's: a writer releases its lock only after its name has gone (renamed over
// its target, or removed); a writer that has made its name but not yet locked it finds, once it
// has, that the name has gone and starts over (createNamed); and no new temporary takes an
// existing name, so nothing else can come to stand under this name before it is removed.
bool removeIfDead(const QByteArray& host) {
    const int fd = locks::take(host, locks::Making::Never);
    if (fd < 0)
        return false; // a live writer's, or a link, folder, pipe or device: not ours to remove
    locks::drop(fd, host);
    return true;
}

} // namespace

NamedTemporariesOnly::NamedTemporariesOnly() {
    ++namedOnlyScopes;
}

NamedTemporariesOnly::~NamedTemporariesOnly() {
    --namedOnlyScopes;
}

bool NamedTemporariesOnly::active() {
    return namedOnlyScopes.load() > 0;
}

int createTemporary(const QByteArray& folder, Temporary& temporary) {
    if (const int e = WriteFaults::injected(WriteStep::Create))
        return e;
#ifdef __linux__
    if (!NamedTemporariesOnly::active()) {
        const int e = createUnnamed(folder, temporary);
        if (e != ENOTSUP)
            return e;
    }
#endif
    return createNamed(folder, temporary);
}

int nameTemporary(const QByteArray& folder, Temporary& temporary) {
    if (!temporary.name.isEmpty())
        return 0;
    if (const int e = WriteFaults::injected(WriteStep::Link))
        return e;
#ifdef __linux__
    // The keeper, not the data descriptor: that one is closed before the file is named.
    const QByteArray from = procPathOf(temporary.keeper);
    for (int attempt = 0; attempt < kAttempts; ++attempt) {
        const QByteArray name = randomNameIn(folder);
        const int linked =
            ::linkat(AT_FDCWD, from.constData(), AT_FDCWD, name.constData(), AT_SYMLINK_FOLLOW);
        if (linked == 0) {
            temporary.name = name;
            return 0;
        }
        if (errno != EEXIST)
            return errno;
    }
    return EEXIST;
#else
    (void)folder;
    return ENOTSUP; // never made unnamed
#endif
}

QString readablePath(const Temporary& temporary) {
#ifdef __linux__
    if (temporary.name.isEmpty() && temporary.keeper >= 0)
        return QFile::decodeName(procPathOf(temporary.keeper));
#endif
    return QFile::decodeName(temporary.name);
}

void releaseTemporary(Temporary& temporary, bool renamedAway) {
    if (temporary.fd >= 0)
        ::close(temporary.fd);
    // Still locked here: no sweeper can be removing it, or anything else, under this name.
    if (!renamedAway && !temporary.name.isEmpty())
        ::unlink(temporary.name.constData());
    if (temporary.keeper >= 0)
        ::close(temporary.keeper);
    temporary = Temporary{};
}

void sweepDeadTemporaries(const QByteArray& folder) {
    DIR* listing = ::opendir(folder.constData());
    if (!listing)
        return;
    // Names first, removals after: a listing does not promise what it shows of entries removed
    // while it is read. Only names of ours are kept, so a big folder costs one read of it.
    std::vector<QByteArray> candidates;
    while (const dirent* entry = ::readdir(listing)) {
        if ((entry->d_type == DT_REG || entry->d_type == DT_UNKNOWN) &&
            isTemporaryName(entry->d_name))
            candidates.emplace_back(entry->d_name);
    }
    ::closedir(listing);
    for (const QByteArray& name : candidates) {
        const QByteArray host = folder + '/' + name;
        if (removeIfDead(host))
            winpath::noteRemoved(QFile::decodeName(host));
    }
}

} // namespace sc::fileops
