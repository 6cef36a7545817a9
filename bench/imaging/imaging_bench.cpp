// Times the picture model on generated 12-megapixel pictures against libjpeg-turbo's own
// tools on the same files in the same run, and prints the ratios and the peak memory.
//
//   imaging_bench [work folder]          the full comparison
//   imaging_bench --peak <file.bmp> <out.jpg>
//                                        one picture loaded, fully tuned and saved; prints the
//                                        process's resident memory before and at its peak
#include "Timing.h"
#include "imaging/Buffers.h"
#include "imaging/GKitImage.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QRandomGenerator>
#include <QStandardPaths>
#include <QTemporaryDir>

#include <cmath>
#include <cstdio>
#include <functional>

using sc::bench::runTool;
using sc::bench::statusKilobytes;

namespace {

constexpr int kWidth = 4000, kHeight = 3000, kRuns = 5;

QImage smoothPicture() {
    QImage image(kWidth, kHeight, QImage::Format_RGB32);
    for (int y = 0; y < kHeight; ++y) {
        auto* px = reinterpret_cast<QRgb*>(image.scanLine(y));
        for (int x = 0; x < kWidth; ++x)
            px[x] = qRgb(int(127 + 120 * std::sin(x * 0.002 + y * 0.001)),
                         int(127 + 120 * std::cos(y * 0.003)), (x + y) * 255 / (kWidth + kHeight));
    }
    return image;
}

QImage noisyPicture() {
    QImage image = smoothPicture();
    QRandomGenerator rng(42);
    for (int y = 0; y < kHeight; ++y) {
        auto* px = reinterpret_cast<QRgb*>(image.scanLine(y));
        for (int x = 0; x < kWidth; ++x) {
            auto noisy = [&](int v) { return std::clamp(v + int(rng.bounded(-40, 41)), 0, 255); };
            px[x] = qRgb(noisy(qRed(px[x])), noisy(qGreen(px[x])), noisy(qBlue(px[x])));
        }
    }
    return image;
}

double bestOf(const std::function<void()>& work) {
    return sc::bench::bestOf(kRuns, work);
}

int peakMode(const QString& bmp, const QString& jpeg) {
    const long before = statusKilobytes("VmRSS:");
    sc::GKitImage m;
    m.Load(bmp);
    m.AdjustBrightness(10, 15);
    m.AdjustColorBalance(5, -5, 8);
    m.AdjustHue(20, 10, 5);
    m.setSaveQuality(7);
    m.Save(jpeg);
    std::printf("%ld %ld\n", before, statusKilobytes("VmHWM:"));
    return 0;
}

void row(const char* what, double ours, double theirs, const char* against) {
    std::printf("  %-34s %8.1f ms   %-22s %8.1f ms   ratio %.2f\n", what, ours, against, theirs,
                ours / theirs);
}

} // namespace

int main(int argc, char** argv) {
    sc::imaging::keepHeapForPictures(); // as the program does
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments();
    if (args.value(1) == "--peak")
        return peakMode(args.value(2), args.value(3));

    const QString cjpeg = QStandardPaths::findExecutable("cjpeg");
    const QString djpeg = QStandardPaths::findExecutable("djpeg");
    const QString magick = QStandardPaths::findExecutable("convert"); // optional
    if (cjpeg.isEmpty() || djpeg.isEmpty()) {
        std::fprintf(stderr, "cjpeg/djpeg not found (Debian package libjpeg-turbo-progs)\n");
        return 1;
    }
    QTemporaryDir temp;
    const QString work = args.size() > 1 ? args[1] : temp.path();
    QDir().mkpath(work);

    std::printf("imaging bench: %d x %d pixels (%.1f MP), best of %d runs\n", kWidth, kHeight,
                kWidth * kHeight / 1e6, kRuns);
    for (const auto& [name, make] :
         {std::pair<const char*, QImage (*)()>{"smooth", smoothPicture}, {"noisy", noisyPicture}}) {
        const QString bmp = work + "/" + name + ".bmp";
        const QString ours = work + "/" + name + "-ours.jpg";
        const QString theirs = work + "/" + name + "-cjpeg.jpg";
        {
            sc::GKitImage m;
            m.setImage(make());
            m.setSaveMediaFormat(sc::GKitImage::kFormatBmp);
            m.Save(bmp);
        }
        sc::GKitImage m;
        m.setSaveQuality(7);
        m.setSaveCompression(1);

        const double oursBmpJpeg = bestOf([&] {
            m.Load(bmp);
            m.Save(ours);
        });
        const double cjpegTime = bestOf([&] {
            runTool(cjpeg, {"-quality", "70", "-outfile", theirs, bmp});
        });
        const double oursJpegLoad = bestOf([&] { m.Load(theirs); });
        const double djpegTime = bestOf([&] { runTool(djpeg, {"-outfile", "/dev/null", theirs}); });
        const double encodeOnly = bestOf([&] { m.Save(ours); });
        const double tuning = bestOf([&] {
            m.Reset();
            m.AdjustBrightness(10, 15);
            m.AdjustColorBalance(5, -5, 8);
            m.AdjustHue(20, 10, 5);
            (void)m.image(); // tuning is applied when the pixels are next needed
        });
        const double resetOnly = bestOf([&] { m.Reset(); });
        const double resize = bestOf([&] {
            m.Reset();
            m.ResizeImage(160, 120);
        });

        std::printf("\n%s picture (%s: ours %.2f MB, cjpeg %.2f MB at quality 70)\n", name,
                    qPrintable(QFileInfo(bmp).fileName()), QFileInfo(ours).size() / 1e6,
                    QFileInfo(theirs).size() / 1e6);
        row("load BMP + save JPEG level 7", oursBmpJpeg, cjpegTime, "cjpeg -quality 70");
        row("load JPEG", oursJpegLoad, djpegTime, "djpeg");
        row("full tuning (8 values)", tuning - resetOnly, encodeOnly, "our JPEG encode");
        std::printf("  %-34s %8.1f ms\n", "resize to 160 x 120", resize - resetOnly);
        if (!magick.isEmpty()) {
            const QString thumb = work + "/" + name + "-thumb.jpg";
            const double oursThumb = bestOf([&] {
                m.Load(theirs);
                m.ResizeImage(160, 120);
                m.Save(thumb);
            });
            const double magickThumb = bestOf([&] {
                runTool(magick, {theirs, "-resize", "160x120!", "-quality", "70", thumb});
            });
            row("thumbnail: load JPEG, resize, save", oursThumb, magickThumb,
                "ImageMagick convert");
        }

        QProcess peak;
        peak.start(QCoreApplication::applicationFilePath(),
                   {"--peak", bmp, work + "/" + name + "-peak.jpg"});
        peak.waitForFinished(-1);
        const QList<QByteArray> kb = peak.readAllStandardOutput().trimmed().split(' ');
        const double pixelsMb = kWidth * kHeight * 4 / 1e6;
        const double grownMb = (kb.value(1).toLong() - kb.value(0).toLong()) * 1024 / 1e6;
        std::printf("  %-34s %8.1f MB   = %.2f x the 32-bit pixels (%.0f MB)\n",
                    "peak memory load+tune+save", grownMb, grownMb / pixelsMb, pixelsMb);
    }
    return 0;
}
