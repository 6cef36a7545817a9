#pragma once

#include <QByteArray>

// Locks held on small files for as long as a process lives (flock): the marks by which copies
// of the program, and runs that were killed, tell what belongs to whom. The lock goes with the
// process that held it, however it ended.
namespace sc::fileops::locks {

enum class Making {
    New,      // the file must not exist yet
    IfAbsent, // the file is made when absent, else the existing one is locked
    Never,    // only an existing file is locked
};

// The descriptor of the file at `host` (a host path), locked for this process alone, or -1 with
// errno: EWOULDBLOCK while another process holds it, EEXIST when Making::New finds a file,
// ENOENT when Making::Never finds none (or the file lost its name while it was being locked).
// What is no regular file (a link, folder, pipe or device) is never locked, nor opened when
// Making::Never: it fails as a held one does.
// A lock is only ever returned for the file that has that name when the call returns.
int take(const QByteArray& host, Making making);

// Removes the name, then lets the lock go: nobody can lock the file in between.
void drop(int fd, const QByteArray& host);

} // namespace sc::fileops::locks
