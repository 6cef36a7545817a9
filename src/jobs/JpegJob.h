#pragma once

#include "imaging/GKitImage.h"
#include "imaging/JobPicture.h"
#include "jobs/OutputClash.h"
#include "jobs/PicturePipeline.h"
#include "settings/ConvertSettings.h"

#include <QDateTime>
#include <QString>
#include <functional>
#include <optional>
#include <vector>

namespace sc::sources {
class TSourceList;
}

namespace sc {
class UserDialogs;
} // namespace sc

namespace sc::jobs {

class StatusLine;

// The settings of the JPEG page, read from its controls when OK is pressed.
struct JpegJobSettings {
    int qualityIndex = 2; // 0..3 -> save quality 1, 4, 7, 10
    int brightness = 0, contrast = 0;
    int red = 0, green = 0, blue = 0;
    int hue = 0, saturation = 0, lightness = 0;
    int destination = 0; // 0 beside the source, 1 into `destinationFolder`
    QString destinationFolder = QStringLiteral("C:/Program Files/Snapcycle");
    int renaming = 1;                              // 0 none, 1 date and time, 2 user text and time
    QString userText = QStringLiteral("20040000"); // what renaming 2 puts before the time

    imaging::TuningValues tuning() const {
        return {brightness, contrast, red, green, blue, hue, saturation, lightness};
    }
};

// The JPEG page's values out of the settings record.
JpegJobSettings jpegJobSettings(const settings::TConvertSettings& s);

// The save quality of a quality item index; empty for an index outside the list.
using imaging::saveQualityFor;

// Where the picture of `source` is written; empty when the destination choice writes nothing.
std::optional<QString> outputPathFor(const QString& source, const JpegJobSettings& settings);

// The name an output is renamed to after its source's time; empty when it keeps its name
// (no renaming, or a user text that cannot be part of a file name).
std::optional<QString> renamedPathFor(const QString& source, const QDateTime& taken,
                                      const JpegJobSettings& settings);

// Converts every picture of the list to JPEG with the tuning of the settings, gives each
// output its source's time, renames it when asked, and offers to delete the sources. When a
// planned output would land on another listed source, or its name is too long to be made,
// nothing is written: the files are named and the job ends.
class JpegJob {
public:
    JpegJob(GKitImage& image, const sources::TSourceList& sources, StatusLine& status,
            UserDialogs& dialogs, std::function<void()> clearSources);

    // Raises sc::Error (or any std::exception) on a picture that cannot be read or written;
    // the runner's guard catches it.
    void run(const JpegJobSettings& settings);

    // One worker per core unless a test or benchmark asks for another count (kOnWindowThread
    // among them); the files, texts and failures are the same for every count.
    void setPictureWorkers(int workers) { workers_ = workers; }
    // How much picture memory may be in flight at once (the machine's share unless a test or
    // benchmark sets another).
    void setMemoryBudget(MemoryBudget budget) { budget_ = budget; }

private:
    struct Output;
    struct Prepared;
    // Every source's output path and time, before anything is written.
    std::vector<Output> plan(const JpegJobSettings& settings) const;
    static std::vector<PlannedOutput> plannedOutputs(const std::vector<Output>& outputs);
    void convertAll(const JpegJobSettings& settings, std::vector<Output>& outputs);
    static Prepared prepare(const JpegJobSettings& settings, const GKitImage::SaveSettings& save,
                            const Output& output);
    // Whether picture i's source is the output of an earlier picture (a file listed twice and
    // converted in place), so it must be read after that output is written.
    static std::vector<bool> readsEarlierOutput(const std::vector<Output>& outputs);
    void redateAndRename(const JpegJobSettings& settings, std::vector<Output>& outputs);
    void syncWritten(const std::vector<Output>& outputs);
    // Removes the sources and clears the list; one message names the sources kept.
    void deleteSourcesThatLiveOn(const std::vector<Output>& outputs);

    GKitImage& image_;
    const sources::TSourceList& sources_;
    StatusLine& status_;
    UserDialogs& dialogs_;
    std::function<void()> clearSources_;
    int workers_ = pictureWorkersOfThisMachine();
    MemoryBudget budget_ = MemoryBudget::forThisMachine();
};

} // namespace sc::jobs
