// Path mapping and folder scan: the input is a set of names of any bytes (split at NUL; a '/'
// in a name makes folders), made as files in the album folder of a scratch program folder and
// scanned as the start-up scan and a dropped folder are. Every path found must lead back to one
// file made inside the album, each file is found once (or, when its name cannot be carried as
// text, told of instead), and the names the jobs make of a found path stay in their folders:
// the JPEG output beside its source or in the chosen folder, the album's copy and thumbnail.
#include "FuzzSupport.h"

#include "jobs/AlbumJob.h"
#include "jobs/JpegJob.h"
#include "platform/WinPath.h"
#include "sources/SearchFile.h"

#include <QFile>
#include <QTemporaryDir>

#include <filesystem>
#include <fstream>
#include <map>
#include <string>
#include <vector>

using sc::sources::TSearchFile;

namespace {

namespace fs = std::filesystem;

constexpr std::size_t kMaxNames = 16;
constexpr std::size_t kMaxComponent = 200;

fs::path hostOf(const QString& text) {
    return fs::path(QFile::encodeName(sc::winpath::hostPath(text)).toStdString());
}

bool carried(const std::string& component) {
    const QByteArray bytes = QByteArray::fromStdString(component);
    return QFile::encodeName(QFile::decodeName(bytes)) == bytes;
}

// The input's names as relative paths of components; no empty, "." or ".." component.
std::vector<std::vector<std::string>> namesOf(const std::uint8_t* data, std::size_t size) {
    std::vector<std::vector<std::string>> names(1);
    std::string component;
    const auto endComponent = [&] {
        if (!component.empty() && component != "." && component != ".." &&
            component.size() <= kMaxComponent)
            names.back().push_back(component);
        component.clear();
    };
    for (std::size_t i = 0; i < size && names.size() <= kMaxNames; ++i) {
        if (data[i] == '\0') {
            endComponent();
            names.emplace_back();
        } else if (data[i] == '/') {
            endComponent();
        } else {
            component += char(data[i]);
        }
    }
    endComponent();
    return names;
}

// Makes the files; returns each one made, by its host path, with whether its path can be
// carried as text and whether it sits directly inside the album.
struct Made {
    bool carried;
    bool topLevel;
    int found = 0;
};

std::map<fs::path, Made> make(const fs::path& album,
                              const std::vector<std::vector<std::string>>& names) {
    std::map<fs::path, Made> made;
    for (const auto& parts : names) {
        if (parts.empty())
            continue;
        fs::path path = album;
        bool allCarried = true;
        for (const std::string& part : parts) {
            path /= part;
            allCarried = allCarried && carried(part);
        }
        std::error_code error;
        fs::create_directories(path.parent_path(), error);
        if (error || fs::exists(path, error))
            continue;
        std::ofstream(path) << "x";
        if (fs::is_regular_file(path, error))
            made[path] = {allCarried, parts.size() == 1};
    }
    // A folder made for one name may be another's file: only what is still a file counts.
    std::erase_if(made, [](const auto& m) { return !fs::is_regular_file(m.first); });
    return made;
}

void expectInside(const QString& text, const fs::path& folder, const char* what) {
    if (hostOf(text).lexically_normal().parent_path() != folder.lexically_normal())
        sc::fuzz::fail(what);
}

void checkJobNames(const QString& found, const fs::path& sourceFolder, const fs::path& program) {
    sc::jobs::JpegJobSettings beside;
    beside.destination = 0;
    expectInside(*sc::jobs::outputPathFor(found, beside), sourceFolder,
                 "an output beside its source left the source's folder");
    sc::jobs::JpegJobSettings into;
    into.destination = 1;
    into.destinationFolder = QStringLiteral("C:/out");
    expectInside(*sc::jobs::outputPathFor(found, into), program / "drive_c/out",
                 "an output left the chosen folder");
    expectInside(sc::jobs::albumCopyPath(QStringLiteral("D:/album"), found),
                 program / "drive_d/album/Data", "an album copy left Data");
    expectInside(sc::jobs::albumThumbPath(QStringLiteral("D:/album"), found),
                 program / "drive_d/album/Thumb", "an album thumbnail left Thumb");
}

void scan(bool recursive, std::map<fs::path, Made>& made, const fs::path& program) {
    for (auto& [path, m] : made)
        m.found = 0;
    TSearchFile search;
    search.Directory = QStringLiteral("C:/Album");
    search.SearchName = QString();
    search.Recursive = recursive;
    search.OnFind = [&](const QString& found) {
        const fs::path host = hostOf(found);
        std::error_code error;
        const auto m = made.find(fs::canonical(host, error));
        if (error || m == made.end())
            sc::fuzz::fail("a path found leads to no file made in the album");
        if (host.lexically_normal() != m->first)
            sc::fuzz::fail("a path found leads to its file another way");
        ++m->second.found;
        checkJobNames(found, m->first.parent_path(), program);
    };
    search.Execute();
    for (const auto& [path, m] : made) {
        const bool expected = m.carried && (recursive || m.topLevel);
        if (m.found != (expected ? 1 : 0))
            sc::fuzz::fail("a file was found more than once, or not at all");
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static QTemporaryDir scratch;
    if (!scratch.isValid())
        sc::fuzz::fail("no temporary folder");
    const fs::path program = fs::canonical(scratch.path().toStdString());
    sc::winpath::setProgramFolder(QString::fromStdString(program.string()));
    const fs::path album = program / "drive_c/Album";
    fs::remove_all(program / "drive_c");
    fs::create_directories(album);

    std::map<fs::path, Made> made = make(album, namesOf(data, size));
    scan(true, made, program);
    scan(false, made, program);
    fs::remove_all(program / "drive_c"); // names that are not UTF-8 are beyond QTemporaryDir
    return 0;
}
