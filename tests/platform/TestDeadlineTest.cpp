// The tests' own time limit (tests/common/TestDeadline.h): a test that hangs ends at its limit,
// named, and so does the child its death test started, in either style of death test.
#include "QStringPrinting.h"

#include <QCoreApplication>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QThread>
#include <gtest/gtest.h>

#include <csignal>
#include <unistd.h>

namespace {

// Whether the process `pid` is gone (a zombie nobody reaps yet counts as gone).
bool ended(qint64 pid) {
    QFile stat(QStringLiteral("/proc/%1/stat").arg(pid));
    if (!stat.open(QIODevice::ReadOnly))
        return true;
    const QByteArray fields = stat.readAll();
    return fields.mid(fields.lastIndexOf(')') + 2, 1) == "Z";
}

} // namespace

// Run only by the test below, with a limit of 2 s: its child writes its process id and hangs.
TEST(TestDeadline, DISABLED_HangsInADeathTestChild) {
    EXPECT_EXIT(
        {
            QFile file(qEnvironmentVariable("SC_HANGING_CHILD"));
            if (file.open(QIODevice::WriteOnly))
                file.write(QByteArray::number(qint64(::getpid())));
            file.close();
            for (;;)
                ::pause();
        },
        ::testing::ExitedWithCode(0), "");
}

TEST(TestDeadline, AHangingDeathTestEndsAtTheLimitWithItsChild) {
    for (const char* style : {"threadsafe", "fast"}) {
        QTemporaryDir dir;
        const QString pidFile = dir.filePath(QStringLiteral("child"));
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert(QStringLiteral("SC_TEST_SECONDS"), QStringLiteral("2"));
        environment.insert(QStringLiteral("SC_HANGING_CHILD"), pidFile);
        QProcess run;
        run.setProcessEnvironment(environment);
        run.start(QCoreApplication::applicationFilePath(),
                  {QStringLiteral("--gtest_filter=TestDeadline.DISABLED_HangsInADeathTestChild"),
                   QStringLiteral("--gtest_also_run_disabled_tests"),
                   QStringLiteral("--gtest_death_test_style=") + QLatin1String(style)});
        ASSERT_TRUE(run.waitForFinished(20'000)) << style;
        EXPECT_EQ(run.exitCode(), 3) << style;
        EXPECT_TRUE(run.readAllStandardError().contains(
            "TestDeadline.DISABLED_HangsInADeathTestChild did not end within 2 s"))
            << style;
        QFile file(pidFile);
        ASSERT_TRUE(file.open(QIODevice::ReadOnly)) << style << ": the child never started";
        const qint64 child = file.readAll().toLongLong();
        ASSERT_GT(child, 0) << style;
        for (int i = 0; i < 100 && !ended(child); ++i)
            QThread::msleep(50);
        EXPECT_TRUE(ended(child)) << style << ": the death test's child still runs";
        if (!ended(child))
            ::kill(pid_t(child), SIGKILL);
    }
}
