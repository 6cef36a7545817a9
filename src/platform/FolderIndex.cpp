#include "FolderIndex.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QSet>

#include <atomic>
#include <mutex>
#include <optional>

#ifdef Q_OS_UNIX
#include <sys/stat.h>
#endif

namespace sc::winpath {

namespace {

// What changes when entries of a folder come or go, or the folder is replaced.
struct Stamp {
    qint64 device = 0, inode = 0, seconds = 0, nanoseconds = 0;
    bool operator==(const Stamp&) const = default;
};

std::optional<Stamp> stampOf(const QString& folder) {
#ifdef Q_OS_UNIX
    struct stat st {};
    if (::stat(QFile::encodeName(folder).constData(), &st) != 0)
        return std::nullopt;
    return Stamp{qint64(st.st_dev), qint64(st.st_ino), qint64(st.st_mtim.tv_sec),
                 qint64(st.st_mtim.tv_nsec)};
#else
    const QFileInfo info(folder);
    if (!info.exists())
        return std::nullopt;
    return Stamp{0, 0, info.lastModified().toMSecsSinceEpoch(), 0};
#endif
}

QString folded(const QString& name) {
    return name.toCaseFolded();
}

std::atomic<qint64> listingsMade{0};

QStringList listingOf(const QString& folder) {
    ++listingsMade;
    return QDir(folder).entryList(QDir::AllEntries | QDir::Hidden | QDir::System |
                                  QDir::NoDotAndDotDot);
}

struct Listing {
    Stamp stamp;
    // Every entry under its folded name; the first is the one a lookup finds.
    QHash<QString, QStringList> byFoldedName;

    void add(const QString& name) {
        QStringList& names = byFoldedName[folded(name)];
        if (!names.contains(name))
            names << name;
    }
    void remove(const QString& name) {
        const auto it = byFoldedName.find(folded(name));
        if (it != byFoldedName.end() && it->removeAll(name) > 0 && it->isEmpty())
            byFoldedName.erase(it);
    }
};

class Index {
public:
    void open() {
        std::lock_guard lock(guard_);
        ++scopes_;
    }
    void close() {
        std::lock_guard lock(guard_);
        if (--scopes_ == 0) {
            listings_.clear();
            writtenInto_.clear();
        }
    }

    bool firstWriteInto(const QString& folder) {
        std::lock_guard lock(guard_);
        if (scopes_ == 0)
            return true;
        if (writtenInto_.contains(folder))
            return false;
        writtenInto_.insert(folder);
        return true;
    }

    QString find(const QString& folder, const QString& name) {
        std::lock_guard lock(guard_);
        if (scopes_ == 0)
            return firstNamedLike(listingOf(folder), name);
        const std::optional<Stamp> stamp = stampOf(folder);
        if (!stamp) {
            listings_.remove(folder);
            return QString();
        }
        auto it = listings_.find(folder);
        if (it == listings_.end() || !(it->stamp == *stamp))
            it = listings_.insert(folder, listed(folder, *stamp));
        return it->byFoldedName.value(folded(name)).value(0);
    }

    // The program made (or removed) `name` in `folder`: a kept listing follows.
    void note(const QString& folder, const QString& name, bool added) {
        std::lock_guard lock(guard_);
        const auto it = listings_.find(folder);
        if (it == listings_.end())
            return;
        if (added)
            it->add(name);
        else
            it->remove(name);
        restamp(it);
    }

private:
    static QString firstNamedLike(const QStringList& entries, const QString& name) {
        for (const QString& entry : entries) {
            if (entry.compare(name, Qt::CaseInsensitive) == 0)
                return entry;
        }
        return QString();
    }

    // The stamp is taken before the listing: a change made while listing shows next time.
    static Listing listed(const QString& folder, const Stamp& stamp) {
        Listing listing{stamp, {}};
        const QStringList entries = listingOf(folder);
        listing.byFoldedName.reserve(entries.size());
        for (const QString& entry : entries)
            listing.add(entry);
        return listing;
    }

    // Our own change is in the listing now; the folder's new stamp is what we compare with.
    void restamp(QHash<QString, Listing>::iterator it) {
        if (const std::optional<Stamp> stamp = stampOf(it.key()))
            it->stamp = *stamp;
        else
            listings_.erase(it);
    }

    std::mutex guard_;
    int scopes_ = 0;
    QHash<QString, Listing> listings_; // by host folder path
    QSet<QString> writtenInto_;        // host folders
};

Index& index() {
    static Index instance;
    return instance;
}

// "/a/b/name" (or "/a/b/name/") -> ("/a/b", "name").
std::pair<QString, QString> split(QString hostPath) {
    while (hostPath.size() > 1 && hostPath.endsWith(u'/'))
        hostPath.chop(1);
    const int slash = hostPath.lastIndexOf(u'/');
    if (slash < 0)
        return {QStringLiteral("."), hostPath};
    return {slash == 0 ? QStringLiteral("/") : hostPath.left(slash), hostPath.mid(slash + 1)};
}

} // namespace

FolderListingScope::FolderListingScope() {
    index().open();
}

FolderListingScope::~FolderListingScope() {
    index().close();
}

QString entryNamedLike(const QString& folder, const QString& name) {
    return index().find(folder, name);
}

qint64 folderListingsMade() {
    return listingsMade;
}

bool firstWriteInto(const QString& folder) {
    return index().firstWriteInto(folder);
}

void noteAdded(const QString& hostPath) {
    const auto [folder, name] = split(hostPath);
    index().note(folder, name, true);
}

void noteRemoved(const QString& hostPath) {
    const auto [folder, name] = split(hostPath);
    index().note(folder, name, false);
}

} // namespace sc::winpath
