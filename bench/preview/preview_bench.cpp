// The preview on the program's own window against what libjpeg-turbo's tools need for the same
// three steps (djpeg, cjpeg -quality 70, djpeg) on the same 12-megapixel photograph, in rounds
// of the same run: a change of one tuning value on the selected picture and the first preview
// of a newly selected picture, each from the key that makes it to the after view and its size
// painted; the longest the window thread is busy without returning to its event loop; and a
// tuning key held down.
//
//   preview_bench [work folder] [rounds]      (defaults: a temporary folder, 7)

#include "BenchSupport.h"
#include "app/Changewindow1.h"
#include "controls/TSpinEdit.h"
#include "imaging/Buffers.h"
#include "imaging/GKitImage.h"
#include "imaging/TGKitImageEdit.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QImage>
#include <QKeyEvent>
#include <QListView>
#include <QRandomGenerator>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QThread>
#include <atomic>
#include <cmath>
#include <cstdio>

using sc::app::TConvertForm1;
using sc::controls::TSpinEdit;

using namespace sc::bench;

namespace {

// A message means the preview failed: the figures would be meaningless.
class ExitOnMessage : public NoDialogs {
public:
    void message(const QString& text) override {
        NoDialogs::message(text);
        std::exit(1);
    }
};

// The window thread's longest stretch inside one event, that is without returning to its loop.
class TimedApplication : public QApplication {
public:
    using QApplication::QApplication;
    double longestMs = 0;
    bool notify(QObject* receiver, QEvent* event) override {
        if (depth_++ > 0) {
            const bool handled = QApplication::notify(receiver, event);
            --depth_;
            return handled;
        }
        QElapsedTimer clock;
        clock.start();
        const bool handled = QApplication::notify(receiver, event);
        longestMs = std::max(longestMs, clock.nsecsElapsed() / 1e6);
        --depth_;
        return handled;
    }

private:
    int depth_ = 0;
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

QKeyEvent* key(QEvent::Type type, Qt::Key k, bool repeated = false) {
    return new QKeyEvent(type, k, Qt::NoModifier, QString(), repeated);
}

// The program's window on `folder` with two copies of the photograph in its list, the first
// selected and all eight tuning values set; it times how long a key takes to be seen.
class Window : public QObject {
public:
    Window(const QString& folder, TimedApplication& app)
        : app_(app), form_(folder, dialogs_), after_(*child<sc::TGKitImageEdit>("ImageEdit2")) {
        form_.show();
        after_.installEventFilter(this);
    }
    template <typename T> T* child(const char* name) {
        return form_.findChild<T*>(QString::fromLatin1(name));
    }
    TConvertForm1& form() { return form_; }
    TSpinEdit& box(const char* name) { return *child<TSpinEdit>(name); }

    // Seconds from posting the key to the window until the after view is painted with the
    // preview settled; the window thread's longest event meanwhile goes to `longestMs`.
    double keyToShown(QObject* target, Qt::Key k) {
        QCoreApplication::processEvents(); // nothing painted before the key counts
        target->installEventFilter(this);
        keyTarget_ = target;
        keySeen_ = false;
        shownNs_ = -1;
        app_.longestMs = 0;
        clock_.start();
        QCoreApplication::postEvent(target, key(QEvent::KeyPress, k));
        QCoreApplication::postEvent(target, key(QEvent::KeyRelease, k));
        while (shownNs_ < 0) {
            QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 5);
            if (clock_.elapsed() > 20'000) {
                std::fprintf(stderr, "the preview never showed the key's change\n");
                std::exit(1);
            }
        }
        longestMs = std::max(longestMs, app_.longestMs);
        target->removeEventFilter(this);
        return shownNs_ / 1e9;
    }
    void settle() {
        while (!form_.previewSettled())
            QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 5);
        QCoreApplication::processEvents();
    }
    double longestMs = 0;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (watched == keyTarget_ && event->type() == QEvent::KeyPress)
            keySeen_ = true;
        if (watched == &after_ && event->type() == QEvent::Paint && keySeen_ && shownNs_ < 0 &&
            form_.previewSettled())
            shownNs_ = clock_.nsecsElapsed();
        return false;
    }

private:
    TimedApplication& app_;
    ExitOnMessage dialogs_;
    TConvertForm1 form_;
    sc::TGKitImageEdit& after_;
    QElapsedTimer clock_;
    QObject* keyTarget_ = nullptr;
    bool keySeen_ = false; // the key is handled: the run it asked for is under way
    qint64 shownNs_ = -1;
};

// The three steps of the tools: the photograph decoded, encoded at quality 70, decoded again.
struct Tools {
    QString djpeg, cjpeg, source, ppm, encoded;
    double parts[3] = {1e9, 1e9, 1e9};
    double run() {
        const auto ms = [](const QString& program, const QStringList& args) {
            return bestOf(1, [&] { runTool(program, args); });
        };
        const double took[3] = {ms(djpeg, {"-outfile", ppm, source}),
                                ms(cjpeg, {"-quality", "70", "-outfile", encoded, ppm}),
                                ms(djpeg, {"-outfile", "/dev/null", encoded})};
        for (int i = 0; i < 3; ++i)
            parts[i] = std::min(parts[i], took[i]);
        return (took[0] + took[1] + took[2]) / 1e3;
    }
};

