// A JPEG job killed (SIGKILL, as a crash or a power cut ends it) at random moments while it
// has a file open for writing: once the next job has written into the folder, nothing but the
// pictures is there, and every picture still decodes. On a tmpfs, whose temporaries have no name,
// and on a FAT stick's file system, whose temporaries are named.
#include "FatDisk.h"
#include "QStringPrinting.h"
#include "SmallTmpfs.h"
#include "TempProgramFolder.h"
#include "imaging/GKitImage.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QImage>
#include <QProcess>
#include <QRandomGenerator>
#include <QRegularExpression>
#include <QThread>

#include <iostream>

#include <csignal>
#include <unistd.h>

using namespace sc;

namespace {

constexpr int kKills = 25;
// Room for the pictures and the litter of every kill, as far as a run leaves any.
constexpr qint64 kDiskBytes = 256 << 20;

// Noisy pictures, so that their JPEG files are large and each write takes a while:
// BMP ones that get a JPEG beside them and JPEG ones re-encoded in place. Their paths.
QStringList makePictures(const QString& folder) {
    QStringList sources;
    QRandomGenerator noise(7);
    for (int i = 0; i < 8; ++i) {
        QImage picture(800, 600, QImage::Format_RGB32);
        for (int y = 0; y < picture.height(); ++y) {
            auto* row = reinterpret_cast<quint32*>(picture.scanLine(y));
            for (int x = 0; x < picture.width(); ++x)
                row[x] = noise.generate() | 0xff000000u;
        }
        const bool jpeg = i % 4 == 3;
        sources << folder + QStringLiteral("/p%1.%2").arg(i).arg(jpeg ? "jpg" : "bmp");
        EXPECT_TRUE(picture.save(sources.last(), jpeg ? "JPG" : "BMP"));
    }
    return sources;
}

// The job in a process of its own.
class JobProcess {
public:
    explicit JobProcess(const QStringList& sources) {
        process_.setProcessChannelMode(QProcess::ForwardedChannels);
        process_.start(QStringLiteral(SC_JPEG_JOB_CHILD), sources);
        process_.waitForStarted();
    }

    // Its exit code once it has run to its end.
    int finish() {
        process_.waitForFinished(60000);
        return process_.exitStatus() == QProcess::NormalExit ? process_.exitCode() : -1;
    }

    // From `after` ms on, stops the job every ms or so and looks at what it has open: the first
    // time that is a temporary in `folder`, it is killed there (SIGKILL). False when the job
    // ended first.
    bool killWhileWriting(const QString& folder, int after, QRandomGenerator& moments) {
        const pid_t pid = pid_t(process_.processId());
        QThread::msleep(after);
        for (;;) {
            if (::kill(pid, SIGSTOP) != 0)
                break;
            const char state = stateOnceStopped(pid);
            if (state == 'T' && writesInto(pid, folder)) {
                process_.kill();
                process_.waitForFinished(60000);
                return true;
            }
            ::kill(pid, SIGCONT);
            if (state != 'T' && state != 'R' && state != 'S' && state != 'D')
                break; // it has ended
            QThread::usleep(moments.bounded(1000));
        }
        finish();
        return false;
    }

private:
    // The state of the job's main thread, which does every write: 'T' once it has stopped.
    static char stateOnceStopped(pid_t pid) {
        char state = 0;
        for (int i = 0; i < 20000; ++i) {
            QFile stat(QStringLiteral("/proc/%1/stat").arg(pid));
            if (!stat.open(QIODevice::ReadOnly))
                return 0;
            const QByteArray line = stat.readAll();
            const qsizetype name = line.lastIndexOf(')');
            state = name < 0 || name + 2 >= line.size() ? 0 : line[name + 2];
            if (state != 'R' && state != 'S' && state != 'D')
                return state == 't' ? 'T' : state;
            QThread::usleep(100);
        }
        return state; // still running after 2 s: looked at again later
    }
    // A temporary, named (".sc-…") or not yet ("/#<inode> (deleted)"), open in `folder`.
    static bool writesInto(pid_t pid, const QString& folder) {
        const QByteArray prefix = QFile::encodeName(QFileInfo(folder).canonicalFilePath()) + '/';
        const QString fds = QStringLiteral("/proc/%1/fd").arg(pid);
        for (const QString& fd :
             QDir(fds).entryList(QDir::AllEntries | QDir::System | QDir::NoDotAndDotDot)) {
            char target[4096];
            const ssize_t size =
                ::readlink(QFile::encodeName(fds + u'/' + fd).constData(), target, sizeof target);
            const QByteArray path(target, size > 0 ? size : 0);
            if (path.startsWith(prefix) &&
                (path.mid(prefix.size()).startsWith(".sc-") || path.endsWith(" (deleted)")))
                return true;
        }
        return false;
    }

    QProcess process_;
};

QStringList strays(const QString& folder) {
    QStringList names = QDir(folder).entryList(
        QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot, QDir::Name);
    names.removeIf([](const QString& name) {
        return QRegularExpression(QStringLiteral("^p\\d\\.(bmp|jpg)$")).match(name).hasMatch();
    });
    return names;
}

bool decodes(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly) || !file.readAll().endsWith("\xff\xd9"))
        return false; // cut short
    try {
        GKitImage picture;
        picture.Load(path);
        return !picture.isEmpty();
    } catch (const std::exception&) {
        return false;
    }
}

void killJobsIn(const QString& folder, const char* disk) {
    const QStringList sources = makePictures(folder);
    QElapsedTimer timer;
    timer.start();
    ASSERT_EQ(JobProcess(sources).finish(), 0);
    const int jobMs = int(timer.elapsed());

    const quint32 seed = QRandomGenerator::global()->generate();
    QRandomGenerator moments(seed);
    int kills = 0, killsLeavingStrays = 0, tries = 0;
    for (; kills < kKills && tries < 10 * kKills; ++tries) {
        if (!JobProcess(sources).killWhileWriting(folder, moments.bounded(jobMs * 3 / 4), moments))
            continue;
        ++kills;
        killsLeavingStrays += strays(folder).isEmpty() ? 0 : 1;
    }
    EXPECT_GE(kills, 20) << "of " << tries << " jobs";
    ASSERT_EQ(JobProcess(sources).finish(), 0) << "the next job";
    EXPECT_EQ(strays(folder), QStringList()) << disk << ", seed " << seed;
    for (int i = 0; i < 8; ++i)
        EXPECT_TRUE(decodes(folder + QStringLiteral("/p%1.jpg").arg(i))) << i;
    std::cout << disk << ": a job takes " << jobMs << " ms; " << kills << " of " << tries
              << " jobs killed while writing, " << killsLeavingStrays
              << " of them left something until the next job (seed " << seed << ")\n";
}

} // namespace

TEST(KilledJob, NothingIsLeftOnATmpfsAndEveryPictureDecodes) {
    test::TempProgramFolder folder;
    test::SmallTmpfs disk(folder.host("tmpfs"), kDiskBytes);
    if (!disk.mounted())
        GTEST_SKIP() << "mounting a tmpfs needs root";
    killJobsIn(folder.host("tmpfs"), "tmpfs");
}

TEST(KilledJob, NothingIsLeftOnAFatStickAndEveryPictureDecodes) {
    test::TempProgramFolder folder;
    test::FatDisk disk(folder.host("stick.img"), folder.host("stick"), kDiskBytes);
    if (!disk.mounted())
        GTEST_SKIP() << "a FAT stick needs root, mkfs.vfat and a FAT driver (or fusefat)";
    killJobsIn(folder.host("stick"), "FAT");
}
