// One preview run on a 12-megapixel JPEG with all eight tuning values set, against what
// libjpeg-turbo's tools need for the same three steps (djpeg, cjpeg -quality 70, djpeg) on the
// same picture in the same run; and a tuning key held for two seconds.
//
//   preview_bench [work folder]

#include "BenchSupport.h"
#include "imaging/Buffers.h"
#include "imaging/GKitImage.h"
#include "imaging/PixelOps.h"
#include "sources/SourcePreview.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QEvent>
#include <QFileInfo>
#include <QImage>
#include <QRandomGenerator>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QThread>
#include <atomic>
#include <cmath>
#include <cstdio>
#include <functional>

using sc::bench::runTool;

namespace {

constexpr int kRuns = 5;

// A message means the preview failed: the figures would be meaningless.
class ExitOnMessage : public sc::bench::NoDialogs {
public:
    void message(const QString& text) override {
        NoDialogs::message(text);
        std::exit(1);
    }
};

// A photograph-like 4000 × 3000 picture: smooth gradients with fine noise.
QImage photo() {
    QImage image(4000, 3000, QImage::Format_RGB32);
    QRandomGenerator rng(7);
    for (int y = 0; y < image.height(); ++y) {
        auto* px = reinterpret_cast<QRgb*>(image.scanLine(y));
        for (int x = 0; x < image.width(); ++x) {
            const int n = int(rng.bounded(-12, 13));
            px[x] = qRgb(std::clamp(int(127 + 110 * std::sin(x * 0.003 + y * 0.001)) + n, 0, 255),
                         std::clamp(int(127 + 110 * std::cos(y * 0.002)) + n, 0, 255),
                         std::clamp((x + y) * 255 / 7000 + n, 0, 255));
        }
    }
    return image;
}

double bestOf(const std::function<void()>& work) {
    return sc::bench::bestOf(kRuns, work);
}

// A held key's repeats and its release, as the window receives them.
constexpr auto kRepeat = QEvent::User, kRelease = QEvent::Type(QEvent::User + 1);

class HeldKey : public QObject {
public:
    std::function<void()> onRepeat, onRelease;
    bool event(QEvent* e) override {
        if (e->type() == kRepeat)
            onRepeat();
        else if (e->type() == kRelease)
            onRelease();
        else
            return QObject::event(e);
        return true;
    }
};

} // namespace

