#include "FolderBrowser.h"

#include <QDir>
#include <QUrl>

namespace sc {

ConfinedFolderDialog::ConfinedFolderDialog(QWidget* owner, const QString& title,
                                           const QString& hostRoot)
    : QFileDialog(owner, title, hostRoot), root_(QDir::cleanPath(hostRoot)) {
    // The platform's own dialog cannot be held inside a folder.
    setOption(QFileDialog::DontUseNativeDialog);
    setOption(QFileDialog::ShowDirsOnly);
    setFileMode(QFileDialog::Directory);
    setSidebarUrls({QUrl::fromLocalFile(root_)});
    setHistory({});
    connect(this, &QFileDialog::directoryEntered, this, &ConfinedFolderDialog::keepInside);
}

bool ConfinedFolderDialog::isInside(const QString& hostPath) const {
    const QString clean = QDir::cleanPath(QDir(root_).absoluteFilePath(hostPath));
    return clean == root_ || clean.startsWith(root_ + u'/') || root_ == u'/';
}

void ConfinedFolderDialog::keepInside(const QString& entered) {
    if (!isInside(entered))
        setDirectory(root_);
}

void ConfinedFolderDialog::accept() {
    const QStringList chosen = selectedFiles();
    if (chosen.isEmpty() || !isInside(chosen.first())) {
        setDirectory(root_);
        return;
    }
    QFileDialog::accept();
}

} // namespace sc
