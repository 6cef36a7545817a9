#include "sources/SourcePreview.h"

#include "imaging/GKitImage.h"
#include "platform/CommandGuard.h"

#include <QTimer>

namespace sc::sources {

namespace {

// How often a run or an outcome held by a job or a dialog looks again whether it has ended.
constexpr int kRetryMs = 100;

QString kiloBytes(qint64 bytes) {
    return QString::number(std::max<qint64>(1, bytes / 1000));
}

} // namespace

TSourcePreview::TSourcePreview(Views views, Inputs inputs, sc::UserDialogs& dialogs)
    : views_(std::move(views)), inputs_(std::move(inputs)), dialogs_(dialogs),
      worker_([this](TPreviewOutcome outcome) {
          // Back to the window thread, which alone touches the views.
          QMetaObject::invokeMethod(
              &context_,
              [this, outcome = std::move(outcome)]() mutable { arrived(std::move(outcome)); },
              Qt::QueuedConnection);
      }) {}

TSourcePreview::~TSourcePreview() = default;

QString TSourcePreview::beforeSizeText(qint64 bytes) {
    return kiloBytes(bytes) + QStringLiteral(" KB  ");
}

QString TSourcePreview::afterSizeText(qint64 bytes) {
    return kiloBytes(bytes) + QStringLiteral(" KB\u3000");
}

void TSourcePreview::run() {
    // Never inside a job (it may hold the after view's picture) or a dialog's loop.
    if (batchDepth_ > 0 || !inputs_.idle()) {
        owed_ = true;
        if (batchDepth_ == 0)
            later();
        return;
    }
    owed_ = false;
    if (!inputs_.windowVisible())
        return;
    ask();
}

void TSourcePreview::ask() {
    const TPreviewSettings settings = inputs_.settings();
    const std::optional<QString> source = inputs_.selectedSource();
    // Another picture's views would pose as this one's until its outcome comes.
    if (!source || source != shownSource_) {
        views_.before.Delete();
        views_.after.Delete();
    }
    shownSource_ = source;
    held_.reset();
    waiting_ = source.has_value();
    worker_.ask({++asked_, source, settings, views_.beforeArea, views_.afterArea});
}

void TSourcePreview::arrived(TPreviewOutcome outcome) {
    if (!waiting_ || outcome.number != asked_)
        return; // a later change made it stale
    if (!inputs_.idle()) {
        held_ = std::move(outcome);
        return later();
    }
    show(std::move(outcome));
}

void TSourcePreview::show(TPreviewOutcome outcome) {
    waiting_ = false;
    if (outcome.failure) {
        views_.before.Delete();
        views_.after.Delete();
        if (outcome.sourceBytes >= 0)
            views_.showBeforeSize(beforeSizeText(outcome.sourceBytes));
        sc::runGuarded(dialogs_, [&] { std::rethrow_exception(outcome.failure); });
        return;
    }
    afterBytes_ = std::move(outcome.afterBytes);
    views_.before.setImage(outcome.before);
    views_.after.takePicture(*outcome.after);
    views_.showBeforeSize(beforeSizeText(outcome.sourceBytes));
    views_.showAfterSize(afterSizeText(afterBytes_.size()));
}

void TSourcePreview::later() {
    if (queued_)
        return;
    queued_ = true;
    QTimer::singleShot(kRetryMs, &context_, [this] { runLater(); });
}

void TSourcePreview::runLater() {
    queued_ = false;
    if (batchDepth_ > 0)
        return; // the batch's end runs what is owed
    if (!inputs_.idle()) {
        if (owed_ || held_)
            later();
        return;
    }
    if (owed_)
        return run(); // newer than anything held
    if (held_) {
        TPreviewOutcome outcome = std::move(*held_);
        held_.reset();
        show(std::move(outcome));
    }
}

void TSourcePreview::drop() {
    if (!waiting_)
        return;
    worker_.forget();
    waiting_ = false;
    held_.reset();
    owed_ = true;
    later();
}

void TSourcePreview::beginBatch() {
    ++batchDepth_;
}

void TSourcePreview::endBatch() {
    if (batchDepth_ > 0 && --batchDepth_ == 0 && owed_)
        run();
}

} // namespace sc::sources