int main(int argc, char** argv) {
    sc::imaging::keepHeapForPictures(); // as the program does
    QCoreApplication app(argc, argv);
    const QString djpeg = QStandardPaths::findExecutable("djpeg");
    const QString cjpeg = QStandardPaths::findExecutable("cjpeg");
    if (djpeg.isEmpty() || cjpeg.isEmpty()) {
        std::fprintf(stderr, "cjpeg/djpeg not found (Debian package libjpeg-turbo-progs)\n");
        return 1;
    }
    QTemporaryDir temp;
    const QString work = app.arguments().size() > 1 ? app.arguments()[1] : temp.path();
    QDir().mkpath(work);
    const QString source = work + "/photo.jpg";
    {
        sc::GKitImage m;
        m.setImage(photo());
        m.setSaveQuality(9);
        m.Save(source);
    }

    ExitOnMessage dialogs;
    sc::GKitImage before, after;
    TPreviewSettings settings;
    settings.qualityIndex = 2; // save quality 7: libjpeg quality 70
    settings.tuning = {10, 15, 5, -5, 8, 20, 10, 5};
    int runs = 0;
    int valueInRun = 0; // the brightness the current run reads
    QElapsedTimer runClock;
    double runTotal = 0; // of the runs during the held key
    QString shownSize;
    std::function<void()> onShown = [] {};
    TSourcePreview preview({before, after, QSize(164, 124), [](const QString&) {},
                            [&](const QString& t) {
                                shownSize = t;
                                onShown();
                            }},
                           {[] { return true; }, [&] { return source; },
                            [&] {
                                ++runs;
                                runClock.start();
                                valueInRun = settings.tuning.brightness;
                                return settings;
                            },
                            [] { return true; }},
                           dialogs);

    std::printf("preview bench: %s, 4000 x 3000 (12.0 MP, %.2f MB), all eight tuning values set, "
                "best of %d\n",
                qPrintable(QFileInfo(source).fileName()), QFileInfo(source).size() / 1e6, kRuns);
    // On a busy machine the wall time mostly measures waiting: the CPU time of the same runs
    // (all threads) shows what a run itself costs.
    double ours = 1e18, oursCpu = 1e18;
    for (int i = 0; i < kRuns; ++i) {
        QElapsedTimer timer;
        timer.start();
        const double cpu = sc::bench::cpuSeconds();
        preview.run();
        oursCpu = std::min(oursCpu, (sc::bench::cpuSeconds() - cpu) * 1e3);
        ours = std::min(ours, timer.nsecsElapsed() / 1e6);
    }
    const QString ppm = work + "/photo.ppm", encoded = work + "/encoded.jpg";
    const double decode = bestOf([&] { runTool(djpeg, {"-outfile", ppm, source}); });
    const double encode = bestOf([&] {
        runTool(cjpeg, {"-quality", "70", "-outfile", encoded, ppm});
    });
    const double decodeAgain = bestOf([&] { runTool(djpeg, {"-outfile", "/dev/null", encoded}); });
    const double tools = decode + encode + decodeAgain;
    std::printf("  one preview run                    %8.1f ms   (CPU %.1f ms; after size %s)\n",
                ours, oursCpu, qPrintable(shownSize.trimmed()));
    std::printf("  djpeg + cjpeg -quality 70 + djpeg  %8.1f ms   (%.1f + %.1f + %.1f)\n", tools,
                decode, encode, decodeAgain);
    std::printf("  ratio                              %8.2f\n", ours / tools);
    {
        sc::GKitImage m;
        m.setInputFileName(source);
        const double load = bestOf([&] { m.Load(); });
        const double tuneSave = bestOf([&] {
            m.Reset();
            m.AdjustBrightness(10, 15);
            m.AdjustColorBalance(5, -5, 8);
            m.AdjustHue(20, 10, 5);
            m.Save(encoded);
        });
        m.setInputFileName(encoded);
        const double small = bestOf([&] { m.LoadScaled(164, 124); });
        std::printf("    of which: load %.1f, tune + encode %.1f, after view decoded at 1/8 %.1f\n",
                    load, tuneSave, small);
    }
    const double scaleBefore =
        bestOf([&] { (void)sc::imaging::resized(before.image(), 164, 123); });
    std::printf("  before view scaled for its paint   %8.1f ms   (after view: %d x %d decoded)\n",
                scaleBefore, after.image().width(), after.image().height());

    // A key held for two seconds, its repeats arriving at 25 a second whether or not the
    // window keeps up; each moves the brightness and asks for a run as the window does, and
    // the release settles what is owed.
    HeldKey key;
    int changes = 0;
    QElapsedTimer clock;
    key.onRepeat = [&] {
        ++changes;
        settings.tuning.brightness = -100 + changes;
        preview.runForHeldKey(40);
    };
    key.onRelease = [&] { preview.runOwed(); };
    std::atomic<qint64> released{0};
    runs = 0;
    clock.start();
    QThread* keyboard = QThread::create([&] {
        for (int i = 0; i < 50; ++i) {
            QCoreApplication::postEvent(&key, new QEvent(kRepeat));
            QThread::msleep(40);
        }
        released = clock.elapsed();
        QCoreApplication::postEvent(&key, new QEvent(kRelease));
    });
    keyboard->start();
    constexpr int kLastValue = -100 + 50;
    qint64 previewedLast = -1;
    onShown = [&] {
        runTotal += runClock.nsecsElapsed() / 1e6;
        if (valueInRun == kLastValue)
            previewedLast = clock.elapsed();
    };
    while (previewedLast < 0)
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 50);
    keyboard->wait();
    delete keyboard;
    std::printf("  key held 2 s: %d changes, %d runs (%.0f ms each on average); the last value "
                "previewed %lld ms after the key's release\n",
                changes, runs, runTotal / runs, static_cast<long long>(previewedLast - released));
    return 0;
}
