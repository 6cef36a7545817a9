#pragma once

#include <QByteArray>
#include <QString>

// The temporary a replacing write puts its bytes in, and the removal of those a dead run left.
//
// Where the file system has files without a name (Linux: ext4, btrfs, xfs, tmpfs), the temporary
// has none until just before it is renamed over its target, so a run killed while it writes
// leaves nothing. Elsewhere (a FAT stick) it is named ".sc-<base 36>.tmp" from the start. Either
// way the writer holds an exclusive flock on it from before its name exists until after the
// rename, and a later write into the folder removes only unlocked ones: those of dead runs.
namespace sc::fileops {

struct Temporary {
    int fd = -1;     // the data descriptor; closed, and its close checked, before the rename
    int keeper = -1; // the same open file description: keeps the lock until released
    QByteArray name; // host path; empty while the file has no name
};

// Makes a locked temporary in `folder` (a host path); 0, or the errno of the failure.
int createTemporary(const QByteArray& folder, Temporary& temporary);

// Gives an unnamed temporary its name in `folder`, the last step before the rename; a named one
// keeps its name. 0 or the errno of the failure.
int nameTemporary(const QByteArray& folder, Temporary& temporary);

// A path through which this process can read the temporary until it is released.
QString readablePath(const Temporary& temporary);

// Closes what is open and drops the lock; the temporary's name goes first unless
// `renamedAway`, when the name is the target's now.
void releaseTemporary(Temporary& temporary, bool renamedAway);

// Removes from `folder` (a host path) every temporary of this program that no live writer holds.
void sweepDeadTemporaries(const QByteArray& folder);

} // namespace sc::fileops
