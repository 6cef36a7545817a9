// The JPEG job against a loop of cjpeg and against mogrify, on the same 12-megapixel BMPs in
// the same run; and the job's peak memory for few and many pictures.
//
//   jobs_bench [work folder] [pictures]      (defaults: a temporary folder, 20)

#include "imaging/GKitImage.h"
#include "jobs/JobRunner.h"
#include "jobs/JpegJob.h"
#include "jobs/StatusLine.h"
#include "platform/UserDialogs.h"
#include "sources/SourceList.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QImage>
#include <QProcess>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <cstdio>
#include <sys/resource.h>

namespace {

class SilentStatus : public sc::jobs::StatusLine {
public:
    void show(const QString&) override {}
    void showIdlePrompt() override {}
    void repaintWindow() override {}
};

class NoDialogs : public sc::UserDialogs {
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

// Half smooth gradients, half noise: the two extremes an encoder meets in photographs.
QImage testPicture(int index) {
    QImage image(4000, 3000, QImage::Format_RGB888);
    QRandomGenerator rng(index);
    for (int y = 0; y < image.height(); ++y) {
        uchar* row = image.scanLine(y);
        for (int x = 0; x < image.width(); ++x) {
            const bool noisy = x > image.width() / 2;
            const int n = noisy ? int(rng.bounded(96)) : 0;
            row[3 * x + 0] = uchar(qMin(255, x * 255 / image.width() + n));
            row[3 * x + 1] = uchar(qMin(255, y * 255 / image.height() + n));
            row[3 * x + 2] = uchar(qMin(255, (x + y + index * 100) % 256 + n / 2));
        }
    }
    return image;
}

QStringList makePictures(const QString& folder, int count) {
    QStringList paths;
    QDir().mkpath(folder);
    for (int i = 0; i < count; ++i) {
        const QString path = QStringLiteral("%1/p%2.bmp").arg(folder).arg(i, 2, 10, QChar(u'0'));
        if (!QFileInfo::exists(path))
            testPicture(i).save(path, "BMP");
        paths << path;
    }
    return paths;
}

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

double runCommands(const QList<QStringList>& commands) {
    QElapsedTimer timer;
    timer.start();
    for (const QStringList& c : commands) {
        if (QProcess::execute(c.first(), c.mid(1)) != 0) {
            std::fprintf(stderr, "%s failed\n", qPrintable(c.join(u' ')));
            return -1;
        }
    }
    return timer.nsecsElapsed() / 1e9;
}

long peakKilobytes() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss;
}

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments();
    // A child run measures the peak memory of one job over the first N pictures.
    if (args.size() == 4 && args[1] == u"--peak") {
        const QStringList all =
            QDir(args[2]).entryList({QStringLiteral("*.bmp")}, QDir::Files, QDir::Name);
        QStringList pictures;
        for (int i = 0; i < args[3].toInt() && i < all.size(); ++i)
            pictures << args[2] + u'/' + all[i];
        runJob(pictures, args[2] + QStringLiteral("/peak-out"), true);
        std::printf("%ld\n", peakKilobytes());
        return 0;
    }
    QTemporaryDir temp;
    const QString work = args.size() > 1 ? args[1] : temp.path();
    const int count = args.size() > 2 ? args[2].toInt() : 20;
    std::printf("making %d pictures of 4000 x 3000 in %s ...\n", count, qPrintable(work));
    const QStringList pictures = makePictures(work + QStringLiteral("/in"), count);

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

    auto peak = [&](int n) {
        QProcess child;
        child.start(app.applicationFilePath(),
                    {QStringLiteral("--peak"), work + QStringLiteral("/in"), QString::number(n)});
        child.waitForFinished(-1);
        return child.readAllStandardOutput().trimmed().toLong();
    };
    const long few = peak(2), many = peak(count);
    std::printf("\npeak memory, 2 pictures  %6ld MB\npeak memory, %d pictures %6ld MB  (one 12 MP "
                "picture at 32 bits: 46 MB)\n",
                few / 1024, count, many / 1024);
    return 0;
}
