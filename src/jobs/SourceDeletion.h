#pragma once

#include "platform/FileIdentity.h"

#include <QString>
#include <optional>
#include <vector>

// The JPEG job's last step: on Yes a source goes only when its picture is really on disk in the
// output of this run, and only while it is still the file that was converted.
namespace sc::jobs {

// What the job knows of one listed source when it offers to delete it.
struct DeletionCandidate {
    QString source;
    QString sourceKey;                           // fileKey(source): one spelling per file
    std::optional<fileops::FileIdentity> before; // the source as read before the first pass
    QString output;          // where its picture is at the end; empty when nothing was written
    qint64 writtenSize = -1; // the bytes written there
    bool overwrittenLater = false; // a later source wrote over that output
    bool inPlace = false;          // the output was written onto the source itself
};

// Why a source was not deleted.
enum class KeptBecause {
    NoOutput,       // the destination choice wrote nothing for it
    OutputReplaced, // a later picture was written over its output
    OutputMissing,  // its output is gone
    OutputDamaged,  // its output is not the whole JPEG that was written
    SourceChanged,  // the file at its name is no longer the one converted
    NotRemovable,   // neither the trash nor a delete could take it
};

struct KeptSource {
    QString source;
    KeptBecause reason;
};

// Whether `path` holds the whole JPEG of `size` bytes that was written: the size, then every
// scan decoded (at the smallest scale, which still reads all the compressed data) with any
// warning of damaged data taken as a failure.
std::optional<KeptBecause> checkOutput(const QString& path, qint64 size);

// Moves every source whose picture lives on to the trash (or deletes it where there is none);
// returns the sources kept, each file named once, in list order. A source converted in place
// is its own output and is neither removed nor named; one that is already gone is not named.
std::vector<KeptSource> removeSourcesThatLiveOn(const std::vector<DeletionCandidate>& candidates);

// The one message that names the kept sources and why (Japanese, as every message).
QString keptMessage(const std::vector<KeptSource>& kept);

} // namespace sc::jobs
