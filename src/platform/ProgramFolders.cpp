#include "ProgramFolders.h"

#include "Error.h"
#include "FileOps.h"
#include "FileWrites.h"
#include "IniFile.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>
#include <QStandardPaths>

namespace sc {

namespace {

const QString kSamples = QStringLiteral("drive_c");

// The data folder that the marker of a shared install names, or an empty text when
// `programFolder` is no shared install's.
QString sharedDataFolder(const QString& programFolder) {
    const QString marker = programFolder + u'/' + QLatin1String(kSharedInstallMarker);
    if (!QFileInfo(marker).isFile())
        return {};
    IniFile file(marker);
    if (!file.load())
        return programFolder;
    const QString data = file.readString(QStringLiteral("SHARED"), QStringLiteral("DATA"), {});
    return data.isEmpty() ? programFolder
                          : QDir::cleanPath(QDir(programFolder).absoluteFilePath(data));
}

// Copies the sample pictures with their times: the JPEG job names its outputs after them.
void copySamples(const QString& from, const QString& to) {
    QDirIterator it(from, QDir::Files | QDir::Dirs | QDir::NoDotAndDotDot | QDir::Hidden,
                    QDirIterator::Subdirectories);
    QStringList written;
    while (it.hasNext()) {
        const QFileInfo source(it.next());
        const QString target = to + source.filePath().mid(from.size());
        if (source.isDir()) {
            fileops::makeFoldersOrRaise(target);
            continue;
        }
        QFile file(source.filePath());
        if (!file.open(QIODevice::ReadOnly))
            throw Error(QStringLiteral("cannot read the sample %1").arg(source.filePath()));
        fileops::makeFoldersOrRaise(QFileInfo(target).path());
        fileops::writeFileReplacing(target, file.readAll());
        fileops::setLastWriteTime(target, source.lastModified());
        written << target;
    }
    fileops::syncOutputs(written);
}

// Makes `folder` and its missing parents for this user alone, as the desktop's data folders are
// made: a home that others may read must not show them one user's settings and pictures.
void makePrivateFolder(const QString& folder) {
    const QString parent = QFileInfo(folder).path();
    if (parent != folder && !QFileInfo(parent).isDir())
        makePrivateFolder(parent);
    // Another copy starting at the same moment may have made a parent first.
    if (!QDir().mkdir(folder, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner) &&
        !QFileInfo(folder).isDir())
        throw Error(QStringLiteral("cannot make the folder %1").arg(folder));
}

// Makes `folder` with the samples of `data` unless it is there. It is put together under
// another name and then given its own, so that a start that fails or is killed half-way, or a
// second copy starting at the same moment, never leaves a folder without its samples.
void makeUserFolder(const QString& folder, const QString& data) {
    if (QFileInfo(folder).isDir())
        return;
    const QFileInfo place(folder);
    const QString staging = place.path() + QStringLiteral("/.") + place.fileName() +
                            QStringLiteral(".new-") +
                            QString::number(QRandomGenerator::global()->generate64(), 36);
    try {
        makePrivateFolder(staging);
        if (QFileInfo(data + u'/' + kSamples).isDir())
            copySamples(data + u'/' + kSamples, staging + u'/' + kSamples);
        if (fileops::renameNoReplace(staging, folder))
            return;
    } catch (const Error&) {
        // The folder stays unmade; the start says it cannot be written.
    }
    QDir(staging).removeRecursively();
}

} // namespace

UserPlaces UserPlaces::ofThisUser() {
    const QString runtime = QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation);
    return {QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation),
            runtime.isEmpty() ? QString() : runtime + QStringLiteral("/SC_CONVERTER-pages")};
}

ProgramFolders chooseProgramFolders(const QString& programFolder, const UserPlaces& user) {
    ProgramFolders folders{programFolder, programFolder, programFolder};
    const QString shared = sharedDataFolder(programFolder);
    if (!shared.isEmpty() && !user.data.isEmpty()) {
        folders.data = shared;
        folders.own = user.data + u'/' + QLatin1String(kUserProgramFolderName);
        makeUserFolder(folders.own, shared);
    }
    folders.scratch = folders.own;
    if (!fileops::canCreateFileIn(folders.own) && !user.scratch.isEmpty() &&
        QDir().mkpath(user.scratch))
        folders.scratch = user.scratch;
    return folders;
}

} // namespace sc
