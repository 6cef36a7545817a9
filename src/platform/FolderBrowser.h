#pragma once

#include <QFileDialog>

namespace sc {

// A folder browser that cannot leave one folder tree: navigating above its root brings the
// user back to the root, and a folder outside the tree (typed or otherwise) is not accepted.
class ConfinedFolderDialog : public QFileDialog {
    Q_OBJECT
public:
    // `hostRoot` is an existing folder of this machine.
    ConfinedFolderDialog(QWidget* owner, const QString& title, const QString& hostRoot);

    // Whether `hostPath` is the root or a folder below it.
    bool isInside(const QString& hostPath) const;

    void accept() override;

private:
    void keepInside(const QString& entered);

    QString root_;
};

} // namespace sc
