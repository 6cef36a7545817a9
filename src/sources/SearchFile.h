#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <functional>

namespace sc::fileops {
struct FolderListing;
}

namespace sc::sources {

// The folder scan: lists the regular files that match `SearchName` in `Directory` and, when
// `Recursive` is on, in every folder below it, breadth first. Links are followed, but a folder
// reached again (through a link, or by two ways) is read only once. Pipes, devices and the
// like are never listed: opening one would wait for good.
//
// A path found keeps its names as the file system holds them: below a Windows-spelled folder
// each name is joined with `\` as long as it reads back as that one name; a name holding a `\`
// is joined to the folder's host path with "/" instead, so the path leads to that file only.
class TSearchFile {
public:
    using FindHandler = std::function<void(const QString& path)>;
    // A match whose name is not text this program can carry: the folder, the name's bytes.
    using UnreadableHandler = std::function<void(const QString& folder, const QByteArray& name)>;

    QString Directory;
    // Windows wildcards, letter case ignored; an empty mask means "*.*".
    QString SearchName;
    bool Recursive = true;
    // Receives every match as folder, separator and name.
    FindHandler OnFind;
    // Receives every file that matches and every folder that a recursive run cannot enter,
    // because its name cannot be carried.
    UnreadableHandler OnUnreadable;

    // One run over the folders of folders(), in their order.
    void Execute() const;

    // The folders one run searches: the start folder made absolute, then (when recursive)
    // every folder below it in breadth-first order, each folder's entries in listing order.
    QStringList folders() const;

    // `dir` made absolute. A Windows path is spelled as the system spells a full path
    // (backslashes, "." and ".." resolved); a host path is cleaned against the current folder.
    static QString absoluteFolder(const QString& dir);
    // Joins a folder and a name found in it: `\` after a Windows path, "/" after a host path
    // (none is added when the folder already ends in one). See above for a name with a `\`.
    static QString joined(const QString& folder, const QString& name);

private:
    using FolderVisit =
        std::function<void(const QString& folder, const sc::fileops::FolderListing& listing)>;
    void walk(const FolderVisit& visit) const;
};

} // namespace sc::sources
