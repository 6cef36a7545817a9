#pragma once

#include <QByteArray>
#include <QDir>
#include <QTemporaryDir>

namespace sc::test {

// While it lives, the desktop's trash is a folder of its own: a home (so a file under the
// temporary folder is on the home volume) whose data folder holds the trash.
class IsolatedTrash {
public:
    IsolatedTrash() : home_(qgetenv("HOME")), data_(qgetenv("XDG_DATA_HOME")) {
        QDir().mkpath(dir_.filePath("data"));
        qputenv("HOME", QFile::encodeName(dir_.path()));
        qputenv("XDG_DATA_HOME", QFile::encodeName(dir_.filePath("data")));
    }
    ~IsolatedTrash() {
        qputenv("HOME", home_);
        if (data_.isEmpty())
            qunsetenv("XDG_DATA_HOME");
        else
            qputenv("XDG_DATA_HOME", data_);
    }
    // The trash's folder of trashed files and its folder of their records.
    QString files() const { return dir_.filePath("data/Trash/files"); }
    QString info() const { return dir_.filePath("data/Trash/info"); }

private:
    QTemporaryDir dir_;
    QByteArray home_, data_;
};

} // namespace sc::test
