#include "AlbumJob.h"

#include "AlbumPage.h"
#include "JobTexts.h"
#include "OutputClash.h"
#include "StatusLine.h"
#include "imaging/Buffers.h"
#include "imaging/GKitImage.h"
#include "imaging/JobPicture.h"
#include "platform/Error.h"
#include "platform/FileOps.h"
#include "platform/FileWrites.h"
#include "platform/FolderIndex.h"
#include "platform/UserDialogs.h"
#include "platform/WinPath.h"
#include "sources/SourceList.h"

#include <memory>

namespace sc::jobs {

namespace {
constexpr int kThumbWidth = 160;
constexpr int kThumbHeight = 120;

QString albumName(const QString& source) {
    return winpath::fileNameOf(winpath::withJpgExtension(source));
}
} // namespace

AlbumJobSettings albumJobSettings(const settings::TConvertSettings& s) {
    return {s.albumQuality, s.albumTitle};
}

QString albumRootOf(const QString& chosen) {
    // A host file system's root "/" stays whole: it is a choice, not a cancel. A host folder's
    // name may end in '\': only a path term's delimiter goes.
    const int last = winpath::lastDelimiter(chosen);
    const bool trailing = chosen.size() > 1 && last == chosen.size() - 1 && chosen[last] != u':';
    return trailing ? chosen.left(last) : chosen;
}

// The name is joined as one name: a '\' in it never leads out of Data or Thumb.
QString albumCopyPath(const QString& root, const QString& source) {
    return winpath::join(root + QStringLiteral("/Data"), albumName(source));
}

QString albumThumbPath(const QString& root, const QString& source) {
    return winpath::join(root + QStringLiteral("/Thumb"),
                         QStringLiteral("th_") + albumName(source));
}

AlbumJob::AlbumJob(GKitImage& image, const sources::TSourceList& sources, StatusLine& status,
                   UserDialogs& dialogs)
    : image_(image), sources_(sources), status_(status), dialogs_(dialogs) {}

void AlbumJob::run(const AlbumJobSettings& settings) {
    // Each output folder is listed once for the whole job, however many names it resolves.
    const winpath::FolderListingScope listings;
    const imaging::GiveMemoryBackAtEnd memoryBack;
    const QString root = albumRootOf(dialogs_.browseFolderFrom(kAlbumFolderTitle, QString()));
    if (root.isEmpty())
        return;
    if (refusedBeforeWriting(root))
        return;
    fileops::makeFoldersOrRaise(root + QStringLiteral("/Data"));
    fileops::makeFoldersOrRaise(root + QStringLiteral("/Thumb"));
    QStringList page = album::headLines(settings.title);
    imaging::setJobSaveSettings(image_, settings.qualityIndex);
    if (sources_.count() == 0)
        return;

    writePictures(root, page);
    page << album::lastLine();
    const QString index = root + QStringLiteral("/Index.html");
    fileops::writeFileReplacing(index, album::pageBytes(page));
    // The page is not offered before every file it links is on disk.
    const QString first = sources_.at(0);
    fileops::syncOutputs({index, albumCopyPath(root, first), albumThumbPath(root, first)});

    status_.showIdlePrompt();
    image_.Delete();
    dialogs_.beep();
    if (dialogs_.askYesNo(kOpenAlbumQuestion))
        dialogs_.openWithShell(index);
}

// No copy or thumbnail may land on a listed source, its own included: the sources are never
// changed. Nor may the job stop halfway, without a page, over a name too long to be made (a
// thumbnail's name is three bytes longer than its source's). Either way nothing is written.
bool AlbumJob::refusedBeforeWriting(const QString& root) {
    std::vector<PlannedOutput> planned;
    for (int i = 0; i < sources_.count(); ++i) {
        planned.push_back({i, albumCopyPath(root, sources_.at(i))});
        planned.push_back({i, albumThumbPath(root, sources_.at(i))});
    }
    const QString refusal = refusalBeforeWriting(sources_.paths(), planned, OntoOwnSource::Clashes);
    if (refusal.isEmpty())
        return false;
    dialogs_.message(refusal);
    status_.showIdlePrompt();
    return true;
}

// A picture read and encoded twice, ready to be written; `picture` holds the thumbnail.
struct AlbumJob::Prepared {
    std::unique_ptr<GKitImage> picture;
    QByteArray copy, thumb;
};

// Runs on a worker thread: touches nothing but its own picture and the file it reads.
AlbumJob::Prepared AlbumJob::prepare(const GKitImage::SaveSettings& save, const QString& source) {
    Prepared prepared{std::make_unique<GKitImage>(), {}, {}};
    GKitImage& picture = *prepared.picture;
    picture.setSaveSettings(save);
    GKitImage::requireJpegSize(source); // the full-size copy is a JPEG
    picture.Load(source);
    picture.dropOriginal(); // the full-size buffer goes back to the pool at the resize
    if (picture.ColorDepth() != GKitImage::kDepthFull)
        picture.ChangeColorDepth(GKitImage::kDepthFull);
    prepared.copy = picture.encoded();
    picture.ResizeImage(kThumbWidth, kThumbHeight);
    prepared.thumb = picture.encoded();
    return prepared;
}

void AlbumJob::writePictures(const QString& root, QStringList& page) {
    status_.repaintWindow();
    const QStringList sources = sources_.paths();
    const GKitImage::SaveSettings save = image_.saveSettings();
    // No output lands on a source (refusedBeforeWriting), so any picture may be read ahead; a
    // prepared picture holds only its encoded bytes and thumbnail, so several may wait.
    PicturePipeline<Prepared> pipeline(
        int(sources.size()), workers_, [&](int i) { return prepare(save, sources[i]); }, {}, 2,
        {budget_, [&](int i) { return workingBytesOf(sources[i]); }});
    for (int i = 0; i < sources_.count(); ++i) {
        const QString& source = sources_.at(i);
        Prepared prepared = pipeline.take(i);
        image_.takePicture(*prepared.picture);
        GKitImage::writeEncoded(albumCopyPath(root, source), prepared.copy);
        GKitImage::writeEncoded(albumThumbPath(root, source), prepared.thumb);
        page << album::pictureLines(albumName(source));
        status_.show(albumProgress(i + 1, sources_.count()));
    }
}

} // namespace sc::jobs
