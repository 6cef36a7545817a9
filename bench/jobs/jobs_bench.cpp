// The JPEG job against a loop of cjpeg and against mogrify, on the same 12-megapixel BMPs in
// the same run; and the job's peak memory for few and many pictures.
//
//   jobs_bench [work folder] [pictures]      (defaults: a temporary folder, 20)

#include "BenchSupport.h"
#include "imaging/GKitImage.h"
#include "jobs/JobRunner.h"
#include "jobs/JpegJob.h"
#include "sources/SourceList.h"

#include <QCoreApplication>
#include <QDir>
#include <QTemporaryDir>

namespace {

using namespace sc::bench;

double runJob(const QStringList& pictures, const QString& out, bool tuned) {
    QDir(out).removeRecursively();
    QDir().mkpath(out);
    TSourceList sources;
    sources.addAll(pictures);
    sc::GKitImage image;
    SilentStatus status;
    NoDialogs dialogs;
    sc::jobs::JpegJobSettings s;
    s.destination = 1;
    s.destinationFolder = out;
    s.renaming = 0;
    s.qualityIndex = 2;
    if (tuned) {
        s.brightness = 10, s.contrast = 15, s.red = 5, s.green = -5, s.blue = 8;
        s.hue = 20, s.saturation = 10, s.lightness = -5;
    }
    sc::jobs::JpegJob job(image, sources, status, dialogs, [] {});
    QElapsedTimer timer;
    timer.start();
    if (!sc::jobs::runGuarded(dialogs, [&] { job.run(s); }))
        std::fprintf(stderr, "the job failed\n");
    return timer.nsecsElapsed() / 1e9;
}

} // namespace

int main(int argc, char** argv) {
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

    const double job = runJob(pictures, work + QStringLiteral("/job"), false);
    const double tuned = runJob(pictures, work + QStringLiteral("/tuned"), true);
    const double cj = runCommands(cjpeg);
    const double mog = runCommands({mogrify});

    std::printf("\n%-34s %8s %10s\n", "20 x 12 MP BMP -> JPEG level 7", "seconds", "per picture");
    auto row = [&](const char* name, double s) {
        std::printf("%-34s %8.2f %9.0f ms\n", name, s, s * 1000 / count);
    };
    row("job, no tuning", job);
    row("job, all eight tuning values", tuned);
    row("cjpeg -quality 70 (loop)", cj);
    row("mogrify -quality 70", mog);
    std::printf("\njob / cjpeg loop        %.2f  (target <= 1.15)\n", job / cj);
    std::printf("tuned job / job         %.2f  (target <= 1.40)\n", tuned / job);
    std::printf("job / mogrify           %.2f\n", job / mog);

    printPeakMemory(app.applicationFilePath(), work + QStringLiteral("/in"), count);
    return 0;
}
