#include "FileWrites.h"

#include "FileFailure.h"
#include "FileOps.h"
#include "FolderIndex.h"
#include "WinPath.h"
#include "WriteTemporaries.h"

#include <QFile>

#include <atomic>
#include <cerrno>
#include <set>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace sc::fileops {

// --- the fault seam ---------------------------------------------------------------------------

namespace {
std::atomic<WriteFaults*> installedFaults{nullptr};
} // namespace

WriteFaults::WriteFaults(WriteStep step, int nth, int error)
    : step_(step), nth_(nth), error_(error) {
    installedFaults.store(this);
}

WriteFaults::~WriteFaults() {
    installedFaults.store(nullptr);
}

int WriteFaults::injected(WriteStep step) {
    WriteFaults* faults = installedFaults.load();
    if (!faults || faults->step_ != step)
        return 0;
    return ++faults->calls_ >= faults->nth_ ? faults->error_ : 0;
}

// --- system calls, each with its fault --------------------------------------------------------

namespace {

// Each returns 0 or the errno of its failure.
int writeAll(int fd, const char* data, qint64 size) {
    while (size > 0) {
        if (const int e = WriteFaults::injected(WriteStep::Write))
            return e;
        const ssize_t n = ::write(fd, data, size_t(size));
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0)
            return errno;
        if (n == 0)
            return kShortWrite;
        data += n;
        size -= n;
    }
    return 0;
}

int syncFd(int fd) {
    if (const int e = WriteFaults::injected(WriteStep::Sync))
        return e;
    return ::fsync(fd) == 0 ? 0 : errno;
}

// Starts writing the file out now, while the job still computes, so that the job's closing
// syncOutputs() waits for little. Only a hint: that sync checks the outcome.
void startWriteback(int fd) {
#ifdef __linux__
    (void)::sync_file_range(fd, 0, 0, SYNC_FILE_RANGE_WRITE);
#else
    (void)fd;
#endif
}

int closeFd(int fd) {
    const int e = WriteFaults::injected(WriteStep::Close);
    // The descriptor is gone after close() whatever it says: never close it twice.
    if (::close(fd) != 0 && errno != EINTR)
        return errno;
    return e;
}

int renameOver(const QByteArray& from, const QByteArray& to) {
    if (const int e = WriteFaults::injected(WriteStep::Rename))
        return e;
    return ::rename(from.constData(), to.constData()) == 0 ? 0 : errno;
}

QByteArray folderOfHost(const QByteArray& host) {
    const qsizetype slash = host.lastIndexOf('/');
    if (slash < 0)
        return QByteArrayLiteral(".");
    return slash == 0 ? QByteArrayLiteral("/") : host.left(slash);
}

// Runs `work` on an open descriptor of `folder`; 0 or the errno of the open or of the work.
template <typename Work> int withFolder(const QByteArray& folder, Work work) {
    const int fd = ::open(folder.constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0)
        return errno;
    const int e = work(fd);
    ::close(fd);
    return e;
}

int syncFolder(const QByteArray& folder) {
    return withFolder(folder, syncFd);
}

int syncFileSystem(const QByteArray& folder) {
    return withFolder(folder, [](int fd) {
        if (const int e = WriteFaults::injected(WriteStep::Sync))
            return e;
        return ::syncfs(fd) == 0 ? 0 : errno;
    });
}

// What stands at the name a file is written to.
enum class AtTarget { Nothing, Link, File };

// Why the name `target` cannot be replaced by a file, or 0. A link is replaced itself, so what
// it points at does not matter; a read-only file stays, as it would on Windows.
int replaceableCause(const QByteArray& target, AtTarget& found, struct stat& st) {
    found = AtTarget::Nothing;
    if (::lstat(target.constData(), &st) != 0)
        return errno == ENOENT ? 0 : errno;
    if (S_ISLNK(st.st_mode)) {
        found = AtTarget::Link;
        return 0;
    }
    if (S_ISDIR(st.st_mode))
        return EISDIR;
    if (!S_ISREG(st.st_mode))
        return kNotARegularFile;
    if (!(st.st_mode & S_IWUSR))
        return kReadOnlyFile;
    found = AtTarget::File;
    return 0;
}

} // namespace

// --- ReplacingFile ----------------------------------------------------------------------------

