#include "FileOps.h"

#include "FileKinds.h"
#include "FolderIndex.h"
#include "WinPath.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryFile>

#include <filesystem>

#ifdef Q_OS_UNIX
#include <cerrno>
#include <cstdio>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace sc::fileops {

using winpath::hostPath;

namespace {
QStringList unsortedEntries(const QString& folder, QDir::Filters filters) {
    return QDir(hostPath(folder))
        .entryList(filters | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot, QDir::Unsorted);
}
} // namespace

bool exists(const QString& path) {
    return QFileInfo::exists(hostPath(path));
}
bool isFolder(const QString& path) {
    return QFileInfo(hostPath(path)).isDir();
}

QStringList listMatching(const QString& folder, const QString& mask) {
    const NameMask pattern(mask);
    QStringList found;
    for (const QString& name : unsortedEntries(folder, QDir::AllEntries)) {
        if (pattern.matches(name))
            found << name;
    }
    return found;
}

QStringList listFolders(const QString& folder) {
    return unsortedEntries(folder, QDir::Dirs);
}

bool isReadOnly(const QString& path) {
    const QFileInfo info(hostPath(path));
    return info.exists() && !(info.permissions() & QFileDevice::WriteOwner);
}

bool setReadOnly(const QString& path, bool readOnly) {
    const QString host = hostPath(path);
    QFileDevice::Permissions p = QFileInfo(host).permissions();
    if (readOnly)
        p &= ~(QFileDevice::WriteOwner | QFileDevice::WriteUser | QFileDevice::WriteGroup |
               QFileDevice::WriteOther);
    else
        p |= QFileDevice::WriteOwner | QFileDevice::WriteUser;
    return QFile::setPermissions(host, p);
}

std::optional<QDateTime> toFileDate(const QDateTime& localTime) {
    if (!localTime.isValid())
        return std::nullopt;
    const QDateTime local = localTime.toLocalTime();
    const int year = local.date().year();
    if (year < 1980 || year > 2107)
        return std::nullopt;
    const QTime t = local.time();
    return QDateTime(local.date(), QTime(t.hour(), t.minute(), t.second() / 2 * 2));
}

std::optional<QDateTime> lastWriteTime(const QString& path) {
    const QFileInfo info(hostPath(path));
    if (!info.exists())
        return std::nullopt;
    return toFileDate(info.lastModified());
}

bool setLastWriteTime(const QString& path, const QDateTime& localTime) {
    QFile file(hostPath(path));
    if (!file.open(QIODevice::ReadWrite | QIODevice::ExistingOnly))
        return false;
    return file.setFileTime(localTime, QFileDevice::FileModificationTime);
}

int renameToFreeName(const QByteArray& fromHost, const QByteArray& toHost) {
    const char* from = fromHost.constData();
    const char* to = toHost.constData();
#ifdef Q_OS_LINUX
    if (::renameat2(AT_FDCWD, from, AT_FDCWD, to, RENAME_NOREPLACE) == 0)
        return 0;
    if (errno != EINVAL && errno != ENOSYS)
        return errno;
#endif
    // A file system without that rename: a second link fails on a taken name, as the rename
    // would.
    if (::link(from, to) == 0)
        return ::unlink(from) == 0 ? 0 : errno;
    if (errno == EEXIST)
        return EEXIST;
    struct stat st {};
    if (::lstat(to, &st) == 0)
        return EEXIST;
    return ::rename(from, to) == 0 ? 0 : errno;
}

bool renameNoReplace(const QString& from, const QString& to) {
    const QString src = hostPath(from);
    const QString dst = hostPath(to);
    if (!QFileInfo::exists(src) || QFileInfo::exists(dst))
        return false;
    const bool renamed = renameToFreeName(QFile::encodeName(src), QFile::encodeName(dst)) == 0;
    if (renamed) {
        winpath::noteRemoved(src);
        winpath::noteAdded(dst);
    }
    return renamed;
}

bool deleteFile(const QString& path) {
    const QString host = hostPath(path);
    if (!QFileInfo(host).isFile() || !QFile::remove(host))
        return false;
    winpath::noteRemoved(host);
    return true;
}

int makeFoldersError(const QString& path) {
    const QString host = hostPath(path);
    const std::filesystem::path folder(QFile::encodeName(host).toStdString());
    std::error_code error;
    std::filesystem::create_directories(folder, error);
    if (error)
        return error.value();
    if (!std::filesystem::is_directory(folder, error))
        return ENOTDIR;
    winpath::noteAdded(host);
    return 0;
}

bool makeFolders(const QString& path) {
    return makeFoldersError(path) == 0;
}

namespace {
// Longest file name, in bytes, that `folder` (or its nearest existing parent) holds.
qint64 maxNameBytes(QString folder) {
    constexpr qint64 kUsual = 255;
#ifdef Q_OS_UNIX
    for (;;) {
        errno = 0;
        const long limit = ::pathconf(QFile::encodeName(folder).constData(), _PC_NAME_MAX);
        if (limit > 0)
            return limit;
        const int slash = folder.lastIndexOf(u'/');
        if (errno != ENOENT || slash <= 0)
            return kUsual;
        folder.truncate(slash);
    }
#else
    Q_UNUSED(folder);
    return kUsual;
#endif
}
} // namespace

bool nameTooLong(const QString& path) {
    const QString host = hostPath(path);
    const int slash = host.lastIndexOf(u'/');
    const QString folder = slash < 0 ? QStringLiteral(".") : host.left(std::max(slash, 1));
    return QFile::encodeName(host.mid(slash + 1)).size() > maxNameBytes(folder);
}

qint64 fileSize(const QString& path) {
    QFile file;
    if (openRegularFile(path, file) != 0)
        return -1;
    return file.size();
}

bool canOpenToReadTime(const QString& path) {
#ifdef Q_OS_UNIX
    const QByteArray host = QFile::encodeName(hostPath(path));
    // Non-blocking, so that a pipe named like a picture is refused instead of waited for.
    const int fd = ::open(host.constData(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    if (fd < 0)
        return false;
    struct stat st {};
    bool free = ::fstat(fd, &st) == 0 && S_ISREG(st.st_mode);
    // Only another holder's lock counts: a file system that locks no read-only descriptor
    // (NFS says EBADF) has nobody holding the file either.
    if (free && ::flock(fd, LOCK_EX | LOCK_NB) != 0)
        free = errno != EWOULDBLOCK && errno != EINTR;
    ::close(fd);
    return free;
#else
    QFile file(hostPath(path));
    return file.open(QIODevice::ReadOnly);
#endif
}

bool canCreateFileIn(const QString& folder) {
    QTemporaryFile probe(hostPath(folder) + QStringLiteral("/.write-check-XXXXXX"));
    return probe.open(); // removed again when the probe goes
}

} // namespace sc::fileops
