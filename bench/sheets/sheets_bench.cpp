// One vertical contact sheet of 12-megapixel JPEGs, composed to the page file, against the
// decoder's own floor (a loop of djpeg -scale 1/8 over the same files) and ImageMagick's montage
// with and without its JPEG size hint, in the same run; the job on each worker count up to the
// cores;
// how far a thumbnail decoded at a DCT scale lies from one decoded whole; and the job's peak
// memory for 50 and 500 pictures.
//
//   sheets_bench [work folder] [pictures]      (defaults: a temporary folder, 50)

#include "BenchSupport.h"
#include "imaging/Buffers.h"
#include "imaging/GKitImage.h"
#include "jobs/PrintJob.h"
#include "jobs/StatusLine.h"
#include "platform/UserDialogs.h"
#include "printing/CaptionBitmap.h"
#include "printing/TGKitImagePrint.h"
#include "sources/SourceList.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFont>
#include <QImage>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <algorithm>
#include <cstdio>

using sc::sources::TSourceList;

using sc::bench::childPeakKilobytes;
using sc::bench::cpuSeconds;
using sc::bench::NoDialogs;
using sc::bench::runAsPeakChild;
using sc::bench::SilentStatus;

namespace {

// Smooth gradients with fine noise over half of it, as photographs have both.
QImage testPicture(int index) {
    QImage image(4000, 3000, QImage::Format_RGB32);
    QRandomGenerator rng(index);
    for (int y = 0; y < image.height(); ++y) {
        auto* row = reinterpret_cast<QRgb*>(image.scanLine(y));
        for (int x = 0; x < image.width(); ++x) {
            const int n = x > image.width() / 2 ? int(rng.bounded(64)) : 0;
            row[x] = qRgb(qMin(255, x * 255 / image.width() + n),
                          qMin(255, y * 255 / image.height() + n),
                          qMin(255, (x / 7 + y / 5 + index * 40) % 256 + n / 2));
        }
    }
    return image;
}

QStringList makePictures(const QString& folder, int count) {
    QStringList paths;
    QDir().mkpath(folder);
    sc::GKitImage encoder;
    encoder.setSaveQuality(9);
    for (int i = 0; i < count; ++i) {
        const QString path = QStringLiteral("%1/p%2.jpg").arg(folder).arg(i, 3, 10, QChar(u'0'));
        if (!QFileInfo::exists(path)) {
            encoder.setImage(testPicture(i));
            encoder.Save(path);
        }
        paths << path;
    }
    return paths;
}

void makeBackground(const QString& programFolder) {
    QImage sheet(1063, 1416, QImage::Format_RGB32);
    sheet.fill(qRgb(250, 250, 245));
    sheet.save(programFolder + QStringLiteral("/bg_tate.bmp"), "BMP");
}

struct Timing {
    double wall = 0;
    double cpu = 0;
};

Timing runSheets(const QStringList& pictures, const QString& programFolder,
                 int workers = sc::jobs::pictureWorkersOfThisMachine()) {
    makeBackground(programFolder);
    TSourceList sources;
    sources.addAll(pictures);
    sc::GKitImage work, canvas;
    sc::printing::CaptionBitmap caption;
    NoDialogs dialogs; // cancels the print dialog: the sheets end in the page file
    sc::printing::TGKitImagePrint printer(dialogs);
    SilentStatus status;
    sc::jobs::PrintJob job({work, canvas, caption, printer}, sources, status, programFolder,
                           programFolder);
    job.setPictureWorkers(workers);
    QElapsedTimer timer;
    timer.start();
    const double cpu = cpuSeconds(RUSAGE_SELF);
    job.run([] { return 0; });
    return {timer.nsecsElapsed() / 1e9, cpuSeconds(RUSAGE_SELF) - cpu};
}

Timing runCommand(const QStringList& command) {
    const double cpu = cpuSeconds(RUSAGE_CHILDREN);
    const double wall = sc::bench::runCommands({command});
    return {wall, cpuSeconds(RUSAGE_CHILDREN) - cpu};
}

// Every picture decoded at an eighth of its size and thrown away: what the decoder alone needs.
QStringList eighthDecodes(const QStringList& pictures) {
    QStringList c{QStringLiteral("sh"), QStringLiteral("-c"),
                  QStringLiteral("for f; do djpeg -scale 1/8 -outfile /dev/null \"$f\"; done"),
                  QStringLiteral("sh")};
    return c + pictures;
}

// With the size hint the JPEG decoder scales by DCT as the job does. Without it every picture
// is decoded whole; each is shrunk as it is read ("[160x120!]"), since 50 whole pictures at
// once exceed the pixel cache that the system's ImageMagick policy allows.
QStringList montage(const QStringList& pictures, const QString& out, bool sizeHint) {
    QStringList c{QStringLiteral("montage")};
    if (sizeHint)
        c << QStringLiteral("-define") << QStringLiteral("jpeg:size=320x240") << pictures;
    else
        for (const QString& p : pictures)
            c << p + QStringLiteral("[160x120!]");
    c << QStringLiteral("-geometry") << QStringLiteral("160x120!+30+9") << QStringLiteral("-tile")
      << QStringLiteral("5x10") << out;
    return c;
}

// Mean and largest channel difference between thumbnails decoded at a DCT scale and whole.
void thumbnailDifference(const QStringList& pictures) {
    sc::GKitImage whole, scaled;
    scaled.setLoadSizeHint(QSize(160, 120));
    double sum = 0;
    qint64 samples = 0;
    int worst = 0;
    QSize decoded;
    for (const QString& p : pictures) {
        for (sc::GKitImage* m : {&whole, &scaled}) {
            m->Load(p);
            if (m == &scaled)
                decoded = m->image().size();
            m->ResizeImage(160, 120);
        }
        const QImage a = whole.image(), b = scaled.image();
        for (int y = 0; y < 120; ++y)
            for (int x = 0; x < 160; ++x)
                for (int shift : {0, 8, 16}) {
                    const int d = std::abs(int(a.pixel(x, y) >> shift & 0xff) -
                                           int(b.pixel(x, y) >> shift & 0xff));
                    sum += d;
                    worst = std::max(worst, d);
                    ++samples;
                }
    }
    std::printf(
        "DCT-scaled thumbnail (decoded at %dx%d) vs whole decode: mean %.3f, max %d levels\n",
        decoded.width(), decoded.height(), sum / samples, worst);
}

} // namespace

