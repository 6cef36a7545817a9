#pragma once

#include "imaging/JobPicture.h"

#include <QObject>
#include <QSize>
#include <QString>
#include <functional>
#include <optional>

namespace sc {
class GKitImage;
class UserDialogs;
} // namespace sc

// The values of the JPEG page that a preview run reads.
struct TPreviewSettings {
    int qualityIndex = 2; // C1_02
    sc::imaging::TuningValues tuning;
};

// The preview of the selected source on the JPEG page: the picture as loaded (the before view)
// and as the JPEG job will write it, tuned and really encoded (the after view), each with the
// size of its file. The after picture is encoded with the job's save settings and tuning, so
// its size is the size of the file the job writes.
class TSourcePreview {
public:
    // Where the results are shown.
    struct Views {
        sc::GKitImage& before; // ImageEdit1
        sc::GKitImage& after;  // ImageEdit2
        // The after view's area: the encoded picture is decoded no larger than it needs.
        QSize afterArea;
        std::function<void(const QString&)> showBeforeSize; // Label7
        std::function<void(const QString&)> showAfterSize;  // Label4
    };
    // What a run reads at the moment it starts.
    struct Inputs {
        std::function<bool()> windowVisible;
        std::function<std::optional<QString>()> selectedSource;
        std::function<TPreviewSettings()> settings;
        // False while a job or a modal dialog runs: a deferred run waits for its end.
        std::function<bool()> idle;
    };

    TSourcePreview(Views views, Inputs inputs, sc::UserDialogs& dialogs);
    TSourcePreview(const TSourcePreview&) = delete;
    TSourcePreview& operator=(const TSourcePreview&) = delete;
    ~TSourcePreview();

    // One run now (ListBox1Click): nothing while the window is not visible; both views
    // emptied; the selected source loaded into the before view, tuned, its size shown; the
    // tuned picture encoded as the JPEG job writes it, in memory; the before view back to the
    // picture as loaded; the encoded picture shown in the after view with its size. Any
    // failure ends the run with the beep and the failure message; what the run had shown
    // until then stays.
    void run();

    // A run for a change that more changes are already following (a held key): it runs once
    // the events already waiting have been handled, so one run serves all their changes and
    // the last value is always previewed. It also waits for a job or a dialog to end.
    void runSoon();
    // A run for a change made by a key held down and repeating every `repeatMs`: a run slower
    // than that would always find the next change waiting when it ends and only be replaced,
    // so it is owed until runOwed() (the key's release); a quicker one runs soon.
    void runForHeldKey(int repeatMs);
    // The owed run, soon (as runSoon); nothing when none is owed.
    void runOwed();

    // Runs asked for between begin and end (a reset or a load that changes every setting)
    // become one run at the end, with the values of that moment.
    void beginBatch();
    void endBatch();

    // The bytes of the last after picture: those of the file the JPEG job writes for the same
    // source and settings.
    const QByteArray& afterBytes() const { return afterBytes_; }
    // "N KB  " for the before view, "N KB　" (full-width space) for the after view: the size in
    // thousands of bytes, remainder dropped, 0 shown as 1 (as for a file that cannot be read).
    static QString beforeSizeText(qint64 bytes);
    static QString afterSizeText(qint64 bytes);

private:
    void steps();
    void runPending();

    Views views_;
    Inputs inputs_;
    sc::UserDialogs& dialogs_;
    QByteArray afterBytes_;
    bool running_ = false;
    bool owed_ = false;   // a deferred, held or batched run is owed
    bool queued_ = false; // a deferred run is on its way
    qint64 lastRunMs_ = 0;
    int batchDepth_ = 0;
    QObject queue_; // the context of deferred runs: none outlives the preview
};
