#include "JpegJob.h"

#include "JobTexts.h"
#include "OutputClash.h"
#include "SourceDeletion.h"
#include "StatusLine.h"
#include "imaging/Buffers.h"
#include "imaging/GKitImage.h"
#include "imaging/JobPicture.h"
#include "platform/Error.h"
#include "platform/FileIdentity.h"
#include "platform/FileOps.h"
#include "platform/FileWrites.h"
#include "platform/FolderIndex.h"
#include "platform/UserDialogs.h"
#include "platform/WinPath.h"
#include "sources/SourceList.h"

#include <QHash>
#include <QSet>

#include <memory>

namespace sc::jobs {

namespace {

// Characters that a file name cannot hold on the platform the names are made for.
bool fitsInFileName(const QString& text) {
    static const QString forbidden = QStringLiteral("\\/:*?\"<>|");
    for (const QChar c : text) {
        if (c.unicode() < 32 || forbidden.contains(c))
            return false;
    }
    return true;
}

} // namespace

JpegJobSettings jpegJobSettings(const settings::TConvertSettings& s) {
    JpegJobSettings j;
    j.qualityIndex = s.jpegQuality;
    j.brightness = s.brightness;
    j.contrast = s.contrast;
    j.red = s.redBalance;
    j.green = s.greenBalance;
    j.blue = s.blueBalance;
    j.hue = s.hue;
    j.saturation = s.saturation;
    j.lightness = s.lightness;
    j.destination = s.destination;
    j.destinationFolder = s.destinationFolder;
    j.renaming = s.renaming;
    j.userText = s.userText;
    return j;
}

std::optional<QString> outputPathFor(const QString& source, const JpegJobSettings& settings) {
    switch (settings.destination) {
    case 0:
        return winpath::withJpgExtension(source);
    case 1:
        return winpath::join(settings.destinationFolder,
                             winpath::fileNameOf(winpath::withJpgExtension(source)));
    default:
        return std::nullopt;
    }
}

std::optional<QString> renamedPathFor(const QString& source, const QDateTime& taken,
                                      const JpegJobSettings& settings) {
    const QString folder =
        settings.destination == 0 ? winpath::folderOf(source) : settings.destinationFolder;
    switch (settings.renaming) {
    case 1:
        return winpath::join(folder, QStringLiteral("sc_") +
                                         taken.toString(QStringLiteral("yyyyMMdd_hhmm_ss")) +
                                         QStringLiteral(".jpg"));
    case 2:
        // A name that would point into another folder fails to rename, as it would on Windows.
        if (!fitsInFileName(settings.userText))
            return std::nullopt;
        return winpath::join(folder, QStringLiteral("sc_") + settings.userText +
                                         taken.toString(QStringLiteral("_hhmm_ss")) +
                                         QStringLiteral(".jpg"));
    default:
        return std::nullopt;
    }
}

struct JpegJob::Output {
    QString source;
    std::optional<QString> path; // written in the first pass
    // The source's time, read before anything is written: a JPEG re-encoded onto its own path
    // would otherwise take the time of its conversion. Empty outside the file-date range.
    std::optional<QDateTime> taken;
    QString key;       // fileKey(path)
    QString sourceKey; // fileKey(source)
    // The source as it was converted: only that file may be deleted for this output.
    std::optional<fileops::FileIdentity> identity;
    qint64 writtenSize = -1;
    bool overwrittenLater = false;
    QString finalPath; // where the picture is at the end (after a rename)
};

JpegJob::JpegJob(GKitImage& image, const sources::TSourceList& sources, StatusLine& status,
                 UserDialogs& dialogs, std::function<void()> clearSources)
    : image_(image), sources_(sources), status_(status), dialogs_(dialogs),
      clearSources_(std::move(clearSources)) {}

void JpegJob::run(const JpegJobSettings& settings) {
    // Each output folder is listed once for the whole job, however many names it resolves.
    const winpath::FolderListingScope listings;
    const imaging::GiveMemoryBackAtEnd memoryBack;
    imaging::setJobSaveSettings(image_, settings.qualityIndex);
    if (sources_.count() == 0)
        return;

    std::vector<Output> outputs = plan(settings);
    if (const QString refusal =
            refusalBeforeWriting(sources_.paths(), plannedOutputs(outputs), OntoOwnSource::Allowed);
        !refusal.isEmpty()) {
        dialogs_.message(refusal);
        status_.showIdlePrompt();
        return;
    }
    convertAll(settings, outputs);
    redateAndRename(settings, outputs);
    syncWritten(outputs);

    status_.showIdlePrompt();
    dialogs_.beep();
    if (dialogs_.askYesNo(kDeleteSourcesQuestion))
        deleteSourcesThatLiveOn(outputs);
}

std::vector<JpegJob::Output> JpegJob::plan(const JpegJobSettings& s) const {
    std::vector<Output> outputs;
    outputs.reserve(sources_.count());
    for (int i = 0; i < sources_.count(); ++i) {
        Output out;
        out.source = sources_.at(i);
        out.path = outputPathFor(out.source, s);
        out.taken = fileops::lastWriteTime(out.source);
        out.sourceKey = fileKey(out.source);
        out.identity = fileops::fileIdentity(out.source);
        if (out.path) {
            out.key = fileKey(*out.path);
            out.finalPath = *out.path;
        }
        outputs.push_back(out);
    }
    return outputs;
}

std::vector<PlannedOutput> JpegJob::plannedOutputs(const std::vector<Output>& outputs) {
    std::vector<PlannedOutput> planned;
    for (int i = 0; i < int(outputs.size()); ++i) {
        if (outputs[i].path)
            planned.push_back({i, *outputs[i].path});
    }
    return planned;
}

// A picture read, tuned and encoded, ready to be written.
struct JpegJob::Prepared {
    std::unique_ptr<GKitImage> picture;
    QByteArray bytes; // empty when nothing is written
};

// Runs on a worker thread: touches nothing but its own picture and the file it reads.
JpegJob::Prepared JpegJob::prepare(const JpegJobSettings& s, const GKitImage::SaveSettings& save,
                                   const Output& out) {
    Prepared prepared{std::make_unique<GKitImage>(), {}};
    GKitImage& picture = *prepared.picture;
    picture.setSaveSettings(save);
    if (out.path)
        GKitImage::requireJpegSize(out.source);
    picture.Load(out.source);
    picture.dropOriginal();
    imaging::tuneLikeTheJob(picture, s.tuning());
    if (out.path)
        prepared.bytes = picture.encoded();
    return prepared;
}

std::vector<bool> JpegJob::readsEarlierOutput(const std::vector<Output>& outputs) {
    std::vector<bool> waits(outputs.size(), false);
    QSet<QString> written;
    for (size_t i = 0; i < outputs.size(); ++i) {
        waits[i] = written.contains(outputs[i].sourceKey);
        if (outputs[i].path)
            written.insert(outputs[i].key);
    }
    return waits;
}

void JpegJob::convertAll(const JpegJobSettings& s, std::vector<Output>& outputs) {
    status_.repaintWindow();
    // The workers read their own copy: the window thread marks `outputs` as it goes.
    const std::vector<Output> planned = outputs;
    const std::vector<bool> waits = readsEarlierOutput(planned);
    const GKitImage::SaveSettings save = image_.saveSettings();
    PicturePipeline<Prepared> pipeline(
        int(planned.size()), workers_, [&](int i) { return prepare(s, save, planned[size_t(i)]); },
        [&](int i) { return bool(waits[size_t(i)]); }, 1,
        {budget_, [&](int i) { return workingBytesOf(planned[size_t(i)].source); }});
    QHash<QString, int> lastWriter;
    for (int i = 0; i < sources_.count() && i < int(outputs.size()); ++i) {
        Output& out = outputs[i];
        Prepared prepared = pipeline.take(i);
        image_.takePicture(*prepared.picture);
        if (out.path) {
            GKitImage::writeEncoded(*out.path, prepared.bytes);
            out.writtenSize = prepared.bytes.size();
            if (const auto earlier = lastWriter.find(out.key); earlier != lastWriter.end())
                outputs[*earlier].overwrittenLater = true;
            lastWriter.insert(out.key, i);
        }
        status_.show(jpegProgress(i + 1, sources_.count()));
        image_.Delete();
    }
}

void JpegJob::redateAndRename(const JpegJobSettings& settings, std::vector<Output>& outputs) {
    status_.show(kRenamePassText);
    QHash<QString, QString> renamedTo; // output key -> new path
    for (int i = 0; i < sources_.count() && i < int(outputs.size()); ++i) {
        const QString& source = outputs[i].source;
        if (!fileops::canOpenToReadTime(source)) {
            dialogs_.message(source + kTimestampUnreadableSuffix);
            continue;
        }
        const auto& taken = outputs[i].taken;
        if (!taken)
            throw Error(
                QStringLiteral("The time of %1 does not fit the file-date format").arg(source));
        if (!outputs[i].path)
            continue;
        const QString& output = *outputs[i].path;
        fileops::setLastWriteTime(output, *taken);
        if (const auto renamed = renamedPathFor(source, *taken, settings)) {
            if (fileops::renameNoReplace(output, *renamed))
                renamedTo.insert(outputs[i].key, *renamed);
        }
    }
    for (Output& out : outputs) {
        if (const auto renamed = renamedTo.find(out.key); renamed != renamedTo.end())
            out.finalPath = *renamed;
    }
}

// Nothing is offered for deletion before every output, under its final name, is on disk.
void JpegJob::syncWritten(const std::vector<Output>& outputs) {
    QStringList written;
    for (const Output& out : outputs) {
        if (out.path)
            written << out.finalPath;
    }
    fileops::syncOutputs(written);
}

// A source goes only when its picture lives on in an output of this run that is really on
// disk, and only while it is still the file that was converted; the kept ones are named once.
void JpegJob::deleteSourcesThatLiveOn(const std::vector<Output>& outputs) {
    std::vector<DeletionCandidate> candidates;
    candidates.reserve(outputs.size());
    for (const Output& out : outputs) {
        candidates.push_back({out.source, out.sourceKey, out.identity,
                              out.path ? out.finalPath : QString(), out.writtenSize,
                              out.overwrittenLater, out.path && out.key == out.sourceKey});
    }
    const std::vector<KeptSource> kept = removeSourcesThatLiveOn(candidates);
    clearSources_();
    if (!kept.empty())
        dialogs_.message(keptMessage(kept));
}

} // namespace sc::jobs
