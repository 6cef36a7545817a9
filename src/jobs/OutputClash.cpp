#include "OutputClash.h"

#include "JobTexts.h"
#include "platform/FileOps.h"
#include "platform/WinPath.h"

#include <QDir>
#include <QFileInfo>
#include <QHash>
#include <algorithm>
#include <iterator>

namespace sc::jobs {

QString fileKey(const QString& path) {
    const QFileInfo info(winpath::hostPath(path));
    const QString canonical = info.canonicalFilePath();
    if (!canonical.isEmpty())
        return canonical;
    // A file yet to be written: its folder's one spelling, so two texts of it still agree, and
    // its name with letter case ignored, as the first of them written is found by the others.
    const QString folder = info.absoluteDir().canonicalPath();
    return folder.isEmpty() ? info.absoluteFilePath()
                            : folder + u'/' + info.fileName().toCaseFolded();
}

std::vector<OutputClash> findOutputClashes(const QStringList& sources,
                                           const std::vector<PlannedOutput>& outputs,
                                           OntoOwnSource ontoOwn) {
    QStringList sourceKeys;
    QHash<QString, int> sourceByKey;
    sourceKeys.reserve(sources.size());
    for (int i = 0; i < sources.size(); ++i) {
        sourceKeys << fileKey(sources[i]);
        sourceByKey.insert(sourceKeys.last(), i);
    }
    std::vector<OutputClash> clashes, ontoItself;
    for (const PlannedOutput& out : outputs) {
        const QString key = fileKey(out.path);
        const QString& writer = sources[out.sourceIndex];
        if (key == sourceKeys[out.sourceIndex]) {
            if (ontoOwn == OntoOwnSource::Clashes)
                ontoItself.push_back({writer, out.path, writer});
            continue;
        }
        if (const auto victim = sourceByKey.constFind(key); victim != sourceByKey.cend())
            clashes.push_back({writer, out.path, sources[*victim]});
    }
    clashes.insert(clashes.end(), ontoItself.begin(), ontoItself.end());
    return clashes;
}

QString clashMessage(const std::vector<OutputClash>& clashes) {
    const auto ontoItself = [](const OutputClash& c) { return c.writer == c.victim; };
    const QString heading =
        std::any_of(clashes.begin(), clashes.end(), ontoItself)
            ? QStringLiteral(
                  "出力先が変換元ファイルと重なるため、何も書き込まずに処理を中止しました。\n")
            : QStringLiteral(
                  "出力先が他の変換元ファイルと重なるため、何も書き込まずに処理を中止しました。\n");
    QStringList lines;
    for (const OutputClash& c : clashes)
        lines << (ontoItself(c) ? c.writer : QStringLiteral("%1 → %2").arg(c.writer, c.victim));
    return heading + namedLines(lines);
}

std::vector<PlannedOutput> outputsNamedTooLong(const std::vector<PlannedOutput>& outputs) {
    std::vector<PlannedOutput> tooLong;
    std::copy_if(outputs.begin(), outputs.end(), std::back_inserter(tooLong),
                 [](const PlannedOutput& out) { return fileops::nameTooLong(out.path); });
    return tooLong;
}

QString refusalBeforeWriting(const QStringList& sources, const std::vector<PlannedOutput>& outputs,
                             OntoOwnSource ontoOwn) {
    if (const auto clashes = findOutputClashes(sources, outputs, ontoOwn); !clashes.empty())
        return clashMessage(clashes);
    QStringList lines;
    for (const PlannedOutput& out : outputsNamedTooLong(outputs))
        lines << QStringLiteral("%1 → %2").arg(sources[out.sourceIndex], out.path);
    if (lines.isEmpty())
        return QString();
    return QStringLiteral(
               "出力先のファイル名が長すぎて作れないため、何も書き込まずに処理を中止しました。\n") +
           namedLines(lines);
}

} // namespace sc::jobs
