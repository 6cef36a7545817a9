#pragma once

#include "imaging/JobPicture.h"

#include <QByteArray>
#include <QImage>
#include <QSize>
#include <QString>
#include <atomic>
#include <condition_variable>
#include <exception>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <thread>

namespace sc {
class GKitImage;
}

namespace sc::sources {

// The values of the JPEG page that a preview run reads.
struct TPreviewSettings {
    int qualityIndex = 2; // the JPEG quality item, 0..3
    sc::imaging::TuningValues tuning;
};

// What one preview run is asked to show: the window's values at the moment of the change.
struct TPreviewRequest {
    quint64 number = 0;            // later requests have larger numbers
    std::optional<QString> source; // none: nothing is selected
    TPreviewSettings settings;
    QSize beforeArea, afterArea; // the views' sizes: pictures are made no larger
};

// What a run made, for the window thread to show. A failure carries what the run raised and
// the source's size when the load got that far (-1 otherwise).
struct TPreviewOutcome {
    quint64 number = 0;
    QImage before;                        // the picture as loaded, within the before area
    std::shared_ptr<sc::GKitImage> after; // the encoded bytes decoded, within the after area
    QByteArray afterBytes;                // the bytes of the file the JPEG job writes
    qint64 sourceBytes = -1;
    std::exception_ptr failure;
};

// The preview's picture work, on a thread of its own so that the window stays alive: load,
// tune, encode, decode the encoded bytes for the after view. It keeps the selected picture as
// loaded while the file is unchanged (the same file, size, write and change times), so a change
// of tuning or quality costs only the tuning and the encoding. Only the newest request counts:
// a request replaces one not yet started, and a run that a newer request has made needless
// stops at its next step and delivers nothing.
//
// It never touches a widget: `deliver` gets each outcome on the worker thread.
class TPreviewWorker {
public:
    explicit TPreviewWorker(std::function<void(TPreviewOutcome)> deliver);
    // Stops the run under way at its next step and waits for it.
    ~TPreviewWorker();
    TPreviewWorker(const TPreviewWorker&) = delete;
    TPreviewWorker& operator=(const TPreviewWorker&) = delete;

    // A request without a source lets the kept picture go and delivers nothing.
    void ask(TPreviewRequest request);
    // No request asked so far is wanted any more.
    void forget();

    // How many times a picture file was read (what shows that a change reuses the picture).
    int picturesLoaded() const { return loads_.load(); }

private:
    struct Loaded;

    void work();
    bool wanted(quint64 number) const { return wanted_.load() == number; }
    std::optional<TPreviewOutcome> make(const TPreviewRequest& request);
    void keepLoaded(const QString& source, const QSize& beforeArea);
    void encodeAndDecode(const TPreviewRequest& request, TPreviewOutcome& outcome);

    const std::function<void(TPreviewOutcome)> deliver_;
    std::mutex guard_;
    std::condition_variable asked_;
    std::optional<TPreviewRequest> next_;
    bool stopping_ = false;
    std::atomic<quint64> wanted_{0};
    std::atomic<int> loads_{0};
    std::unique_ptr<Loaded> loaded_; // the worker thread's alone
    std::thread thread_;             // last: it starts once everything above is ready
};

} // namespace sc::sources
