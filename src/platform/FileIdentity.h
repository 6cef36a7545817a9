#pragma once

#include <QString>
#include <QtGlobal>
#include <optional>

namespace sc::fileops {

// What tells that a file at a path is still the file that was read there: the file itself
// (device and inode), its size, its last write to the nanosecond and the system's own time of
// its last change, which no program can set back. A file replaced under the same name, or
// rewritten in place, no longer matches, even when its size and write time were restored.
struct FileIdentity {
    quint64 device = 0;
    quint64 inode = 0;
    qint64 size = 0;
    qint64 modifiedNs = 0;
    qint64 changedNs = 0; // 0 where the system keeps no such time

    friend bool operator==(const FileIdentity&, const FileIdentity&) = default;
};

// The identity of the file a path text names (a link is followed); empty when nothing is there.
std::optional<FileIdentity> fileIdentity(const QString& path);

// How a file left its place.
enum class Removal { Trashed, Deleted, Failed };

// Moves a file to the desktop's trash of its volume (with the record that lets the desktop put
// it back); where there is no usable trash, deletes it.
Removal moveToTrashOrDelete(const QString& path);

} // namespace sc::fileops
