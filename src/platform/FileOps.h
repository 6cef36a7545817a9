#pragma once

#include <QByteArray>
#include <QDateTime>
#include <QString>
#include <QStringList>
#include <optional>

// Windows-like file operations on path texts (mapped through winpath::hostPath).
namespace sc::fileops {

bool exists(const QString& path);
bool isFolder(const QString& path);

// Names in `folder` that match `mask` (Windows wildcards, letter case ignored), in the file
// system's listing order; "." and ".." never. "*.*" and an empty mask match every name.
QStringList listMatching(const QString& folder, const QString& mask);
// Names of the sub-folders of `folder` in listing order, hidden ones included.
QStringList listFolders(const QString& folder);

// Read-only attribute: on POSIX the owner write bit (root ignores permissions, so test bits).
bool isReadOnly(const QString& path);
bool setReadOnly(const QString& path, bool readOnly);

// Last-write time in the 2-second file-date format, local time. Empty for a missing file or a
// time that the format cannot hold (before 1980 or after 2107).
std::optional<QDateTime> lastWriteTime(const QString& path);
bool setLastWriteTime(const QString& path, const QDateTime& localTime);
// Truncates to the 2-second file-date format; empty outside 1980 ... 2107.
std::optional<QDateTime> toFileDate(const QDateTime& localTime);

// Renames without ever replacing: fails when `to` exists, `from` is missing or `to` is invalid.
bool renameNoReplace(const QString& from, const QString& to);
// The same on host paths: 0, EEXIST when a file has the name `toHost`, or the errno of the
// failure. Where the file system can neither rename so nor link (a FAT stick under FUSE), a
// look just before a plain rename is all there is.
int renameToFreeName(const QByteArray& fromHost, const QByteArray& toHost);
bool deleteFile(const QString& path);
// Creates a folder with every missing parent; 0 when it exists afterwards, else the errno
// (ENOTDIR when a file holds its name).
int makeFoldersError(const QString& path);
bool makeFolders(const QString& path);
// Whether the file name of `path` is longer than its folder's file system holds (NAME_MAX
// bytes in the file system's encoding, asked of the nearest existing folder; 255 when none
// can say), so that no file of that name can ever be made there.
bool nameTooLong(const QString& path);
// Size in bytes, or -1 when the file cannot be opened.
qint64 fileSize(const QString& path);

// Opens a file for reading without sharing, as the check that its time can be read: fails for
// a missing file, one the user may not read, one that is no regular file, and one that another
// program holds locked (flock). Write access plays no part: a picture on a write-protected card
// has its time like any other. Releases the file at once.
bool canOpenToReadTime(const QString& path);

// Whether a new file can be made in `folder`, found by making one and removing it again: the
// permission bits alone do not say (root ignores them, a read-only mount overrides them).
bool canCreateFileIn(const QString& folder);

} // namespace sc::fileops
