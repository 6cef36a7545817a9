#pragma once

#include <QByteArray>
#include <QFile>
#include <QString>

#include <sys/mount.h>
#include <sys/stat.h>
#include <unistd.h>

namespace sc::test {

// A folder made read-only for real while this lives: as root, whom permissions do not stop, a
// read-only bind mount of the folder onto itself; otherwise its write permission taken away.
class ReadOnlyFolder {
public:
    explicit ReadOnlyFolder(const QString& folder) : folder_(QFile::encodeName(folder)) {
        if (::geteuid() == 0) {
            mounted_ =
                ::mount(folder_.constData(), folder_.constData(), nullptr, MS_BIND, nullptr) == 0;
            if (mounted_)
                ::mount(nullptr, folder_.constData(), nullptr, MS_REMOUNT | MS_BIND | MS_RDONLY,
                        nullptr);
        } else {
            ::chmod(folder_.constData(), 0555);
        }
    }
    ~ReadOnlyFolder() {
        if (mounted_)
            ::umount2(folder_.constData(), MNT_DETACH);
        else
            ::chmod(folder_.constData(), 0755);
    }
    ReadOnlyFolder(const ReadOnlyFolder&) = delete;
    ReadOnlyFolder& operator=(const ReadOnlyFolder&) = delete;

    // Whether a file really cannot be made there.
    bool holds() const {
        const QByteArray probe = folder_ + "/.probe";
        const int fd = ::open(probe.constData(), O_WRONLY | O_CREAT | O_EXCL, 0600);
        if (fd < 0)
            return true;
        ::close(fd);
        ::unlink(probe.constData());
        return false;
    }

private:
    QByteArray folder_;
    bool mounted_ = false;
};

} // namespace sc::test
