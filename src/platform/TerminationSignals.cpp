#include "TerminationSignals.h"

#include <QtGlobal>

#ifdef Q_OS_UNIX
#include <QSocketNotifier>
#include <cerrno>
#include <csignal>
#include <fcntl.h>
#include <unistd.h>
#endif

namespace sc {

#ifdef Q_OS_UNIX

namespace {

// A signal handler may do almost nothing: it writes one byte into a pipe whose other end the
// event loop watches (the self-pipe).
int wakeUpPipe[2] = {-1, -1};
constexpr int kSignals[] = {SIGTERM, SIGINT};

extern "C" void onTerminationSignal(int) {
    const int savedErrno = errno;
    const char byte = 1;
    [[maybe_unused]] const auto written = ::write(wakeUpPipe[1], &byte, 1);
    errno = savedErrno;
}

bool openWakeUpPipe() {
    if (::pipe(wakeUpPipe) != 0)
        return false;
    for (const int fd : wakeUpPipe) {
        // Not inherited by programs this one starts; never blocking the handler or the loop.
        ::fcntl(fd, F_SETFD, FD_CLOEXEC);
        ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) | O_NONBLOCK);
    }
    return true;
}

void setHandler(void (*handler)(int), int flags) {
    struct sigaction action {};
    action.sa_handler = handler;
    sigemptyset(&action.sa_mask);
    action.sa_flags = flags;
    for (const int signal : kSignals)
        ::sigaction(signal, &action, nullptr);
}

} // namespace

TerminationSignals::TerminationSignals(QObject* parent) : QObject(parent) {
    if (!openWakeUpPipe())
        return;
    notifier_ = new QSocketNotifier(wakeUpPipe[0], QSocketNotifier::Read, this);
    connect(notifier_, &QSocketNotifier::activated, this, [this] {
        char bytes[16];
        while (::read(wakeUpPipe[0], bytes, sizeof bytes) > 0) {
        }
        emit received();
    });
    setHandler(onTerminationSignal, SA_RESTART | SA_RESETHAND);
}

TerminationSignals::~TerminationSignals() {
    if (!notifier_)
        return;
    setHandler(SIG_DFL, 0);
    delete notifier_;
    for (int& fd : wakeUpPipe) {
        ::close(fd);
        fd = -1;
    }
}

#else

TerminationSignals::TerminationSignals(QObject* parent) : QObject(parent) {}
TerminationSignals::~TerminationSignals() = default;

#endif

} // namespace sc
