#pragma once

#include <QString>

// Path texts as the user sees and stores them (Windows spelling kept), and their mapping onto
// the host file system. Every file-system access goes through hostPath().
namespace sc::winpath {

// The folder that holds the program; drive X: maps to <programFolder>/drive_x.
void setProgramFolder(const QString& folder);
QString programFolder();

// True for a text that starts with a drive letter and a colon.
bool isWindowsPath(const QString& text);

// Maps a Windows path onto the host (letter case of each component found as Windows would);
// any other text is returned unchanged. Identity on Windows.
QString hostPath(const QString& text);

// The Windows spelling of a host path inside a drive folder ("<program>/drive_d/out" ->
// "D:/out", a drive folder itself -> "D:"); any other path unchanged, and so is a path with a
// name holding a '\', which the Windows spelling would split.
QString windowsPathOf(const QString& hostPath);

// A host folder `chosen` at or below `hostRoot` (the host path of the path text `root`), spelled
// as `root` is: "C:\Program Files\Snapcycle" + "\DCIM". A folder whose names would not read
// back as themselves after a Windows-spelled root (a name holding a '\') keeps its host path.
QString spelledUnder(const QString& root, const QString& hostRoot, const QString& chosen);

// Path terms. In a Windows path '\', '/' and the drive's colon delimit; in a host path only
// "/" does, so a name that came from the file system is never cut at a '\' or a ':'.
int lastDelimiter(const QString& path);
QString fileNameOf(const QString& path);
// The part before the last delimiter, without a trailing delimiter; "C:" for a drive root file.
QString folderOf(const QString& path);
// From the last dot of the file name, dot included; empty when the name has no dot.
QString extensionOf(const QString& path);
// The path with its extension replaced by ".jpg" (appended when the name has no dot).
QString withJpgExtension(const QString& path);
// The file name without its extension.
QString baseNameOf(const QString& path);
// True when `name`, put after a Windows-spelled folder, reads back as that one name: it holds
// no '\' or '/' and is not "." or "..".
bool staysOneName(const QString& name);
// Joins a folder and a file name with "/", whatever separators the folder uses. The name stays
// one name: a Windows-spelled folder is mapped onto the host first when the name would not.
QString join(const QString& folder, const QString& name);

} // namespace sc::winpath
