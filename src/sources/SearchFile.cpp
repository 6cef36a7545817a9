#include "SearchFile.h"

#include "platform/FileOps.h"
#include "platform/WinPath.h"

#include <QDir>
#include <QFileInfo>
#include <QRegularExpression>
#include <vector>

using namespace sc;

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

// Where a folder really is, to notice a link that leads back into the tree being scanned.
QString realLocation(const QString& folder) {
    return QFileInfo(winpath::hostPath(folder)).canonicalFilePath();
}

} // namespace

QString TSearchFile::absoluteFolder(const QString& dir) {
    if (winpath::isWindowsPath(dir))
        return windowsFullPath(dir);
    return QDir::cleanPath(QDir::current().absoluteFilePath(dir));
}

QString TSearchFile::joined(const QString& folder, const QString& name) {
    const QChar separator = winpath::isWindowsPath(folder) ? u'\\' : u'/';
    return folder.endsWith(separator) ? folder + name : folder + separator + name;
}

QStringList TSearchFile::folders() const {
    const QString start = absoluteFolder(Directory);
    if (!Recursive)
        return {start};
    if (!fileops::exists(start))
        return {};

    // The result is also the queue: folder k is listed when the walk reaches it.
    struct Folder {
        QString path;
        QString location;
        int parent;
    };
    std::vector<Folder> found{{start, realLocation(start), -1}};
    for (std::size_t k = 0; k < found.size(); ++k) {
        const QStringList names = fileops::listFolders(found[k].path);
        for (const QString& name : names) {
            Folder sub{joined(found[k].path, name), QString(), static_cast<int>(k)};
            sub.location = realLocation(sub.path);
            // A folder that is its own ancestor (a link back up the tree) would never end.
            bool loops = false;
            for (int a = static_cast<int>(k); a >= 0 && !loops; a = found[a].parent)
                loops = !sub.location.isEmpty() && found[a].location == sub.location;
            if (!loops)
                found.push_back(std::move(sub));
        }
    }
    QStringList paths;
    paths.reserve(static_cast<qsizetype>(found.size()));
    for (Folder& folder : found)
        paths << std::move(folder.path);
    return paths;
}

void TSearchFile::Execute() const {
    for (const QString& folder : folders()) {
        for (const QString& name : fileops::listMatching(folder, SearchName)) {
            if (name == u"." || name == u"..")
                continue;
            if (OnFind)
                OnFind(joined(folder, name));
        }
    }
}
