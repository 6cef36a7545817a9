#pragma once

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QString>

#include <sys/stat.h>
#include <unistd.h>

namespace sc::test {

// A real FAT file system, a USB stick's, for a test: an image made by mkfs.vfat, mounted on
// `folder` (created) through a loop device, or through fusefat where the kernel has no FAT
// driver. Only as root with those tools; unmounted and removed when it goes.
class FatDisk {
public:
    FatDisk(const QString& image, const QString& folder, qint64 bytes)
        : image_(image), folder_(folder) {
        if (::geteuid() != 0 || !QDir().mkpath(folder))
            return;
        QFile file(image);
        if (!file.open(QIODevice::WriteOnly) || !file.resize(bytes))
            return;
        file.close();
        if (run("mkfs.vfat", {image}) != 0)
            return;
        mounted_ = run("mount", {"-t", "vfat", "-o", "loop", image, folder}) == 0 ||
                   (run("fusefat", {"-o", "rw+", image, folder}) == 0 && isMountPoint());
    }
    ~FatDisk() {
        if (mounted_)
            run("umount", {folder_});
        QFile::remove(image_);
    }
    FatDisk(const FatDisk&) = delete;
    FatDisk& operator=(const FatDisk&) = delete;

    bool mounted() const { return mounted_; }

private:
    static int run(const QString& program, const QStringList& arguments) {
        // Not a pipe: fusefat stays behind as the mount's server and would write into it.
        QProcess process;
        process.setStandardOutputFile(QProcess::nullDevice());
        process.setStandardErrorFile(QProcess::nullDevice());
        process.start(program, arguments);
        if (!process.waitForFinished(20000))
            return -1;
        return process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
    }
    bool isMountPoint() const {
        struct stat inside {
        }, above{};
        return ::stat(QFile::encodeName(folder_).constData(), &inside) == 0 &&
               ::stat(QFile::encodeName(folder_ + "/..").constData(), &above) == 0 &&
               inside.st_dev != above.st_dev;
    }

    QString image_;
    QString folder_;
    bool mounted_ = false;
};

} // namespace sc::test
