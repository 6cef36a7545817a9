#include "FileIdentity.h"

#include "FolderIndex.h"
#include "WinPath.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>

#ifdef Q_OS_UNIX
#include <sys/stat.h>
#endif

namespace sc::fileops {

std::optional<FileIdentity> fileIdentity(const QString& path) {
    const QString host = winpath::hostPath(path);
#ifdef Q_OS_UNIX
    struct stat st {};
    if (::stat(QFile::encodeName(host).constData(), &st) != 0)
        return std::nullopt;
    const auto ns = [](const timespec& t) { return qint64(t.tv_sec) * 1'000'000'000 + t.tv_nsec; };
    return FileIdentity{quint64(st.st_dev), quint64(st.st_ino), qint64(st.st_size), ns(st.st_mtim),
                        ns(st.st_ctim)};
#else
    const QFileInfo info(host);
    if (!info.exists())
        return std::nullopt;
    return FileIdentity{0, 0, info.size(), info.lastModified().toMSecsSinceEpoch() * 1'000'000, 0};
#endif
}

// Qt follows the desktop's trash rules: the home trash ($XDG_DATA_HOME/Trash) for a file on
// the home volume, else $topdir/.Trash/$uid or $topdir/.Trash-$uid, each with its .trashinfo.
// It never copies across volumes, so a file it cannot trash is still in place.
Removal moveToTrashOrDelete(const QString& path) {
    const QString host = winpath::hostPath(path);
    // Qt makes the home trash but not the data folder that holds it, as a new account lacks.
    QDir().mkpath(QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation));
    const Removal removal = QFile::moveToTrash(host) ? Removal::Trashed
                            : QFile::remove(host)    ? Removal::Deleted
                                                     : Removal::Failed;
    if (removal != Removal::Failed)
        winpath::noteRemoved(host);
    return removal;
}

} // namespace sc::fileops
