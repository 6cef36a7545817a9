#include "Locks.h"

#include <cerrno>

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace sc::fileops::locks {

namespace {

// Whether `fd` is still the file at `host`: whoever dropped or swept it may have removed the
// name between this process's open and its lock.
bool stillNamed(int fd, const QByteArray& host) {
    struct stat held {
    }, named{};
    return ::fstat(fd, &held) == 0 && held.st_nlink > 0 && ::lstat(host.constData(), &named) == 0 &&
           held.st_dev == named.st_dev && held.st_ino == named.st_ino;
}

int openFor(const QByteArray& host, Making making) {
    switch (making) {
    case Making::New:
        return ::open(host.constData(), O_RDWR | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0644);
    case Making::IfAbsent:
        return ::open(host.constData(), O_RDWR | O_CREAT | O_NOFOLLOW | O_CLOEXEC, 0644);
    case Making::Never:
        break;
    }
    return ::open(host.constData(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
}

} // namespace

int take(const QByteArray& host, Making making) {
    // Only a regular file is ever opened to be locked: opening a device can do things.
    struct stat named {};
    if (making == Making::Never && ::lstat(host.constData(), &named) == 0 &&
        !S_ISREG(named.st_mode)) {
        errno = EWOULDBLOCK;
        return -1;
    }
    // A file made anew by another process after a drop is another file: try that one too.
    for (int attempt = 0; attempt < 100; ++attempt) {
        const int fd = openFor(host, making);
        if (fd < 0)
            return -1;
        struct stat st {};
        if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
            ::close(fd);
            errno = EWOULDBLOCK; // not a lock file of ours: never taken
            return -1;
        }
        if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
            const int e = errno == EINTR ? EWOULDBLOCK : errno;
            ::close(fd);
            errno = e;
            return -1;
        }
        if (stillNamed(fd, host))
            return fd;
        ::close(fd);
        if (making != Making::IfAbsent) {
            errno = making == Making::New ? EEXIST : ENOENT;
            return -1;
        }
    }
    errno = EWOULDBLOCK;
    return -1;
}

void drop(int fd, const QByteArray& host) {
    if (fd < 0)
        return;
    ::unlink(host.constData());
    ::close(fd);
}

} // namespace sc::fileops::locks
