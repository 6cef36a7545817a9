#pragma once

#include "imaging/GKitImage.h"
#include "jobs/PicturePipeline.h"
#include "settings/ConvertSettings.h"

#include <QString>
#include <QStringList>

namespace sc::sources {
class TSourceList;
}

namespace sc {
class UserDialogs;
} // namespace sc

namespace sc::jobs {

class StatusLine;

inline const QString kAlbumFolderTitle = QStringLiteral("HTMLファイル保存先の指定");
inline const QString kOpenAlbumQuestion =
    QStringLiteral("処理が終了しました。\n作成したHTMLファイルを今すぐ参照しますか？");

// The settings of the album page, read from its controls when OK is pressed.
struct AlbumJobSettings {
    int qualityIndex = 2;                       // 0..3 -> save quality 1, 4, 7, 10
    QString title = QStringLiteral("SCC DATA"); // the page's title
};

AlbumJobSettings albumJobSettings(const settings::TConvertSettings& s);

// The album folder from the folder a dialog returned: one trailing '\' or '/' dropped, so a
// drive's root "C:\" gives "C:" and its files "C:/Data/...". Empty when nothing was chosen.
QString albumRootOf(const QString& chosen);
// Where the full-size copy and the thumbnail of `source` go in the album at `root`.
QString albumCopyPath(const QString& root, const QString& source);
QString albumThumbPath(const QString& root, const QString& source);

// Makes a web album in a folder the user picks: a full-size JPEG copy of every picture in
// Data/, a 160 x 120 thumbnail in Thumb/, and Index.html linking each thumbnail to its copy.
// The sources are never changed.
class AlbumJob {
public:
    AlbumJob(GKitImage& image, const sources::TSourceList& sources, StatusLine& status,
             UserDialogs& dialogs);

    // Raises sc::Error (or any std::exception) on a picture that cannot be read or written, or
    // a page that cannot be written; the runner's guard catches it.
    void run(const AlbumJobSettings& settings);

    // One worker per core unless a test or benchmark asks for another count (kOnWindowThread
    // among them); the files, texts and failures are the same for every count.
    void setPictureWorkers(int workers) { workers_ = workers; }
    // How much picture memory may be in flight at once (the machine's share unless a test or
    // benchmark sets another).
    void setMemoryBudget(MemoryBudget budget) { budget_ = budget; }

private:
    struct Prepared;
    bool refusedBeforeWriting(const QString& root);
    void writePictures(const QString& root, QStringList& page);
    static Prepared prepare(const GKitImage::SaveSettings& save, const QString& source);

    GKitImage& image_;
    const sources::TSourceList& sources_;
    StatusLine& status_;
    UserDialogs& dialogs_;
    int workers_ = pictureWorkersOfThisMachine();
    MemoryBudget budget_ = MemoryBudget::forThisMachine();
};

} // namespace sc::jobs
