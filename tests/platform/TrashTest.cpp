// Sources leave through the desktop's trash of their own volume, on a real second volume.
#include "IsolatedTrash.h"
#include "platform/FileIdentity.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QUrl>
#include <gtest/gtest.h>
#include <unistd.h>

using sc::fileops::Removal;

namespace {

// A small tmpfs, a volume other than the home's, while it lives (root only).
class SecondVolume {
public:
    SecondVolume() {
        mounted_ = ::geteuid() == 0 && QProcess::execute("mount", {"-t", "tmpfs", "-o", "size=1m",
                                                                   "tmpfs", dir_.path()}) == 0;
    }
    ~SecondVolume() {
        if (mounted_)
            QProcess::execute("umount", {dir_.path()});
    }
    bool mounted() const { return mounted_; }
    QString file(const QString& name, const QByteArray& bytes = "picture") const {
        QFile f(dir_.filePath(name));
        EXPECT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(bytes);
        return f.fileName();
    }
    QString path(const QString& name) const { return dir_.filePath(name); }

private:
    QTemporaryDir dir_;
    bool mounted_ = false;
};

QByteArray contentsOf(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("(missing)");
}

} // namespace

// On a volume of its own the trash is the volume's $topdir/.Trash-$uid, with the record of
// where the file was; where that trash cannot be made, the file is deleted
// rather than left or copied across volumes.
TEST(Trash, AFileOnAnotherVolumeGoesToThatVolumesTrashOrIsDeleted) {
    sc::test::IsolatedTrash homeTrash;
    SecondVolume volume;
    if (!volume.mounted())
        GTEST_SKIP() << "needs root to mount a tmpfs";
    const QString trash = volume.path(QStringLiteral(".Trash-%1").arg(::getuid()));

    const QString a = volume.file("a.bmp", "picture a");
    EXPECT_EQ(sc::fileops::moveToTrashOrDelete(a), Removal::Trashed);
    EXPECT_FALSE(QFile::exists(a));
    EXPECT_EQ(contentsOf(trash + "/files/a.bmp"), "picture a");
    const QByteArray record = contentsOf(trash + "/info/a.bmp.trashinfo");
    // Relative to the top folder or absolute: the desktop reads either.
    EXPECT_TRUE(record.contains("\nPath=a.bmp\n") ||
                record.contains("\nPath=" + QUrl::toPercentEncoding(a, "/") + "\n"))
        << record.constData();
    EXPECT_FALSE(QFile::exists(homeTrash.files() + "/a.bmp"));

    // A file where the volume's trash folder would be: no trash here.
    QDir(trash).removeRecursively();
    volume.file(trash.mid(trash.lastIndexOf(u'/') + 1));
    const QString b = volume.file("b.bmp");
    EXPECT_EQ(sc::fileops::moveToTrashOrDelete(b), Removal::Deleted);
    EXPECT_FALSE(QFile::exists(b));
}
