#pragma once

#include "jobs/PicturePipeline.h"
#include "printing/SheetLayout.h"

#include <QString>
#include <functional>
#include <memory>

namespace sc::sources {
class TSourceList;
}

namespace sc {
class GKitImage;
}

namespace sc::printing {
class CaptionBitmap;
class TGKitImagePrint;
} // namespace sc::printing

namespace sc::jobs {

class StatusLine;

// What the print job works with on the window.
struct PrintControls {
    GKitImage& work;                    // the hidden work view: each source as its thumbnail
    GKitImage& canvas;                  // the sheet being composed, shown as the print preview
    printing::CaptionBitmap& caption;   // the file name under a vertical thumbnail
    printing::TGKitImagePrint& printer; // the window's print control
};

// The contact-sheet job: every source becomes a 160 x 120 thumbnail at its slot of a sheet,
// captioned in the vertical layout; each full sheet and the last one become pages of the job's
// own page file, which is printed and then deleted. The backgrounds are read from
// `dataFolder`; the page file is kept in `scratchFolder` (the program folder when it can be
// written).
class PrintJob {
public:
    PrintJob(const PrintControls& controls, const sources::TSourceList& sources, StatusLine& status,
             const QString& dataFolder, const QString& scratchFolder);

    // `layoutIndex` reads the print mode's item index; it is read afresh for each layout, and
    // an index of neither layout runs nothing. Raises on a picture or background that cannot
    // be read (the runner's guard catches it); the page file then stays until the next job.
    void run(const std::function<int()>& layoutIndex);

    // One worker per core unless a test or benchmark asks for another count (kOnWindowThread
    // among them); the sheets, texts and failures are the same for every count.
    void setPictureWorkers(int workers) { workers_ = workers; }
    // How much picture memory may be in flight at once (the machine's share unless a test or
    // benchmark sets another).
    void setMemoryBudget(MemoryBudget budget) { budget_ = budget; }

private:
    using Thumbnails = PicturePipeline<std::unique_ptr<GKitImage>>;

    void runLayout(const printing::sheet::Layout& layout);
    void composeFrame(const printing::sheet::Layout& layout, int i, Thumbnails& thumbnails);
    void startSheet(const printing::sheet::Layout& layout);
    void appendSheet();

    PrintControls controls_;
    const sources::TSourceList& sources_;
    StatusLine& status_;
    QString dataFolder_;
    QString scratchFolder_;
    QString pageFile_; // this job's, named with its mark in the scratch folder
    int workers_ = pictureWorkersOfThisMachine();
    MemoryBudget budget_ = MemoryBudget::forThisMachine();
};

// The print mode changed on a ready window: the paper orientation first, then the preview
// loads the layout's bare background from `dataFolder`. Does nothing for an index of neither
// layout. A background that cannot be loaded leaves the preview empty, without a message at
// start-up; the print job reports it with the failure message when it starts a sheet.
void showLayout(int layoutIndex, GKitImage& preview, printing::TGKitImagePrint& printer,
                const QString& dataFolder);

} // namespace sc::jobs
