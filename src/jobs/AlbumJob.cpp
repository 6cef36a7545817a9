#include "AlbumJob.h"

#include "AlbumPage.h"
#include "JobTexts.h"
#include "JpegJob.h"
#include "OutputClash.h"
#include "StatusLine.h"
#include "imaging/GKitImage.h"
#include "platform/Error.h"
#include "platform/FileOps.h"
#include "platform/UserDialogs.h"
#include "platform/WinPath.h"
#include "sources/SourceList.h"

namespace sc::jobs {

namespace {
constexpr int kThumbWidth = 160;
constexpr int kThumbHeight = 120;

QString albumName(const QString& source) {
    return winpath::fileNameOf(winpath::withJpgExtension(source));
}
} // namespace

AlbumJobSettings albumJobSettings(const settings::TConvertSettings& s) {
    return {s.C4_01, s.Edit1};
}

QString albumRootOf(const QString& chosen) {
    // A host file system's root "/" stays whole: it is a choice, not a cancel.
    if (chosen.size() > 1 && (chosen.endsWith(u'\\') || chosen.endsWith(u'/')))
        return chosen.chopped(1);
    return chosen;
}

QString albumCopyPath(const QString& root, const QString& source) {
    return root + QStringLiteral("/Data/") + albumName(source);
}

QString albumThumbPath(const QString& root, const QString& source) {
    return root + QStringLiteral("/Thumb/th_") + albumName(source);
}

AlbumJob::AlbumJob(GKitImage& image, const TSourceList& sources, StatusLine& status,
                   UserDialogs& dialogs)
    : image_(image), sources_(sources), status_(status), dialogs_(dialogs) {}

void AlbumJob::run(const AlbumJobSettings& settings) {
    const QString root = albumRootOf(dialogs_.browseFolderFrom(kAlbumFolderTitle, QString()));
    if (root.isEmpty())
        return;
    if (clashesWithSources(root))
        return;
    fileops::makeFolders(root + QStringLiteral("/Data/"));
    fileops::makeFolders(root + QStringLiteral("/Thumb/"));
    QStringList page = album::headLines(settings.title);
    if (const auto quality = saveQualityFor(settings.qualityIndex))
        image_.setSaveQuality(*quality);
    image_.setSaveCompression(GKitImage::kCompressionBaseline);
    if (sources_.count() == 0)
        return;

    writePictures(root, page);
    page << album::lastLine();
    const QString index = root + QStringLiteral("/Index.html");
    // A read-only page stays as it is, as it would on Windows (a rename would replace it here).
    if (fileops::isReadOnly(index) || !fileops::writeFileReplacing(index, album::pageBytes(page)))
        throw Error(QStringLiteral("%1 cannot be written").arg(index));

    status_.showIdlePrompt();
    image_.Delete();
    dialogs_.beep();
    if (dialogs_.askYesNo(kOpenAlbumQuestion))
        dialogs_.openWithShell(index);
}

// No copy or thumbnail may land on a listed source, its own included: the sources are never
// changed. When one would, nothing is written at all.
bool AlbumJob::clashesWithSources(const QString& root) {
    std::vector<PlannedOutput> planned;
    for (int i = 0; i < sources_.count(); ++i) {
        planned.push_back({i, albumCopyPath(root, sources_.at(i))});
        planned.push_back({i, albumThumbPath(root, sources_.at(i))});
    }
    std::vector<OutputClash> clashes = findOutputClashes(sources_.paths(), planned);
    for (const PlannedOutput& out : planned) {
        const QString& source = sources_.at(out.sourceIndex);
        if (fileKey(out.path) == fileKey(source))
            clashes.push_back({source, out.path, source});
    }
    if (clashes.empty())
        return false;
    dialogs_.message(clashMessage(clashes));
    status_.showIdlePrompt();
    return true;
}

void AlbumJob::writePictures(const QString& root, QStringList& page) {
    status_.repaintWindow();
    for (int i = 0; i < sources_.count(); ++i) {
        const QString& source = sources_.at(i);
        image_.setInputFileName(source);
        image_.Load();
        if (image_.ColorDepth() != GKitImage::kDepthFull)
            image_.ChangeColorDepth(GKitImage::kDepthFull);
        image_.setInputFileName(albumCopyPath(root, source));
        image_.Save(image_.InputFileName());
        image_.ResizeImage(kThumbWidth, kThumbHeight);
        image_.setInputFileName(albumThumbPath(root, source));
        image_.Save(image_.InputFileName());
        page << album::pictureLines(albumName(source));
        status_.show(albumProgress(i + 1, sources_.count()));
    }
}

} // namespace sc::jobs
