#pragma once

#include <QByteArray>
#include <QFile>
#include <QHashFunctions>
#include <QRegularExpression>
#include <QString>
#include <QStringList>
#include <QUrl>
#include <optional>
#include <vector>

// What the file system holds under a name, found without ever blocking. Only regular files
// (and links to them) are pictures: opening a named pipe would wait for a writer for good.
// Paths are path texts, mapped through winpath::hostPath.
namespace sc::fileops {

// A folder as the file system knows it, whatever link or spelling led to it.
struct FolderIdentity {
    quint64 device = 0;
    quint64 inode = 0;
    friend bool operator==(const FolderIdentity&, const FolderIdentity&) = default;
    friend size_t qHash(const FolderIdentity& id, size_t seed = 0) {
        return qHashMulti(seed, id.device, id.inode);
    }
};

struct FolderEntry {
    QString name;
    FolderIdentity identity;
};

// A file or folder whose name is not text this program can carry (bytes that are not UTF-8):
// a path spelled with it would lead to another file or none.
struct UnreadableName {
    QString shown;    // the name as Qt decodes it, for matching a mask
    QByteArray bytes; // the name as the file system holds it
    bool isFolder = false;
};

// One reading of a folder, in the file system's listing order; "." and ".." never.
struct FolderListing {
    QStringList files;                      // regular files and links to them
    std::vector<FolderEntry> folders;       // folders and links to them, hidden ones included
    std::vector<UnreadableName> unreadable; // files and folders left out of both lists
};

// Everything else (pipes, devices, sockets, links that lead nowhere) is in no list.
FolderListing listFolder(const QString& folder);

std::optional<FolderIdentity> folderIdentity(const QString& folder);

// A regular file or a link to one.
bool isRegularFile(const QString& path);

// Opens a regular file (or a link to one) for reading without ever waiting. Returns 0, or the
// errno value, or kNotARegularFile for a pipe, device or folder.
int openRegularFile(const QString& path, QFile& file);

// The local path a dropped URL names; empty when its bytes are not a name this program can
// carry.
std::optional<QString> localPathOf(const QUrl& url);

// Windows wildcards ('*', '?'), letter case ignored; "*.*" and an empty mask match every name.
class NameMask {
public:
    explicit NameMask(const QString& mask);
    bool matches(const QString& name) const;

private:
    QRegularExpression pattern_;
};

} // namespace sc::fileops
