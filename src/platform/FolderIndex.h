#pragma once

#include <QString>

// Finding a name in a folder regardless of letter case needs the folder's whole listing. A job
// that resolves thousands of outputs in one big folder lists it once: while a scope lives, each
// folder's listing is kept, the program's own creations, renames and deletions are noted in it
// as they happen, and a change made by anyone else (a new modification time or inode of the
// folder) makes it list the folder again. A change by someone else within the same clock tick
// as the program's own last change there (file times advance in ticks of a few milliseconds)
// shows only with the folder's next change or the next job.
namespace sc::winpath {

// Kept listings live from the first scope's start to the last scope's end (a job).
class FolderListingScope {
public:
    FolderListingScope();
    ~FolderListingScope();
    FolderListingScope(const FolderListingScope&) = delete;
    FolderListingScope& operator=(const FolderListingScope&) = delete;
};

// The entry of the host folder `folder` whose name equals `name` when letter case is ignored
// (the first in name order when several do), or an empty text when there is none.
QString entryNamedLike(const QString& folder, const QString& name);

// How many folder listings the lookups have made so far: what a scope saves, for tests and
// benchmarks to see.
qint64 folderListingsMade();

// Whether a write into the host folder `folder` is the first there while a scope lives (every
// write is, outside a scope): what dead runs left there is looked for once per job.
bool firstWriteInto(const QString& folder);

// The program made, or removed, the entry at this host path: kept listings follow.
void noteAdded(const QString& hostPath);
void noteRemoved(const QString& hostPath);

} // namespace sc::winpath
