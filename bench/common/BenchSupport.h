#pragma once

#include "jobs/StatusLine.h"
#include "platform/UserDialogs.h"

#include <QFile>

#include <cstdio>
#include <sys/resource.h>

// What a job needs of the window, stubbed for benchmarks: a status line nobody reads and
// dialogs that answer No, choose nothing and cancel printing.
namespace sc::bench {

class SilentStatus : public jobs::StatusLine {
public:
    void show(const QString&) override {}
    void showIdlePrompt() override {}
    void repaintWindow() override {}
};

class NoDialogs : public UserDialogs {
public:
    void beep() override {}
    void message(const QString& text) override {
        std::fprintf(stderr, "message: %s\n", qPrintable(text));
    }
    bool askYesNo(const QString&) override { return false; }
    QString browseFolder(const QString&, const QString&) override { return {}; }
    QString browseFolderFrom(const QString&, const QString&) override { return {}; }
    void openWithShell(const QString&) override {}
    bool choosePrinter(QPrinter&) override { return false; }
};

// Peak resident memory of this process. Linux keeps ru_maxrss across fork and exec, so a
// child started by a large parent would report the parent's peak; VmHWM starts afresh.
inline long peakKilobytes() {
    QFile status(QStringLiteral("/proc/self/status"));
    if (status.open(QIODevice::ReadOnly)) {
        for (const QByteArray& line : status.readAll().split('\n'))
            if (line.startsWith("VmHWM:"))
                return line.mid(6).trimmed().split(' ').first().toLong();
    }
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss;
}

} // namespace sc::bench