// A key held for 1.6 seconds, its repeats arriving at 25 a second whether or not the window
// keeps up (the brightness from -100 up to 100 in steps of 5), then released: how long the
// window thread is busy meanwhile, and when the last value is shown.
void holdKey(Window& w, TimedApplication& app) {
    TSpinEdit& brightness = w.box("C3_01");
    brightness.setValue(-100);
    w.settle();
    int changes = 0;
    QElapsedTimer clock;
    qint64 lastChangeMs = 0;
    QObject::connect(&brightness, &TSpinEdit::changed, &brightness, [&] {
        ++changes;
        lastChangeMs = clock.elapsed();
    });
    app.longestMs = 0;
    clock.start();
    QThread* keyboard = QThread::create([&] {
        QCoreApplication::postEvent(&brightness, key(QEvent::KeyPress, Qt::Key_Up));
        for (int i = 1; i < 40; ++i) {
            QThread::msleep(40);
            QCoreApplication::postEvent(&brightness, key(QEvent::KeyPress, Qt::Key_Up, true));
        }
        QThread::msleep(40);
        QCoreApplication::postEvent(&brightness, key(QEvent::KeyRelease, Qt::Key_Up));
    });
    keyboard->start();
    while (!keyboard->isFinished() || brightness.value() != 100 || !w.form().previewSettled())
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 5);
    QCoreApplication::processEvents();
    const qint64 shownMs = clock.elapsed();
    keyboard->wait();
    delete keyboard;
    std::printf("key held: %d changes taken as they came (window thread busy at most %.1f ms); "
                "the last value shown %lld ms after its change\n",
                changes, app.longestMs, static_cast<long long>(shownMs - lastChangeMs));
}

// Two copies of the photograph, as a camera's JPEGs, in `folder`.
QStringList writePhotographs(const QString& folder) {
    QDir().mkpath(folder);
    QStringList copies;
    sc::GKitImage m;
    m.setImage(photo());
    m.setSaveQuality(9);
    for (const char* name : {"/photo-a.jpg", "/photo-b.jpg"}) {
        copies << folder + name;
        m.Save(copies.last());
    }
    return copies;
}

// Each round: the tools; a key on the list that selects the other copy (read afresh); an arrow
// key on the brightness box of the selected picture, up and down in turn.
void measureRounds(Window& w, Tools& tools, int rounds) {
    auto* list = w.child<QListView>("ListBox1");
    int turn = 0;
    double changeLongest = 0, firstLongest = 0;
    const Rounds r = inRounds(
        rounds, {[&] { return tools.run(); },
                 [&] {
                     w.longestMs = 0;
                     const double s = w.keyToShown(list, turn % 2 ? Qt::Key_Up : Qt::Key_Down);
                     firstLongest = std::max(firstLongest, w.longestMs);
                     return s;
                 },
                 [&] {
                     w.longestMs = 0;
                     const double s =
                         w.keyToShown(&w.box("C3_01"), turn++ % 2 ? Qt::Key_Down : Qt::Key_Up);
                     changeLongest = std::max(changeLongest, w.longestMs);
                     return s;
                 }});
    constexpr size_t kTools = 0, kFirst = 1, kChange = 2;
    std::printf("  djpeg + cjpeg -quality 70 + djpeg  %7.1f ms  (best parts %.1f + %.1f + %.1f)\n",
                r.best(kTools) * 1e3, tools.parts[0], tools.parts[1], tools.parts[2]);
    std::printf("  first preview of a newly selected  %7.1f ms  (best)\n", r.best(kFirst) * 1e3);
    std::printf("  a change of one tuning value       %7.1f ms  (best)\n", r.best(kChange) * 1e3);
    std::printf("(ratios: the median over the rounds of each round's own ratio)\n");
    std::printf("a change of one tuning value / tools   %.2f  (target <= 0.4)\n",
                r.ratio(kChange, kTools));
    std::printf("first preview of a new picture / tools %.2f  (target <= 0.75)\n",
                r.ratio(kFirst, kTools));
    std::printf("window thread busy at most             %.1f ms  (target <= 20 ms; %.1f ms on a "
                "new picture, %.1f ms on a change)\n",
                std::max(firstLongest, changeLongest), firstLongest, changeLongest);
}

} // namespace

int main(int argc, char** argv) {
    sc::imaging::keepHeapForPictures(); // as the program does
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    TimedApplication app(argc, argv);
    Tools tools;
    tools.djpeg = QStandardPaths::findExecutable("djpeg");
    tools.cjpeg = QStandardPaths::findExecutable("cjpeg");
    if (tools.djpeg.isEmpty() || tools.cjpeg.isEmpty()) {
        std::fprintf(stderr, "cjpeg/djpeg not found (Debian package libjpeg-turbo-progs)\n");
        return 1;
    }
    QTemporaryDir temp;
    const QStringList args = app.arguments();
    const QString work = args.size() > 1 ? args[1] : temp.path();
    const int rounds = args.size() > 2 ? std::max(1, args[2].toInt()) : 7;
    const QString program = work + "/program";
    const QStringList copies = writePhotographs(program + "/shots");
    tools.source = copies.first();
    tools.ppm = work + "/photo.ppm";
    tools.encoded = work + "/encoded.jpg";

    Window w(program, app);
    w.form().dropFiles(copies);
    auto* list = w.child<QListView>("ListBox1");
    list->setCurrentIndex(list->model()->index(0, 0));
    for (const auto& [name, value] : {std::pair{"C3_01", 10},
                                      {"C3_02", 15},
                                      {"C3_04", 5},
                                      {"C3_05", -5},
                                      {"C3_06", 8},
                                      {"C3_07", 20},
                                      {"C3_08", 10},
                                      {"C3_09", 5}})
        w.box(name).setValue(value);
    w.settle();
    std::printf("preview bench: %s, 4000 x 3000 (12.0 MP, %.2f MB), all eight tuning values set, "
                "quality 3 (libjpeg 70); %d rounds\n",
                qPrintable(QFileInfo(tools.source).fileName()),
                QFileInfo(tools.source).size() / 1e6, rounds);
    measureRounds(w, tools, rounds);
    holdKey(w, app);
    return 0;
}
