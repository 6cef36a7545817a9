// The JPEG job on a worker per core against the same job on the window thread alone, against two
// cjpeg processes at a time (xargs -P2), a loop of cjpeg and mogrify, on the same 12-megapixel BMPs
// in the same run; and the job's peak memory for few and many pictures.
//
//   jobs_bench [work folder] [pictures]      (defaults: a temporary folder, 20)

#include "BenchSupport.h"
#include "imaging/Buffers.h"
#include "imaging/GKitImage.h"
#include "jobs/JobRunner.h"
#include "jobs/JpegJob.h"
#include "sources/SourceList.h"

#include <QCoreApplication>
#include <QDir>
#include <QTemporaryDir>
#include <algorithm>

namespace {

using namespace sc::bench;

double runJob(const QStringList& pictures, const QString& out, bool tuned,
              int workers = sc::jobs::pictureWorkersOfThisMachine()) {
    QDir(out).removeRecursively();
    QDir().mkpath(out);
    sc::jobs::JpegJobSettings s;
    s.destination = 1;
    s.destinationFolder = out;
    s.renaming = 0;
    s.qualityIndex = 2;
    if (tuned) {
        s.brightness = 10, s.contrast = 15, s.red = 5, s.green = -5, s.blue = 8;
        s.hue = 20, s.saturation = 10, s.lightness = -5;
    }
    return timedJpegJob(pictures, s,
                        [&](sc::jobs::JpegJob& job) { job.setPictureWorkers(workers); });
}

} // namespace

int main(int argc, char** argv) {
    sc::imaging::keepHeapForPictures(); // as the program does
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments();
    // A child run measures the peak memory of one job over the first N pictures.
    if (runAsPeakChild(args, QStringLiteral("*.bmp"), [&](const QStringList& pictures) {
            runJob(pictures, args[2] + QStringLiteral("/peak-out"), true);
        }))
        return 0;
    QTemporaryDir temp;
    const QString work = args.size() > 1 ? args[1] : temp.path();
    const int count = args.size() > 2 ? args[2].toInt() : 20;
    std::printf("making %d pictures of 4000 x 3000 in %s ...\n", count, qPrintable(work));
    const QStringList pictures = makePictures(work + QStringLiteral("/in"), count, "bmp");

    QList<QStringList> cjpeg;
    QDir().mkpath(work + QStringLiteral("/cjpeg"));
    for (const QString& p : pictures)
        cjpeg << QStringList{QStringLiteral("cjpeg"),
                             QStringLiteral("-quality"),
                             QStringLiteral("70"),
                             QStringLiteral("-outfile"),
                             work + QStringLiteral("/cjpeg/") + QFileInfo(p).completeBaseName() +
                                 QStringLiteral(".jpg"),
                             p};
    QDir().mkpath(work + QStringLiteral("/mogrify"));
    QStringList mogrify{
        QStringLiteral("mogrify"), QStringLiteral("-path"), work + QStringLiteral("/mogrify"),
        QStringLiteral("-format"), QStringLiteral("jpg"),   QStringLiteral("-quality"),
        QStringLiteral("70")};
    mogrify += pictures;

    // Two cjpeg processes at a time: what a two-core machine gets from the plain tool.
    QDir().mkpath(work + QStringLiteral("/cjpeg2"));
    const QList<QStringList> cjpegPair{
        {QStringLiteral("sh"), QStringLiteral("-c"),
         QStringLiteral("cd \"$0\" && ls *.bmp | xargs -P2 -I{} cjpeg -quality 70 -outfile "
                        "\"$1/{}.jpg\" {}"),
         work + QStringLiteral("/in"), work + QStringLiteral("/cjpeg2")}};

    // The machine may be shared: the runs take turns (see Rounds).
    enum : size_t { kJob, kTuned, kOneThread, kPair };
    const Rounds rounds = inRounds(
        5, {[&] { return runJob(pictures, work + QStringLiteral("/job"), false); },
            [&] { return runJob(pictures, work + QStringLiteral("/tuned"), true); },
            [&] {
                return runJob(pictures, work + QStringLiteral("/job1"), false,
                              sc::jobs::kOnWindowThread);
            },
            [&] { return runCommands(cjpegPair); }});
    const double job = rounds.best(kJob), oneThread = rounds.best(kOneThread);
    const double cj = runCommands(cjpeg);
    const double mog = runCommands({mogrify});

    const QByteArray title = QStringLiteral("%1 x 12 MP BMP -> JPEG level 7").arg(count).toUtf8();
    std::printf("\n%-36s %8s %10s\n", title.constData(), "seconds", "per picture");
    std::printf("(the jobs and xargs -P2: best of five rounds; their ratios: the median of the "
                "rounds' own)\n");
    auto row = [&](const char* name, double s) {
        std::printf("%-36s %8.2f %9.0f ms\n", name, s, s * 1000 / count);
    };
    row("job, no tuning, a worker per core", job);
    row("job, no tuning, window thread alone", oneThread);
    row("job, all eight tuning values", rounds.best(kTuned));
    row("xargs -P2 cjpeg -quality 70", rounds.best(kPair));
    row("cjpeg -quality 70 (loop)", cj);
    row("mogrify -quality 70", mog);
    std::printf("\njob / xargs -P2 cjpeg      %.2f  (target <= 0.8)\n", rounds.ratio(kJob, kPair));
    std::printf("job / one-thread job       %.2f  (target <= 0.55)\n",
                rounds.ratio(kJob, kOneThread));
    std::printf("one-thread job / cjpeg loop %.2f  (target <= 1.15)\n", oneThread / cj);
    std::printf("tuned job / job            %.2f  (target <= 1.3)\n", rounds.ratio(kTuned, kJob));
    std::printf("job / mogrify              %.2f\n", job / mog);
    printScaling(
        [&](int workers) {
            return runJob(pictures, work + QStringLiteral("/scaling"), false, workers);
        },
        oneThread);

    printPeakMemory(app.applicationFilePath(), work + QStringLiteral("/in"), count);
    return 0;
}
