// The album job on a worker per core against the same job on the window thread alone, and on
// each worker count up to the cores; against a loop of djpeg | cjpeg (a
// copy, no thumbnail) and against ImageMagick making the same copy and thumbnail, on the same
// 12-megapixel JPEGs in the same run; where the job's time goes; and its peak memory for few and
// many pictures.
//
//   album_bench [work folder] [pictures]      (defaults: a temporary folder, 20)

#include "BenchSupport.h"
#include "imaging/Buffers.h"
#include "imaging/GKitImage.h"
#include "jobs/AlbumJob.h"
#include "jobs/JobRunner.h"
#include "sources/SourceList.h"

#include <QCoreApplication>
#include <QDir>
#include <QTemporaryDir>
#include <algorithm>

using sc::sources::TSourceList;

namespace {

using namespace sc::bench;

// The album of `pictures` at quality level 7 (libjpeg quality 70) into `out`; its seconds.
double runAlbum(const QStringList& pictures, const QString& out,
                int workers = sc::jobs::pictureWorkersOfThisMachine()) {
    QDir(out).removeRecursively();
    TSourceList sources;
    sources.addAll(pictures);
    sc::GKitImage image;
    SilentStatus status;
    NoDialogs dialogs(out);
    sc::jobs::AlbumJob job(image, sources, status, dialogs);
    job.setPictureWorkers(workers);
    sc::bench::settleDisk();
    QElapsedTimer timer;
    timer.start();
    if (!sc::jobs::runGuarded(dialogs, [&] { job.run({2, QStringLiteral("bench")}); }))
        std::fprintf(stderr, "the job failed\n");
    return timer.nsecsElapsed() / 1e9;
}

// Seconds per picture of each step of the job, over all pictures.
void printSteps(const QStringList& pictures, const QString& out) {
    sc::GKitImage image;
    image.setSaveQuality(7);
    double load = 0, copy = 0, resize = 0, thumb = 0;
    QElapsedTimer t;
    for (const QString& p : pictures) {
        t.start();
        image.Load(p);
        load += t.nsecsElapsed();
        t.start();
        image.Save(out + QStringLiteral("/step-copy.jpg"));
        copy += t.nsecsElapsed();
        t.start();
        image.ResizeImage(160, 120);
        resize += t.nsecsElapsed();
        t.start();
        image.Save(out + QStringLiteral("/step-thumb.jpg"));
        thumb += t.nsecsElapsed();
    }
    const double n = pictures.size() * 1e6;
    std::printf("steps per picture: load %.0f ms, copy %.0f ms, resize %.1f ms, thumbnail %.1f "
                "ms\n",
                load / n, copy / n, resize / n, thumb / n);
}

} // namespace

int main(int argc, char** argv) {
    sc::imaging::keepHeapForPictures(); // as the program does
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments();
    // A child run measures the peak memory of one album of the first N pictures.
    if (runAsPeakChild(args, QStringLiteral("*.jpg"), [&](const QStringList& pictures) {
            runAlbum(pictures, args[2] + QStringLiteral("/../peak-album"));
        }))
        return 0;
    QTemporaryDir temp;
    const QString work = args.size() > 1 ? args[1] : temp.path();
    const int count = args.size() > 2 ? args[2].toInt() : 20;
    std::printf("making %d JPEGs of 4000 x 3000 in %s ...\n", count, qPrintable(work));
    const QStringList pictures = makePictures(work + QStringLiteral("/in"), count, "jpg");

    QList<QStringList> turbo, magick;
    for (const char* d : {"/turbo", "/magick/Data", "/magick/Thumb"})
        QDir().mkpath(work + QLatin1String(d));
    for (const QString& p : pictures) {
        const QString name = QFileInfo(p).fileName();
        turbo << QStringList{QStringLiteral("sh"), QStringLiteral("-c"),
                             QStringLiteral("djpeg \"$0\" | cjpeg -quality 70 > \"$1\""), p,
                             work + QStringLiteral("/turbo/") + name};
        magick << QStringList{QStringLiteral("convert"),
                              p,
                              QStringLiteral("-quality"),
                              QStringLiteral("70"),
                              QStringLiteral("-write"),
                              work + QStringLiteral("/magick/Data/") + name,
                              QStringLiteral("-resize"),
                              QStringLiteral("160x120!"),
                              work + QStringLiteral("/magick/Thumb/th_") + name};
    }

    // The machine may be shared: the job and the loop take turns (see Rounds).
    enum : size_t { kAlbum, kOneThread, kLoop };
    const Rounds rounds = inRounds(
        5, {[&] { return runAlbum(pictures, work + QStringLiteral("/album")); },
            [&] {
                return runAlbum(pictures, work + QStringLiteral("/album1"),
                                sc::jobs::kOnWindowThread);
            },
            [&] { return runCommands(turbo); }});
    const double album = rounds.best(kAlbum), tj = rounds.best(kLoop);
    const double im = runCommands(magick);

    const QByteArray title =
        QStringLiteral("%1 x 12 MP JPEG -> copy + thumbnail, q70").arg(count).toUtf8();
    std::printf("\n%-40s %8s %10s\n", title.constData(), "seconds", "per picture");
    std::printf("(the jobs and the djpeg | cjpeg loop: best of five rounds; their ratios: the "
                "median of the rounds' own)\n");
    auto row = [&](const char* name, double s) {
        std::printf("%-40s %8.2f %9.0f ms\n", name, s, s * 1000 / count);
    };
    row("album job, a worker per core", album);
    row("album job, window thread alone", rounds.best(kOneThread));
    row("djpeg | cjpeg -quality 70 (copy only)", tj);
    row("convert -write copy -resize thumb", im);
    std::printf("\nalbum / one-thread album   %.2f  (target <= 0.55)\n",
                rounds.ratio(kAlbum, kOneThread));
    std::printf("one-thread album / loop    %.2f  (target <= 1.0)\n",
                rounds.ratio(kOneThread, kLoop));
    std::printf("album / djpeg|cjpeg loop   %.2f\n", rounds.ratio(kAlbum, kLoop));
    std::printf("album / ImageMagick        %.2f\n", album / im);
    printScaling(
        [&](int workers) { return runAlbum(pictures, work + QStringLiteral("/scaling"), workers); },
        rounds.best(kOneThread));
    std::printf("\n");
    printSteps(pictures, work);

    printPeakMemory(app.applicationFilePath(), work + QStringLiteral("/in"), count);
    return 0;
}
