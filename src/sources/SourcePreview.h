#pragma once

#include "sources/PreviewWorker.h"

#include <QObject>
#include <QSize>
#include <QString>
#include <functional>
#include <optional>

namespace sc {
class GKitImage;
class UserDialogs;
} // namespace sc

namespace sc::sources {

// The preview of the selected source on the JPEG page: the picture as loaded (the before view)
// and as the JPEG job will write it, tuned and really encoded (the after view), each with the
// size of its file. The after picture is encoded with the job's save settings and tuning, so
// its size is the size of the file the job writes.
//
// The picture work runs off the window thread (TPreviewWorker); the window thread reads the
// values, and shows the newest outcome once it is back. An outcome that a later change has made
// stale is dropped, never shown, and so is its failure.
class TSourcePreview {
public:
    // Where the results are shown.
    struct Views {
        sc::GKitImage& before; // the source as loaded
        sc::GKitImage& after;  // as the JPEG job writes it
        // The views' areas: pictures are made no larger than they are shown.
        QSize beforeArea, afterArea;
        std::function<void(const QString&)> showBeforeSize; // the source file's size
        std::function<void(const QString&)> showAfterSize;  // the written file's size
    };
    // What a run reads at the moment it is asked for.
    struct Inputs {
        std::function<bool()> windowVisible;
        std::function<std::optional<QString>()> selectedSource;
        std::function<TPreviewSettings()> settings;
        // False while a job or a modal dialog runs: a run asked then, and an outcome that
        // arrives then, wait for its end.
        std::function<bool()> idle;
    };

    TSourcePreview(Views views, Inputs inputs, sc::UserDialogs& dialogs);
    TSourcePreview(const TSourcePreview&) = delete;
    TSourcePreview& operator=(const TSourcePreview&) = delete;
    ~TSourcePreview();

    // One run, with the values of this moment: nothing while the window is not visible; with
    // nothing selected both views are emptied at once; a newly selected source empties them
    // until its outcome is shown. The outcome shows the source as loaded with its
    // size, and the encoded picture with its size. A failure beeps and shows the failure
    // message, and leaves both views empty. Returns at once.
    void run();

    // Runs asked for between begin and end (a reset or a load that changes every setting)
    // become one run at the end, with the values of that moment.
    void beginBatch();
    void endBatch();

    // A job starts: the run under way is not waited for, nor shown; the values are previewed
    // afresh once the job has ended.
    void drop();

    // True when the views show the values of the last run asked for, or its failure.
    bool settled() const { return !owed_ && !waiting_; }

    // The bytes of the last after picture: those of the file the JPEG job writes for the same
    // source and settings.
    const QByteArray& afterBytes() const { return afterBytes_; }
    // How many times a picture file was read.
    int picturesLoaded() const { return worker_.picturesLoaded(); }
    // "N KB  " for the before view, "N KB　" (full-width space) for the after view: the size in
    // thousands of bytes, remainder dropped, 0 shown as 1 (as for a file that cannot be read).
    static QString beforeSizeText(qint64 bytes);
    static QString afterSizeText(qint64 bytes);

private:
    void ask();
    void arrived(TPreviewOutcome outcome);
    void show(TPreviewOutcome outcome);
    void later();
    void runLater();

    Views views_;
    Inputs inputs_;
    sc::UserDialogs& dialogs_;
    QByteArray afterBytes_;
    std::optional<QString> shownSource_;  // the source the views show or wait for
    quint64 asked_ = 0;                   // the number of the last run asked for
    bool waiting_ = false;                // for its outcome
    std::optional<TPreviewOutcome> held_; // arrived while a job or a dialog ran
    bool owed_ = false;                   // a run waits for a batch, a job or a dialog to end
    bool queued_ = false;                 // a look whether it may go on is on its way
    int batchDepth_ = 0;
    QObject context_;       // outcomes come back through it: none outlives the preview
    TPreviewWorker worker_; // after context_: it is stopped first
};

} // namespace sc::sources
