#include "jobs/PrintJob.h"

#include "imaging/Buffers.h"
#include "imaging/GKitImage.h"
#include "jobs/JobTexts.h"
#include "jobs/StatusLine.h"
#include "platform/FileFailure.h"
#include "platform/FileOps.h"
#include "platform/FolderIndex.h"
#include "platform/RunMark.h"
#include "platform/WinPath.h"
#include "printing/CaptionBitmap.h"
#include "printing/TGKitImagePrint.h"
#include "printing/TiffPages.h"
#include "sources/SourceList.h"

#include <exception>
#include <memory>

namespace sc::jobs {

namespace {

namespace sheet = printing::sheet;

constexpr int kCaptionPoints = 12;
const QString kPageFileSuffix = QStringLiteral(".tif");

// Runs on a worker thread: touches nothing but its own picture and the file it reads. A JPEG
// is decoded only as large as the thumbnail needs.
std::unique_ptr<GKitImage> thumbnailOf(const QString& source) {
    auto picture = std::make_unique<GKitImage>();
    picture->setLoadSizeHint(QSize(sheet::kThumbWidth, sheet::kThumbHeight));
    picture->Load(source);
    picture->ResizeImage(sheet::kThumbWidth, sheet::kThumbHeight);
    return picture;
}

// Thumbnails are small: the workers may run well ahead of the sheet.
constexpr int kThumbnailsAheadPerWorker = 2;

} // namespace

PrintJob::PrintJob(const PrintControls& controls, const sources::TSourceList& sources,
                   StatusLine& status, const QString& dataFolder, const QString& scratchFolder)
    : controls_(controls), sources_(sources), status_(status), dataFolder_(dataFolder),
      scratchFolder_(scratchFolder) {}

void PrintJob::run(const std::function<int()>& layoutIndex) {
    // Each output folder is listed once for the whole job, however many names it resolves.
    const winpath::FolderListingScope listings;
    const imaging::GiveMemoryBackAtEnd memoryBack;
    if (layoutIndex() == 0)
        runLayout(sheet::kVertical);
    if (layoutIndex() == 1)
        runLayout(sheet::kFilm);
}

void PrintJob::runLayout(const sheet::Layout& layout) {
    // The page file is this job's own: another copy of the program may print beside it, on
    // the same program folder.
    const fileops::RunMark mark(scratchFolder_);
    pageFile_ = mark.name(QLatin1String(layout.pageFileStem), kPageFileSuffix);
    if (mark.error())
        throw fileFailure(FileAction::Write, pageFile_, mark.error());
    // Pages left by a job that failed or was killed are never printed: they go now.
    mark.removeLeftovers(
        {QLatin1String(sheet::kVertical.pageFileStem), QLatin1String(sheet::kFilm.pageFileStem)},
        kPageFileSuffix);
    if (layout.captions)
        controls_.caption.setFontSize(kCaptionPoints);
    if (sources_.count() > 0) {
        status_.repaintWindow();
        const QStringList sources = sources_.paths();
        const QSize thumbnail(sheet::kThumbWidth, sheet::kThumbHeight);
        Thumbnails thumbnails(
            int(sources.size()), workers_, [&](int i) { return thumbnailOf(sources[i]); }, {},
            kThumbnailsAheadPerWorker,
            {budget_, [&](int i) { return workingBytesOf(sources[i], thumbnail); }});
        for (int i = 0; i < sources_.count(); ++i) {
            composeFrame(layout, i, thumbnails);
            status_.show(printProgress(i + 1, sources_.count()));
        }
        status_.showIdlePrompt();
        controls_.work.Delete();
    } else {
        // An empty list prints the bare background, whatever an earlier job left on the canvas
        // (after a sheet filled to the last slot, nothing: the print would end in silence).
        startSheet(layout);
    }
    // The sheet in progress, whatever the list held.
    appendSheet();
    controls_.printer.setFileName(pageFile_);
    controls_.printer.StartPrint();
    fileops::deleteFile(pageFile_);
}

// The order is fixed: the caption is drawn before the source loads, the thumbnail is pasted
// before its caption, and a full sheet is appended after its last caption.
void PrintJob::composeFrame(const sheet::Layout& layout, int i, Thumbnails& thumbnails) {
    const QString source = sources_.at(i);
    const int k = i % layout.capacity;
    if (layout.captions)
        controls_.caption.draw(winpath::baseNameOf(source));

    GKitImage& work = controls_.work;
    const std::unique_ptr<GKitImage> thumbnail = thumbnails.take(i);
    work.takePicture(*thumbnail);

    // Pasted from the program's own memory: the desktop's clipboard belongs to the user.
    GKitImage& canvas = controls_.canvas;
    if (k == 0)
        startSheet(layout);
    const sheet::Point at = layout.slot(k);
    canvas.paste(work.image(), at.x, at.y);
    if (layout.captions)
        canvas.paste(controls_.caption.image(), at.x + sheet::kCaptionOffset.x,
                     at.y + sheet::kCaptionOffset.y);
    if (k == layout.capacity - 1) {
        appendSheet();
        canvas.Delete();
    }
}

// The background is read from its file for every sheet.
void PrintJob::startSheet(const sheet::Layout& layout) {
    GKitImage& canvas = controls_.canvas;
    canvas.Load(dataFolder_ + QLatin1String(layout.background));
    canvas.ChangeColorDepth(GKitImage::kDepthFull);
}

// An empty canvas adds no page, so a list that filled its last sheet exactly prints no blank
// sheet after it.
void PrintJob::appendSheet() {
    const GKitImage& canvas = controls_.canvas;
    if (!canvas.isEmpty())
        printing::appendTiffPage(pageFile_, canvas.image());
}

void showLayout(int layoutIndex, GKitImage& preview, printing::TGKitImagePrint& printer,
                const QString& dataFolder) {
    const sheet::Layout* layout = sheet::layoutFor(layoutIndex);
    if (!layout)
        return;
    printer.setPaperOrientation(layout->paperOrientation);
    try {
        preview.Load(dataFolder + QLatin1String(layout->background));
    } catch (const std::exception&) {
        // No stale sheet poses as the layout; the job reports the missing background.
        preview.Delete();
    }
}

} // namespace sc::jobs
