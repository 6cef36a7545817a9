#pragma once

#include "FileIdentity.h"
#include "WriteTemporaries.h"

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <optional>

// Every file the program writes goes through here: the bytes go to a new temporary file beside
// the target, every write, sync and close is checked, and only then is the temporary renamed
// over the target. A failure leaves the target as it was and no temporary behind, and names its
// cause (FileFailure); a run killed while it writes leaves none either, or one that the next
// write into that folder removes (WriteTemporaries.h). A link at the target's name is replaced,
// never written through.
namespace sc::fileops {

// How much a replaced file matters after a crash.
enum class Durability {
    // Synced before it replaces an older file, and its folder after: the old file or the new
    // one survives a crash, never an empty one. A new file is made durable by syncOutputs().
    Kept,
    // A short-lived file (the print job's page file) is only checked, never synced.
    Scratch,
};

class ReplacingFile {
public:
    // Opens a temporary file beside `path` (a path text), after removing what dead runs left in
    // that folder (once per folder while a winpath::FolderListingScope lives). A target that is
    // read-only, a folder or another kind of non-file fails at once; see error().
    explicit ReplacingFile(const QString& path, Durability durability = Durability::Kept);
    ~ReplacingFile(); // removes the temporary unless commit() succeeded
    ReplacingFile(const ReplacingFile&) = delete;
    ReplacingFile& operator=(const ReplacingFile&) = delete;

    // For a name chosen some time before the write (a PDF chosen in the print dialog): the
    // write replaces only the file that had the name when it was chosen (`chosen`, as
    // fileIdentity() read it then), and nothing when none had it. A file that has come to
    // the name since stays as it is, and commit() fails with EEXIST.
    void replaceOnly(const std::optional<FileIdentity>& chosen);

    // Appends bytes; after a failure every later call does nothing and returns false.
    bool write(const char* data, qint64 size);
    bool write(const QByteArray& bytes) { return write(bytes.constData(), bytes.size()); }
    // Syncs (see Durability), closes and renames over the target; true when all succeeded.
    // After a failure here or before, the temporary is gone.
    bool commit();

    // The errno of the first failure (or kNotARegularFile, kShortWrite, kReadOnlyFile); 0 while
    // all went well.
    int error() const { return error_; }
    // A path through which this process reads back what it wrote before commit(); it may be
    // one of the process's own descriptors, not a name in the target's folder.
    QString temporaryHostPath() const { return readablePath(temporary_); }
    // Raises fileFailure(Write, path, error()).
    [[noreturn]] void raise() const;

private:
    bool fail(int error);
    int takeName() const;
    void discard();

    QString path_;
    QByteArray target_; // host path, encoded
    Temporary temporary_;
    Durability durability_;
    bool replaces_ = false; // something of that name (a file or a link) is being replaced
    bool checksChosen_ = false;
    std::optional<FileIdentity> chosen_; // see replaceOnly()
    int error_ = 0;
    bool committed_ = false;
};

// The whole of `bytes` as the file `path`; raises fileFailure on any failure.
void writeFileReplacing(const QString& path, const QByteArray& bytes);

// Creates a folder with every missing parent; raises fileFailure(MakeFolder) when it cannot.
void makeFoldersOrRaise(const QString& path);

// Puts what a job wrote into the folders of `paths` on disk: one sync of each file system they
// live on. Raises fileFailure(Write) naming the folder whose sync failed.
void syncOutputs(const QStringList& paths);

// Puts one file that was written on disk (a printed PDF) as syncOutputs() does, raising
// fileFailure(Write) that names the file.
void syncWritten(const QString& path);

// Which step of a write a fault is injected into. A replacing write goes Create, Write…, Sync
// (the file, when it replaces one), Close, Link (an unnamed temporary gets its name; only where
// the file system has unnamed files), Rename, Sync (the folder, when it replaced a file).
enum class WriteStep { Create, Write, Sync, Close, Rename, Link };

// Test seam, inert unless a test makes one: while it lives, the n-th call (counted from 1) of
// `step` and every later one fails with `error`, as a disk that has just filled up would.
class WriteFaults {
public:
    WriteFaults(WriteStep step, int nth, int error);
    ~WriteFaults();
    WriteFaults(const WriteFaults&) = delete;
    WriteFaults& operator=(const WriteFaults&) = delete;

    // The errno the current call of `step` fails with, or 0.
    static int injected(WriteStep step);

private:
    WriteStep step_;
    int nth_;
    int error_;
    int calls_ = 0;
};

// Test seam, inert unless a test makes one: while one lives, temporaries are named from the
// start, as on a file system without unnamed files.
class NamedTemporariesOnly {
public:
    NamedTemporariesOnly();
    ~NamedTemporariesOnly();
    NamedTemporariesOnly(const NamedTemporariesOnly&) = delete;
    NamedTemporariesOnly& operator=(const NamedTemporariesOnly&) = delete;

    static bool active();
};

} // namespace sc::fileops
