#include "SourceCommands.h"

#include "SearchFile.h"
#include "SourceList.h"
#include "platform/FileKinds.h"
#include "platform/FileOps.h"
#include "platform/UserDialogs.h"
#include "platform/WinPath.h"

#include <QDir>
#include <QSet>

namespace sc::sources {

// Collects what one command finds and inserts it into the list in one step at the end; names
// that could not be carried are counted and told once.
class TSourceCommands::Batch {
public:
    explicit Batch(TSourceCommands& owner) : owner_(owner), outer_(owner.batch_) {
        if (!outer_)
            owner_.batch_ = this;
    }
    ~Batch() {
        if (outer_)
            return;
        owner_.batch_ = nullptr;
        owner_.list_.addAll(std::move(found_));
        if (const int count = int(unreadable_.size()) + unreadableDropped_; count > 0)
            owner_.dialogs_.message(unreadableNamesMessage(count));
    }
    Batch(const Batch&) = delete;
    Batch& operator=(const Batch&) = delete;

    void add(const QString& path) { found_.append(path); }
    // A name met by both masks of a scan (a folder) counts once.
    void addUnreadable(const QString& folder, const QByteArray& name) {
        unreadable_.insert(folder + u'/' + QString::fromLatin1(name));
    }
    void addUnreadableDropped(int count) { unreadableDropped_ += count; }

private:
    TSourceCommands& owner_;
    Batch* outer_;
    QStringList found_;
    QSet<QString> unreadable_;
    int unreadableDropped_ = 0;
};

TSourceCommands::TSourceCommands(TSourceList& list, TSearchFile& search, sc::UserDialogs& dialogs,
                                 StatusSink showStatus)
    : list_(list), search_(search), dialogs_(dialogs), showStatus_(std::move(showStatus)) {
    search_.OnFind = [this](const QString& path) { addFound(path); };
    search_.OnUnreadable = [this](const QString& folder, const QByteArray& name) {
        if (batch_)
            batch_->addUnreadable(folder, name);
    };
}

TSourceCommands::~TSourceCommands() {
    search_.OnFind = nullptr;
    search_.OnUnreadable = nullptr;
}

const QString& TSourceCommands::startupFolder() {
    static const QString folder = QStringLiteral("C:/Album");
    return folder;
}

const QString& TSourceCommands::deviceFolder() {
    static const QString folder = QStringLiteral("C:\\Program Files\\Snapcycle");
    return folder;
}

bool TSourceCommands::isPictureName(const QString& path) {
    const QString extension = sc::winpath::extensionOf(path);
    return extension.compare(u".BMP", Qt::CaseInsensitive) == 0 ||
           extension.compare(u".JPG", Qt::CaseInsensitive) == 0;
}

bool TSourceCommands::isInsideDeviceFolder(const QString& folder) {
    const QString root = QDir::cleanPath(sc::winpath::hostPath(deviceFolder()));
    const QString chosen = QDir::cleanPath(sc::winpath::hostPath(folder));
    return chosen.compare(root, Qt::CaseInsensitive) == 0 ||
           chosen.startsWith(root + u'/', Qt::CaseInsensitive);
}

void TSourceCommands::addFound(const QString& path) {
    if (batch_)
        batch_->add(path);
    else
        list_.add(path);
}

// Each mask is a run of its own, so a tree gives all its BMP files before its JPEG files;
// the sorted list hides that order. The scanner is left recursive, its usual state.
void TSourceCommands::scanFolder(const QString& folder, bool recursive, const QStringList& masks) {
    Batch batch(*this);
    search_.Directory = folder;
    search_.Recursive = recursive;
    for (const QString& mask : masks) {
        search_.SearchName = mask;
        search_.Execute();
    }
    search_.Recursive = true;
}

void TSourceCommands::scanStartupFolder() {
    scanFolder(startupFolder(), false, {QStringLiteral("*.bmp")});
}

void TSourceCommands::dropFiles(const QStringList& items, int unreadableItems) {
    Batch batch(*this);
    batch.addUnreadableDropped(unreadableItems);
    for (const QString& item : items) {
        if (!sc::fileops::exists(item))
            continue;
        if (sc::fileops::isFolder(item))
            scanFolder(item, true, {QStringLiteral("*.bmp"), QStringLiteral("*.jpg")});
        else if (isPictureName(item) && sc::fileops::isRegularFile(item))
            addFound(item);
    }
}

QString TSourceCommands::unreadableNamesMessage(int count) {
    return QStringLiteral("名前が UTF-8 の文字で書かれていないファイルまたはフォルダが %1 個あり、"
                          "リストに加えられませんでした。")
        .arg(count);
}

// Without a device folder there is nothing to choose from: as if the browser were cancelled.
// A folder outside the device folder, which the browser should never give, is refused the same.
void TSourceCommands::collectFromDeviceFolder() {
    if (!sc::fileops::isFolder(deviceFolder()))
        return;
    const QString folder =
        dialogs_.browseFolder(QStringLiteral("変換元フォルダの選択"), deviceFolder());
    if (folder.isEmpty() || !isInsideDeviceFolder(folder))
        return;
    scanFolder(folder, false, {QStringLiteral("*.bmp"), QStringLiteral("*.jpg")});
}

void TSourceCommands::clearSourceList(const QString& idlePrompt) {
    list_.clear();
    if (showStatus_)
        showStatus_(idlePrompt);
}

} // namespace sc::sources
