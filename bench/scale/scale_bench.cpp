// What a job costs as its folders and pictures grow: the JPEG job writing N small pictures
// (renamed after their times) into a folder that already holds M files, against the same job
// into an empty folder; and the peak memory of a job over six decompression bombs, run in a
// child process each so that every peak starts afresh.
//
//   scale_bench [work folder] [pictures] [files already there]   (defaults: temporary, 2000,
//   20000)

#include "BenchSupport.h"
#include "imaging/Buffers.h"
#include "imaging/GKitImage.h"
#include "jobs/JobRunner.h"
#include "jobs/JpegJob.h"
#include "platform/FileOps.h"
#include "platform/FolderIndex.h"
#include "platform/WinPath.h"
#include "sources/SourceList.h"

#include <QCoreApplication>
#include <QDir>
#include <QTemporaryDir>

namespace {

using namespace sc::bench;

// `count` small BMPs in drive_c/<folder>, each two seconds newer than the one before, so
// that every one gets its own new name.
QStringList smallPictures(const QString& folder, int count) {
    const QString host = sc::winpath::hostPath(folder);
    QDir().mkpath(host);
    QImage image(64, 48, QImage::Format_RGB32);
    image.fill(Qt::darkCyan);
    const QDateTime first(QDate(2004, 3, 15), QTime(9, 0, 0));
    QStringList paths;
    for (int i = 0; i < count; ++i) {
        const QString name = QStringLiteral("/p%1.bmp").arg(i, 5, 10, QChar(u'0'));
        QFile file(host + name);
        file.open(QIODevice::WriteOnly);
        image.save(&file, "BMP");
        file.flush(); // the time is set after the last write
        file.setFileTime(first.addSecs(2 * i), QFileDevice::FileModificationTime);
        paths << folder + name;
    }
    return paths;
}

// Host paths throughout: a Windows-spelled name not yet there would list the folder each time.
void fillFolder(const QString& folder, int count) {
    const QString host = sc::winpath::hostPath(folder);
    QDir().mkpath(host);
    for (int i = 0; i < count; ++i) {
        QFile file(QStringLiteral("%1/IMG_%2.JPG").arg(host).arg(i));
        file.open(QIODevice::WriteOnly);
    }
}

// Seconds of one JPEG job over `pictures` into `folder`, renaming after each time, within the
// budget SC_BENCH_BUDGET_MB when it is set.
double jobSeconds(const QStringList& pictures, const QString& folder) {
    sc::jobs::JpegJobSettings s;
    s.destination = 1;
    s.destinationFolder = folder;
    s.renaming = 1;
    return timedJpegJob(pictures, s, [](sc::jobs::JpegJob& job) {
        if (const qint64 megabytes = qEnvironmentVariableIntValue("SC_BENCH_BUDGET_MB"))
            job.setMemoryBudget(sc::jobs::MemoryBudget(megabytes << 20));
    });
}

// Removes what a job wrote into `folder`: the renamed outputs.
void removeOutputs(const QString& folder) {
    QDir dir(sc::winpath::hostPath(folder));
    for (const QString& name : dir.entryList({QStringLiteral("sc_*.jpg")}, QDir::Files))
        dir.remove(name);
}

// A progressive JPEG of a plain colour, width x width, cut inside its second scan: its first
// scan fills the decoder's coefficient buffers for the whole frame before the rest is found
// missing.
QByteArray progressiveBomb(int width) {
    sc::GKitImage plain;
    QImage pixels(width, width, QImage::Format_RGB32);
    pixels.fill(Qt::darkGreen);
    plain.setImage(pixels);
    plain.setSaveCompression(sc::GKitImage::kCompressionProgressive);
    const QByteArray jpeg = plain.encoded();
    const qsizetype secondScan = jpeg.indexOf("\xff\xda", jpeg.indexOf("\xff\xda") + 2);
    return jpeg.left(secondScan + 40);
}

void folderFigures(const QString& work, int count, int already) {
    sc::winpath::setProgramFolder(work);
    std::printf("making %d pictures and a folder of %d files in %s ...\n", count, already,
                qPrintable(work));
    const QStringList pictures = smallPictures(QStringLiteral("C:/in"), count);
    fillFolder(QStringLiteral("C:/full"), already);
    QDir().mkpath(sc::winpath::hostPath(QStringLiteral("C:/empty")));

    double empty = 1e9, full = 1e9;
    qint64 listings = 0;
    for (int round = 0; round < 3; ++round) {
        empty = std::min(empty, jobSeconds(pictures, QStringLiteral("C:/empty")));
        removeOutputs(QStringLiteral("C:/empty"));
        const qint64 before = sc::winpath::folderListingsMade();
        full = std::min(full, jobSeconds(pictures, QStringLiteral("C:/full")));
        listings = sc::winpath::folderListingsMade() - before;
        removeOutputs(QStringLiteral("C:/full"));
    }
    std::printf("\n%d pictures of 64 x 48, BMP -> JPEG, renamed     seconds (best of three)\n",
                count);
    std::printf("into an empty folder                              %8.2f\n", empty);
    std::printf("into a folder of %6d files                      %8.2f  (%lld folder listings)\n",
                already, full, static_cast<long long>(listings));
    std::printf("full / empty                                      %8.2f  (target <= 1.2)\n",
                full / empty);
}

} // namespace

int main(int argc, char** argv) {
    sc::imaging::keepHeapForPictures(); // as the program does
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments();
    // A child run: the peak memory of one JPEG job over the first N bombs of a folder.
    if (runAsPeakChild(args, QStringLiteral("*.jpg"), [&](const QStringList& bombs) {
            jobSeconds(bombs, args[2] + QStringLiteral("/out"));
        }))
        return 0;
    QTemporaryDir temp;
    const QString work = args.size() > 1 ? args[1] : temp.path();
    const int count = args.size() > 2 ? args[2].toInt() : 2000;
    const int already = args.size() > 3 ? args[3].toInt() : 20000;
    folderFigures(work, count, already);

    const QString bombs = work + QStringLiteral("/bombs");
    QDir().mkpath(bombs + QStringLiteral("/out"));
    constexpr int kBombSide = 10000;
    const QByteArray bomb = progressiveBomb(kBombSide);
    for (int i = 0; i < 6; ++i) {
        QFile file(bombs + QStringLiteral("/b%1.jpg").arg(i));
        file.open(QIODevice::WriteOnly);
        file.write(bomb);
    }
    const long one = childPeakKilobytes(app.applicationFilePath(), bombs, 1),
               six = childPeakKilobytes(app.applicationFilePath(), bombs, 6);
    // A budget that admits two bombs at once: what the job did before it had a budget.
    constexpr int kLargeBudgetMB = 8192;
    qputenv("SC_BENCH_BUDGET_MB", QByteArray::number(kLargeBudgetMB));
    const long sixLarge = childPeakKilobytes(app.applicationFilePath(), bombs, 6);
    const qint64 budget = sc::jobs::MemoryBudget::forThisMachine().bytes();
    std::printf("\nbombs: progressive %d x %d, %lld bytes each, cut after the first scan\n",
                kBombSide, kBombSide, static_cast<long long>(bomb.size()));
    std::printf("peak memory, job over one bomb                %6ld MB\n", one / 1024);
    std::printf("peak memory, job over six bombs               %6ld MB  (budget %lld MB)\n",
                six / 1024, static_cast<long long>(budget >> 20));
    std::printf("peak memory, job over six bombs, two at once  %6ld MB  (budget %d MB)\n",
                sixLarge / 1024, kLargeBudgetMB);
    return 0;
}