ReplacingFile::ReplacingFile(const QString& path, Durability durability)
    : path_(path), target_(QFile::encodeName(winpath::hostPath(path))), durability_(durability) {
    struct stat old {};
    AtTarget found = AtTarget::Nothing;
    if (fail(replaceableCause(target_, found, old)))
        return;
    replaces_ = found != AtTarget::Nothing;
    const QByteArray folder = folderOfHost(target_);
    if (winpath::firstWriteInto(QFile::decodeName(folder)))
        sweepDeadTemporaries(folder);
    if (fail(createTemporary(folder, temporary_)))
        return;
    // The new file takes the place of the old one in every respect a user sees (its owner: only
    // root may set it, and only root needs to).
    if (found == AtTarget::File) {
        (void)::fchown(temporary_.fd, old.st_uid, old.st_gid);
        (void)::fchmod(temporary_.fd, old.st_mode & 07777);
    }
}

ReplacingFile::~ReplacingFile() {
    if (!committed_)
        discard();
}

bool ReplacingFile::fail(int error) {
    if (error != 0 && error_ == 0)
        error_ = error;
    return error_ != 0;
}

void ReplacingFile::discard() {
    releaseTemporary(temporary_, false);
}

void ReplacingFile::replaceOnly(const std::optional<FileIdentity>& chosen) {
    checksChosen_ = true;
    chosen_ = chosen;
}

// The last step: the rename, when the name still holds what may be replaced.
int ReplacingFile::takeName() const {
    const QByteArray& temporary = temporary_.name;
    if (!checksChosen_)
        return renameOver(temporary, target_);
    if (!chosen_) {
        if (const int e = WriteFaults::injected(WriteStep::Rename))
            return e;
        return renameToFreeName(temporary, target_);
    }
    return fileIdentity(path_) == chosen_ ? renameOver(temporary, target_) : EEXIST;
}

bool ReplacingFile::write(const char* data, qint64 size) {
    if (error_ != 0)
        return false;
    return !fail(writeAll(temporary_.fd, data, size));
}

bool ReplacingFile::commit() {
    const bool keep = durability_ == Durability::Kept && replaces_;
    if (durability_ == Durability::Kept && !replaces_ && error_ == 0)
        startWriteback(temporary_.fd);
    const QByteArray folder = folderOfHost(target_);
    if (error_ != 0 || (keep && fail(syncFd(temporary_.fd))) ||
        fail(closeFd(std::exchange(temporary_.fd, -1))) ||
        fail(nameTemporary(folder, temporary_)) || fail(takeName())) {
        discard();
        return false;
    }
    releaseTemporary(temporary_, true);
    committed_ = true;
    winpath::noteAdded(QFile::decodeName(target_)); // a job's kept listing of the folder follows
    // The new name must outlive a crash as surely as the old file would have.
    return !(keep && fail(syncFolder(folder)));
}

void ReplacingFile::raise() const {
    throw fileFailure(FileAction::Write, path_, error_);
}

// --- whole files and folders ------------------------------------------------------------------

void writeFileReplacing(const QString& path, const QByteArray& bytes) {
    ReplacingFile file(path);
    if (!file.write(bytes) || !file.commit())
        file.raise();
}

void makeFoldersOrRaise(const QString& path) {
    if (const int error = makeFoldersError(path))
        throw fileFailure(FileAction::MakeFolder, path, error);
}

namespace {

// Syncs the file system of `path`'s folder unless `synced` holds it already; 0 or the errno.
int syncFileSystemOf(const QString& path, std::set<dev_t>& synced, QByteArray& folder) {
    folder = folderOfHost(QFile::encodeName(winpath::hostPath(path)));
    struct stat st {};
    if (::stat(folder.constData(), &st) != 0)
        return errno;
    return synced.insert(st.st_dev).second ? syncFileSystem(folder) : 0;
}

} // namespace

void syncOutputs(const QStringList& paths) {
    std::set<dev_t> synced;
    for (const QString& path : paths) {
        QByteArray folder;
        if (const int e = syncFileSystemOf(path, synced, folder))
            throw fileFailure(FileAction::Write, QFile::decodeName(folder), e);
    }
}

void syncWritten(const QString& path) {
    std::set<dev_t> synced;
    QByteArray folder;
    if (const int e = syncFileSystemOf(path, synced, folder))
        throw fileFailure(FileAction::Write, path, e);
}

} // namespace sc::fileops
