#pragma once

#include <QString>
#include <QStringList>
#include <vector>

// A job never writes over a picture it has yet to read (or has read and not rewritten), and
// never stops halfway over a name it cannot make: before anything is written, every planned
// output is compared with every listed source and its name with what its folder can hold.
namespace sc::jobs {

// One spelling per file, so two path texts of the same file compare equal (Windows spelling,
// drive mapping, "..", links). A file that does not exist yet is its folder's one spelling and
// its name with letter case ignored (names that differ only in case are one file to be).
QString fileKey(const QString& path);

// A file a job means to write, and the listed source whose picture it carries.
struct PlannedOutput {
    int sourceIndex;
    QString path;
};

// A planned output that would land on another listed source (or on its own, for a job that
// must leave its sources as they are: then `victim` is `writer`).
struct OutputClash {
    QString writer; // the listed source whose picture would be written
    QString output; // the planned output path
    QString victim; // the listed source that would be replaced
};

// Whether an output may land on its own source: a JPEG re-encoded onto its own path may; a job
// that never changes its sources clashes there too.
enum class OntoOwnSource { Allowed, Clashes };

// Every planned output whose file is a listed source other than its own (a duplicate entry of
// the same file is its own), then, unless allowed, every output onto its own source.
std::vector<OutputClash> findOutputClashes(const QStringList& sources,
                                           const std::vector<PlannedOutput>& outputs,
                                           OntoOwnSource ontoOwn = OntoOwnSource::Allowed);

// The one message that names the clashing files (Japanese, as every message to the user); an
// output onto its own source is named by that source alone.
QString clashMessage(const std::vector<OutputClash>& clashes);

// The planned outputs whose file names are longer than their folder's file system holds.
std::vector<PlannedOutput> outputsNamedTooLong(const std::vector<PlannedOutput>& outputs);

// What stops a job before it writes anything, or an empty text when nothing does: the clashes
// (findOutputClashes) or else the outputs whose names cannot be made, each after its source.
QString refusalBeforeWriting(const QStringList& sources, const std::vector<PlannedOutput>& outputs,
                             OntoOwnSource ontoOwn);

} // namespace sc::jobs
