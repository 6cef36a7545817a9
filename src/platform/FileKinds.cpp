#include "FileKinds.h"

#include "FileFailure.h"
#include "WinPath.h"

#include <QDir>
#include <QFileInfo>

#include <cerrno>

#ifdef Q_OS_UNIX
#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace sc::fileops {

using winpath::hostPath;

#ifdef Q_OS_UNIX

namespace {

QByteArray hostBytes(const QString& path) {
    return QFile::encodeName(hostPath(path));
}

FolderIdentity identityOf(const struct stat& st) {
    return {quint64(st.st_dev), quint64(st.st_ino)};
}

// Qt carries a name as text: bytes that are not UTF-8 come back as other bytes.
bool carries(const QByteArray& bytes, const QString& name) {
    return QFile::encodeName(name) == bytes;
}

} // namespace

FolderListing listFolder(const QString& folder) {
    FolderListing listing;
    // O_DIRECTORY refuses a pipe at once instead of waiting for its writer.
    const int fd =
        ::open(hostBytes(folder).constData(), O_RDONLY | O_DIRECTORY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0)
        return listing;
    DIR* dir = ::fdopendir(fd);
    if (!dir) {
        ::close(fd);
        return listing;
    }
    while (const dirent* entry = ::readdir(dir)) {
        const QByteArray bytes(entry->d_name);
        if (bytes == "." || bytes == "..")
            continue;
        struct stat st {};
        // A plain file needs no look-up; links are followed to what they lead to.
        if (entry->d_type == DT_REG)
            st.st_mode = S_IFREG;
        else if (::fstatat(::dirfd(dir), entry->d_name, &st, 0) != 0)
            continue;
        const bool isFile = S_ISREG(st.st_mode);
        if (!isFile && !S_ISDIR(st.st_mode))
            continue;
        QString name = QFile::decodeName(bytes);
        if (!carries(bytes, name))
            listing.unreadable.push_back({std::move(name), bytes, !isFile});
        else if (isFile)
            listing.files << std::move(name);
        else
            listing.folders.push_back({std::move(name), identityOf(st)});
    }
    ::closedir(dir);
    return listing;
}

std::optional<FolderIdentity> folderIdentity(const QString& folder) {
    struct stat st {};
    if (::stat(hostBytes(folder).constData(), &st) != 0 || !S_ISDIR(st.st_mode))
        return std::nullopt;
    return identityOf(st);
}

bool isRegularFile(const QString& path) {
    struct stat st {};
    return ::stat(hostBytes(path).constData(), &st) == 0 && S_ISREG(st.st_mode);
}

int openRegularFile(const QString& path, QFile& file) {
    const QByteArray host = hostBytes(path);
    // Asked first, so that a device is never opened at all.
    struct stat st {};
    if (::stat(host.constData(), &st) != 0)
        return errno;
    if (!S_ISREG(st.st_mode))
        return kNotARegularFile;
    // Something else may have taken the name since: O_NONBLOCK keeps a pipe from waiting.
    const int fd = ::open(host.constData(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    if (fd < 0)
        return errno;
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        ::close(fd);
        return kNotARegularFile;
    }
    ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) & ~O_NONBLOCK);
    if (!file.open(fd, QIODevice::ReadOnly, QFileDevice::AutoCloseHandle)) {
        ::close(fd);
        return EIO;
    }
    return 0;
}

std::optional<QString> localPathOf(const QUrl& url) {
    if (!url.isLocalFile())
        return std::nullopt;
    const QByteArray bytes =
        QByteArray::fromPercentEncoding(url.path(QUrl::FullyEncoded).toLatin1());
    if (!carries(bytes, QFile::decodeName(bytes)))
        return std::nullopt;
    return url.toLocalFile();
}

#else // Windows: every name is text, and nothing there blocks on opening.

FolderListing listFolder(const QString& folder) {
    FolderListing listing;
    const QDir dir(hostPath(folder));
    for (const QFileInfo& info :
         dir.entryInfoList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot,
                           QDir::Unsorted)) {
        if (info.isFile())
            listing.files << info.fileName();
        else if (info.isDir())
            listing.folders.push_back(
                {info.fileName(),
                 folderIdentity(info.absoluteFilePath()).value_or(FolderIdentity{})});
    }
    return listing;
}

// No inode numbers through Qt: the folder's one spelling stands in for one.
std::optional<FolderIdentity> folderIdentity(const QString& folder) {
    const QString canonical = QFileInfo(hostPath(folder)).canonicalFilePath();
    if (canonical.isEmpty())
        return std::nullopt;
    return FolderIdentity{0, quint64(qHash(canonical.toCaseFolded()))};
}

bool isRegularFile(const QString& path) {
    return QFileInfo(hostPath(path)).isFile();
}

int openRegularFile(const QString& path, QFile& file) {
    if (!isRegularFile(path))
        return kNotARegularFile;
    file.setFileName(hostPath(path));
    return file.open(QIODevice::ReadOnly) ? 0 : EACCES;
}

std::optional<QString> localPathOf(const QUrl& url) {
    if (!url.isLocalFile())
        return std::nullopt;
    return url.toLocalFile();
}

#endif

NameMask::NameMask(const QString& mask)
    : pattern_(QRegularExpression::wildcardToRegularExpression(
                   (mask.isEmpty() || mask == u"*.*") ? QStringLiteral("*") : mask,
                   QRegularExpression::UnanchoredWildcardConversion),
               QRegularExpression::CaseInsensitiveOption) {}

bool NameMask::matches(const QString& name) const {
    const auto match = pattern_.match(name);
    return match.hasMatch() && match.capturedStart() == 0 && match.capturedLength() == name.size();
}

} // namespace sc::fileops
