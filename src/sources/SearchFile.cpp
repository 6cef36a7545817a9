#include "SearchFile.h"

#include "platform/FileKinds.h"
#include "platform/FileOps.h"
#include "platform/WinPath.h"

#include <QDir>
#include <QRegularExpression>
#include <QSet>
#include <deque>

namespace sc::sources {

namespace {

QString windowsFullPath(const QString& dir) {
    static const QRegularExpression separators(QStringLiteral("[\\\\/]"));
    QStringList parts;
    for (const QString& part : dir.mid(2).split(separators, Qt::SkipEmptyParts)) {
        if (part == u".")
            continue;
        if (part == u"..") {
            if (!parts.isEmpty())
                parts.removeLast();
            continue;
        }
        parts << part;
    }
    return dir.left(2) + u'\\' + parts.join(u'\\');
}

} // namespace

QString TSearchFile::absoluteFolder(const QString& dir) {
    if (winpath::isWindowsPath(dir))
        return windowsFullPath(dir);
    return QDir::cleanPath(QDir::current().absoluteFilePath(dir));
}

QString TSearchFile::joined(const QString& folder, const QString& name) {
    if (winpath::isWindowsPath(folder) && !winpath::staysOneName(name))
        return winpath::join(folder, name);
    const QChar separator = winpath::isWindowsPath(folder) ? u'\\' : u'/';
    return folder.endsWith(separator) ? folder + name : folder + separator + name;
}

// Each folder is read once, as it is reached: its sub-folders join the queue (unless that
// folder was reached before, by a link or another way), then `visit` sees its files.
void TSearchFile::walk(const FolderVisit& visit) const {
    const QString start = absoluteFolder(Directory);
    if (!Recursive) {
        visit(start, fileops::listFolder(start));
        return;
    }
    const std::optional<fileops::FolderIdentity> startIdentity = fileops::folderIdentity(start);
    if (!startIdentity)
        return;
    QSet<fileops::FolderIdentity> reached{*startIdentity};
    std::deque<QString> queue{start};
    while (!queue.empty()) {
        const QString folder = std::move(queue.front());
        queue.pop_front();
        const fileops::FolderListing listing = fileops::listFolder(folder);
        for (const fileops::FolderEntry& sub : listing.folders) {
            if (!reached.contains(sub.identity)) {
                reached.insert(sub.identity);
                queue.push_back(joined(folder, sub.name));
            }
        }
        visit(folder, listing);
    }
}

QStringList TSearchFile::folders() const {
    QStringList found;
    walk([&found](const QString& folder, const fileops::FolderListing&) { found << folder; });
    return found;
}

void TSearchFile::Execute() const {
    const fileops::NameMask mask(SearchName);
    walk([&](const QString& folder, const fileops::FolderListing& listing) {
        for (const QString& name : listing.files) {
            if (OnFind && mask.matches(name))
                OnFind(joined(folder, name));
        }
        for (const fileops::UnreadableName& name : listing.unreadable) {
            const bool leftOut = name.isFolder ? Recursive : mask.matches(name.shown);
            if (OnUnreadable && leftOut)
                OnUnreadable(folder, name.bytes);
        }
    });
}

} // namespace sc::sources