int main(int argc, char** argv) {
    sc::imaging::keepHeapForPictures(); // as the program does
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv); // the captions are drawn in the window's font
    const QStringList args = app.arguments();
    // A child run measures the peak memory of one job over the pictures listed N times over.
    const auto sheetsInTemporaryFolder = [](const QStringList& pictures) {
        QTemporaryDir folder;
        runSheets(pictures, folder.path());
    };
    if (runAsPeakChild(args, QStringLiteral("*.jpg"), sheetsInTemporaryFolder, true))
        return 0;
    QTemporaryDir temp;
    const QString work = args.size() > 1 ? args[1] : temp.path();
    const int count = args.size() > 2 ? args[2].toInt() : 50;
    std::printf("making %d JPEGs of 4000 x 3000 in %s ...\n", count, qPrintable(work));
    const QStringList pictures = makePictures(work + QStringLiteral("/in"), count);
    QDir().mkpath(work + QStringLiteral("/job"));

    // Once to warm the file cache; then, as the machine may be shared, the job and the hinted
    // montage take turns and each keeps its best wall and processor times of five.
    const QString programFolder = work + QStringLiteral("/job");
    runSheets(pictures, programFolder);
    Timing job{1e9, 1e9}, oneThread{1e9, 1e9}, hinted{1e9, 1e9}, floor{1e9, 1e9};
    auto keepBest = [](Timing& best, Timing t) {
        best = {std::min(best.wall, t.wall), std::min(best.cpu, t.cpu)};
    };
    for (int round = 0; round < 5; ++round) {
        keepBest(job, runSheets(pictures, programFolder));
        keepBest(oneThread, runSheets(pictures, programFolder, sc::jobs::kOnWindowThread));
        keepBest(hinted, runCommand(montage(pictures, work + QStringLiteral("/m1.tif"), true)));
        keepBest(floor, runCommand(eighthDecodes(pictures)));
    }
    const Timing plain = runCommand(montage(pictures, work + QStringLiteral("/m2.tif"), false));

    const QByteArray title = QStringLiteral("one sheet of %1 x 12 MP JPEG").arg(count).toUtf8();
    std::printf("\n%-44s %8s %8s %12s\n", title.constData(), "wall s", "cpu s", "cpu/picture");
    auto row = [&](const char* name, Timing t) {
        std::printf("%-44s %8.2f %8.2f %9.1f ms\n", name, t.wall, t.cpu, t.cpu * 1000 / count);
    };
    row("job (composition to the page file)", job);
    row("job, window thread alone", oneThread);
    row("djpeg -scale 1/8 (loop)", floor);
    row("montage -define jpeg:size=320x240", hinted);
    row("montage (each read whole, shrunk on read)", plain);
    std::printf("(all but the plain montage: best of five turns each)\n\n");
    std::printf("                       wall clock   processor time\n");
    std::printf("job / djpeg 1/8 loop   %10.2f %16.2f   (target <= 1.0 in processor time)\n",
                job.wall / floor.wall, job.cpu / floor.cpu);
    std::printf("job / hinted montage   %10.2f %16.2f\n", job.wall / hinted.wall,
                job.cpu / hinted.cpu);
    std::printf("plain montage / job    %10.1f %16.1f   (target >= 20)\n", plain.wall / job.wall,
                plain.cpu / job.cpu);
    std::printf("job / one-thread job   %10.2f %16.2f\n", job.wall / oneThread.wall,
                job.cpu / oneThread.cpu);
    sc::bench::printScaling(
        [&](int workers) { return runSheets(pictures, programFolder, workers).wall; },
        oneThread.wall);
    std::printf("\n");
    thumbnailDifference(pictures);

    const QString program = app.applicationFilePath(), in = work + QStringLiteral("/in");
    const long few = childPeakKilobytes(program, in, count),
               many = childPeakKilobytes(program, in, 10 * count);
    std::printf("\npeak memory, %d pictures   %6ld MB\npeak memory, %d pictures  %6ld MB\n", count,
                few / 1024, 10 * count, many / 1024);
    return 0;
}
