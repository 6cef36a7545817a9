#include "sources/SourcePreview.h"

#include "imaging/Buffers.h"
#include "imaging/GKitImage.h"
#include "platform/CommandGuard.h"
#include "platform/FileOps.h"

#include <QElapsedTimer>
#include <QTimer>

namespace {

// How often a deferred run looks again whether the job or dialog that holds it has ended.
constexpr int kRetryMs = 100;

QString kiloBytes(qint64 bytes) {
    return QString::number(std::max<qint64>(1, bytes / 1000));
}

} // namespace

TSourcePreview::TSourcePreview(Views views, Inputs inputs, sc::UserDialogs& dialogs)
    : views_(std::move(views)), inputs_(std::move(inputs)), dialogs_(dialogs) {}

TSourcePreview::~TSourcePreview() = default;

QString TSourcePreview::beforeSizeText(qint64 bytes) {
    return kiloBytes(bytes) + QStringLiteral(" KB  ");
}

QString TSourcePreview::afterSizeText(qint64 bytes) {
    return kiloBytes(bytes) + QStringLiteral(" KB\u3000");
}

void TSourcePreview::run() {
    // A change made while a run waits in its failure message is previewed after it.
    if (running_)
        return runSoon();
    if (batchDepth_ > 0) {
        owed_ = true;
        return;
    }
    owed_ = false;
    if (!inputs_.windowVisible())
        return;
    QElapsedTimer clock;
    clock.start();
    running_ = true;
    sc::runGuarded(dialogs_, [this] { steps(); });
    running_ = false;
    lastRunMs_ = clock.elapsed();
}

void TSourcePreview::steps() {
    const sc::imaging::GiveMemoryBackAtEnd memoryBack;
    sc::GKitImage& before = views_.before;
    sc::GKitImage& after = views_.after;
    before.Delete();
    after.Delete();
    const TPreviewSettings settings = inputs_.settings();
    // The job's quality and compression, so the after picture is the file the job writes.
    sc::imaging::setJobSaveSettings(before, settings.qualityIndex);
    const std::optional<QString> source = inputs_.selectedSource();
    if (!source)
        return;
    before.setInputFileName(*source);
    sc::GKitImage::requireJpegSize(*source); // the after view is the JPEG the job would write
    before.Load();
    sc::imaging::tuneLikeTheJob(before, settings.tuning);
    views_.showBeforeSize(beforeSizeText(sc::fileops::fileSize(before.InputFileName())));
    // Encoded in memory, the bytes a file of the job would hold: no file is shared with
    // another copy of the program, and a program folder nobody may write still previews.
    afterBytes_ = before.encoded();
    before.Reset();
    after.loadScaledFrom(afterBytes_, views_.afterArea.width(), views_.afterArea.height());
    views_.showAfterSize(afterSizeText(afterBytes_.size()));
}

void TSourcePreview::runSoon() {
    owed_ = true;
    if (queued_)
        return;
    queued_ = true;
    // Queued behind the events already waiting: the changes they bring join this run.
    QMetaObject::invokeMethod(
        &queue_, [this] { runPending(); }, Qt::QueuedConnection);
}

void TSourcePreview::runForHeldKey(int repeatMs) {
    if (lastRunMs_ > repeatMs)
        owed_ = true;
    else
        runSoon();
}

void TSourcePreview::runOwed() {
    if (owed_)
        runSoon();
}

void TSourcePreview::runPending() {
    queued_ = false;
    if (!owed_ || batchDepth_ > 0)
        return;
    // Never inside a job (it may hold the after view's picture) or a dialog's loop.
    if (running_ || !inputs_.idle()) {
        queued_ = true;
        QTimer::singleShot(kRetryMs, &queue_, [this] { runPending(); });
        return;
    }
    run();
}

void TSourcePreview::beginBatch() {
    ++batchDepth_;
}

void TSourcePreview::endBatch() {
    if (batchDepth_ > 0 && --batchDepth_ == 0 && owed_)
        run();
}
