#pragma once

#include <QString>
#include <QStringList>
#include <functional>

// The folder scan: lists what matches `SearchName` in `Directory` and, when `Recursive` is on,
// in every folder below it, breadth first. Matches are not examined further: a folder whose
// name matches the mask is handed on like a file.
class TSearchFile {
public:
    using FindHandler = std::function<void(const QString& path)>;

    QString Directory;
    // Windows wildcards, letter case ignored; an empty mask means "*.*".
    QString SearchName;
    bool Recursive = true;
    // Receives every match as folder, separator and name.
    FindHandler OnFind;

    // One run over the folders of folders(), in their order.
    void Execute() const;

    // The folders one run searches: the start folder made absolute, then (when recursive)
    // every folder below it in breadth-first order, each folder's entries in listing order.
    QStringList folders() const;

    // `dir` made absolute. A Windows path is spelled as the system spells a full path
    // (backslashes, "." and ".." resolved); a host path is cleaned against the current folder.
    static QString absoluteFolder(const QString& dir);
    // Joins a folder and a name with the folder's own separator: `\` for a Windows path,
    // "/" for a host path; none is added when the folder already ends in one.
    static QString joined(const QString& folder, const QString& name);
};
