#pragma once

#include "Error.h"

#include <QString>

// Failures of the file system told in the user's words: which file, what was being done, why.
namespace sc {

enum class FileAction { Read, Write, Delete, MakeFolder };

// Causes that are not an errno value.
constexpr int kNotARegularFile = -1; // a pipe, a device, a folder where a file was expected
constexpr int kShortWrite = -2;      // the system took fewer bytes than were written, no errno
constexpr int kReadOnlyFile = -3;    // a file with the read-only attribute is not replaced

// The cause in Japanese, one sentence ("ディスクの空き容量が足りません。").
QString causeText(int errnoValue);

// "<path> を書き込めませんでした。\n<cause>\n処理を中止します。" and its kin.
QString fileFailureText(FileAction action, const QString& path, int errnoValue);

// An Error whose shown text is fileFailureText().
Error fileFailure(FileAction action, const QString& path, int errnoValue);

} // namespace sc
