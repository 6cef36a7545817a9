#pragma once

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QString>

#include <algorithm>

#include <sys/mount.h>
#include <unistd.h>

namespace sc::test {

// A real, small file system for a test: a tmpfs of `bytes` mounted on `folder` (created), only
// when the test runs as root. Unmounted when it goes, also after a failed expectation.
class SmallTmpfs {
public:
    SmallTmpfs(const QString& folder, qint64 bytes) : folder_(folder) {
        if (::geteuid() != 0 || !QDir().mkpath(folder))
            return;
        const QByteArray options = "size=" + QByteArray::number(bytes);
        mounted_ = ::mount("tmpfs", QFile::encodeName(folder).constData(), "tmpfs", 0,
                           options.constData()) == 0;
    }
    ~SmallTmpfs() {
        if (mounted_)
            ::umount2(QFile::encodeName(folder_).constData(), MNT_DETACH);
    }
    SmallTmpfs(const SmallTmpfs&) = delete;
    SmallTmpfs& operator=(const SmallTmpfs&) = delete;

    bool mounted() const { return mounted_; }

    // Mounts it again read-only: what it holds can be read, nothing written, moved or deleted.
    bool makeReadOnly() const {
        return mounted_ && ::mount(nullptr, QFile::encodeName(folder_).constData(), nullptr,
                                   MS_REMOUNT | MS_RDONLY, nullptr) == 0;
    }

    // Takes all the space with a file of its own, then gives `leave` bytes back (whole pages).
    void fillLeaving(qint64 leave) const {
        QFile ballast(folder_ + QStringLiteral("/.ballast"));
        if (!ballast.open(QIODevice::WriteOnly | QIODevice::Unbuffered))
            return;
        const QByteArray block(4096, 'b');
        while (ballast.write(block) == block.size()) {
        }
        ballast.resize(std::max<qint64>(0, ballast.size() - leave));
    }

private:
    QString folder_;
    bool mounted_ = false;
};

} // namespace sc::test
