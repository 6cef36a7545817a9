#include "SourceDeletion.h"

#include "JobTexts.h"
#include "imaging/Codecs.h"
#include "platform/WinPath.h"

#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QSet>
#include <exception>

namespace sc::jobs {

std::optional<KeptBecause> checkOutput(const QString& path, qint64 size) {
    const QFileInfo info(winpath::hostPath(path));
    if (!info.isFile())
        return KeptBecause::OutputMissing;
    if (info.size() != size)
        return KeptBecause::OutputDamaged;
    QFile file(info.filePath());
    if (!file.open(QIODevice::ReadOnly))
        return KeptBecause::OutputMissing;
    const QByteArray bytes = file.readAll();
    if (bytes.size() != size)
        return KeptBecause::OutputDamaged;
    try {
        imaging::decodeJpeg(reinterpret_cast<const uchar*>(bytes.constData()), bytes.size(),
                            {QSize(1, 1)});
    } catch (const std::exception&) {
        return KeptBecause::OutputDamaged;
    }
    return std::nullopt;
}

namespace {

// Why one entry's source must stay; empty when its picture lives on.
std::optional<KeptBecause> verdictFor(const DeletionCandidate& c) {
    if (c.output.isEmpty())
        return KeptBecause::NoOutput;
    if (c.overwrittenLater)
        return KeptBecause::OutputReplaced;
    return checkOutput(c.output, c.writtenSize);
}

// Files (device, inode) of which this run has removed a name.
using Inodes = QSet<std::pair<quint64, quint64>>;

// Removing one name of a file changes its change time, so another listed name of the same
// file (a hard link) is still the file that was converted.
bool unchanged(const fileops::FileIdentity& before, fileops::FileIdentity now,
               const Inodes& removedNames) {
    if (removedNames.contains({now.device, now.inode}))
        now.changedNs = before.changedNs;
    return now == before;
}

// Removes the source if it is still the file that was converted. Empty when it went (or was
// already gone: nothing of it is left to keep).
std::optional<KeptBecause> removeIfUnchanged(const DeletionCandidate& c, Inodes& removedNames) {
    const auto now = fileops::fileIdentity(c.source);
    if (!now)
        return std::nullopt;
    if (!c.before || !unchanged(*c.before, *now, removedNames))
        return KeptBecause::SourceChanged;
    if (fileops::moveToTrashOrDelete(c.source) == fileops::Removal::Failed)
        return KeptBecause::NotRemovable;
    removedNames.insert({now->device, now->inode});
    return std::nullopt;
}

} // namespace

std::vector<KeptSource> removeSourcesThatLiveOn(const std::vector<DeletionCandidate>& candidates) {
    // A file listed more than once is decided once: it goes when any of its entries lives on.
    struct File {
        const DeletionCandidate* first = nullptr;
        const DeletionCandidate* livesOn = nullptr;
        std::optional<KeptBecause> firstReason;
        bool inPlace = false;
    };
    std::vector<File> files;
    QHash<QString, size_t> fileOf;
    for (const DeletionCandidate& c : candidates) {
        auto at = fileOf.find(c.sourceKey);
        if (at == fileOf.end()) {
            at = fileOf.insert(c.sourceKey, files.size());
            files.push_back({&c, nullptr, std::nullopt, false});
        }
        File& file = files[*at];
        if (c.inPlace) {
            file.inPlace = true;
            continue;
        }
        const auto reason = verdictFor(c);
        if (!reason && !file.livesOn)
            file.livesOn = &c;
        if (reason && !file.firstReason)
            file.firstReason = reason;
    }
    std::vector<KeptSource> kept;
    Inodes removedNames;
    for (const File& file : files) {
        if (file.inPlace)
            continue;
        const auto reason =
            file.livesOn ? removeIfUnchanged(*file.livesOn, removedNames) : file.firstReason;
        if (reason)
            kept.push_back({file.first->source, *reason});
    }
    return kept;
}

namespace {
QString reasonText(KeptBecause reason) {
    switch (reason) {
    case KeptBecause::NoOutput:
        return QStringLiteral("変換後のファイルがありません");
    case KeptBecause::OutputReplaced:
        return QStringLiteral("変換後のファイルが別の画像で上書きされました");
    case KeptBecause::OutputMissing:
        return QStringLiteral("変換後のファイルが見つかりません");
    case KeptBecause::OutputDamaged:
        return QStringLiteral("変換後のファイルが書き込んだ内容と違います");
    case KeptBecause::SourceChanged:
        return QStringLiteral("変換元ファイルが変換後に変更されました");
    case KeptBecause::NotRemovable:
        return QStringLiteral("削除できませんでした");
    }
    return {};
}
} // namespace

QString keptMessage(const std::vector<KeptSource>& kept) {
    QStringList lines;
    for (const KeptSource& k : kept)
        lines << QStringLiteral("%1（%2）").arg(k.source, reasonText(k.reason));
    return QStringLiteral("次の変換元ファイルは削除しませんでした。\n") + namedLines(lines);
}

} // namespace sc::jobs
