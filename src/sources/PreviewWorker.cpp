#include "sources/PreviewWorker.h"

#include "imaging/Buffers.h"
#include "imaging/GKitImage.h"
#include "imaging/PixelOps.h"
#include "imaging/RowHalves.h"
#include "platform/FileIdentity.h"
#include "platform/FileOps.h"

#include <future>

namespace sc::sources {

namespace {

// The picture as a view of `area` shows it: shrunk to fit with its aspect kept (as the view
// would shrink it when painting), a smaller one as it is.
QImage within(const QImage& picture, const QSize& area) {
    if (picture.width() <= area.width() && picture.height() <= area.height())
        return picture;
    const QSize fitted = picture.size().scaled(area, Qt::KeepAspectRatio);
    return sc::imaging::resized(picture, std::max(1, fitted.width()), std::max(1, fitted.height()));
}

} // namespace

// The selected picture as loaded, kept while its file stays the same.
struct TPreviewWorker::Loaded {
    QString source;
    std::optional<sc::fileops::FileIdentity> identity;
    qint64 bytes = 0;
    // As loaded; between runs it also holds the last tuned copy, whose buffer the next
    // tuning reuses.
    sc::GKitImage picture;
    QImage shown; // the picture as loaded within shownArea, once made
    QSize shownArea;
};

TPreviewWorker::TPreviewWorker(std::function<void(TPreviewOutcome)> deliver)
    : deliver_(std::move(deliver)), loaded_(std::make_unique<Loaded>()),
      thread_([this] { work(); }) {}

TPreviewWorker::~TPreviewWorker() {
    {
        std::lock_guard lock(guard_);
        stopping_ = true;
        next_.reset();
        wanted_ = 0;
    }
    asked_.notify_all();
    thread_.join();
}

void TPreviewWorker::ask(TPreviewRequest request) {
    {
        std::lock_guard lock(guard_);
        wanted_ = request.number;
        next_ = std::move(request);
    }
    asked_.notify_all();
}

void TPreviewWorker::forget() {
    std::lock_guard lock(guard_);
    next_.reset();
    wanted_ = 0;
}

void TPreviewWorker::work() {
    for (;;) {
        TPreviewRequest request;
        {
            std::unique_lock lock(guard_);
            asked_.wait(lock, [this] { return stopping_ || next_.has_value(); });
            if (stopping_)
                return;
            request = std::move(*next_);
            next_.reset();
        }
        if (std::optional<TPreviewOutcome> outcome = make(request))
            deliver_(std::move(*outcome));
        // What the run used beyond the kept picture goes back, so the window does not stay at
        // the size of its largest run.
        sc::imaging::giveMemoryBack();
    }
}

std::optional<TPreviewOutcome> TPreviewWorker::make(const TPreviewRequest& request) {
    if (!request.source) {
        loaded_ = std::make_unique<Loaded>();
        return std::nullopt;
    }
    TPreviewOutcome outcome;
    outcome.number = request.number;
    try {
        keepLoaded(*request.source, request.beforeArea);
        outcome.sourceBytes = loaded_->bytes;
        if (!wanted(request.number))
            return std::nullopt;
        encodeAndDecode(request, outcome);
    } catch (...) {
        loaded_ = std::make_unique<Loaded>(); // the next run reads the file afresh
        outcome.failure = std::current_exception();
    }
    if (!wanted(request.number))
        return std::nullopt;
    return outcome;
}

void TPreviewWorker::keepLoaded(const QString& source, const QSize& beforeArea) {
    // Taken before the picture is read: a file that changes while it is read no longer
    // matches at the next run.
    const std::optional<sc::fileops::FileIdentity> identity = sc::fileops::fileIdentity(source);
    Loaded& loaded = *loaded_;
    if (beforeArea != loaded.shownArea) {
        loaded.shown = QImage();
        loaded.shownArea = beforeArea;
    }
    if (identity && identity == loaded.identity && source == loaded.source &&
        !loaded.picture.isEmpty())
        return;
    loaded.picture.Delete(); // its buffers serve the next picture
    loaded.identity.reset();
    loaded.shown = QImage();
    loaded.source = source;
    // The after view is the JPEG the job would write, so a picture no JPEG can hold fails.
    sc::GKitImage::requireJpegSize(source);
    loaded.picture.Load(source);
    ++loads_;
    loaded.bytes = sc::fileops::fileSize(source);
    loaded.identity = identity;
}

// The job's own steps (save settings, tuning, encoding), so the bytes are those of the file the
// job writes; then the after view decoded from them.
void TPreviewWorker::encodeAndDecode(const TPreviewRequest& request, TPreviewOutcome& outcome) {
    Loaded& loaded = *loaded_;
    sc::GKitImage& picture = loaded.picture;
    picture.Reset();
    sc::imaging::setJobSaveSettings(picture, request.settings.qualityIndex);
    const QImage asLoaded = picture.image();
    sc::imaging::tuneLikeTheJob(picture, request.settings.tuning);
    (void)picture.image(); // tuned now, on every core, before the encoder takes one
    // The before view is made beside the encoding, on the core the encoder leaves free.
    std::future<QImage> before;
    if (loaded.shown.isNull())
        before = std::async(std::launch::async, [asLoaded, area = request.beforeArea] {
            sc::imaging::keepRowsOnThisThread();
            return within(asLoaded, area);
        });
    outcome.after = std::make_shared<sc::GKitImage>();
    outcome.afterBytes = picture.encoded();
    // A later change has made this run's outcome needless: it would be dropped.
    if (wanted(request.number))
        outcome.after->loadScaledFrom(outcome.afterBytes, request.afterArea.width(),
                                      request.afterArea.height());
    if (before.valid())
        loaded.shown = before.get();
    outcome.before = loaded.shown;
}

} // namespace sc::sources
