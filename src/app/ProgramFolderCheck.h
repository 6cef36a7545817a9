#pragma once

#include <QString>

namespace sc {
class UserDialogs;
}

namespace sc::app {

// The program keeps its settings in its own folder. When that folder cannot be written (an
// install made by another user, a read-only medium) the user hears it once, at start, with the
// folder named, instead of losing the settings at every close without a word. Everything else
// works there: the print jobs keep their page files elsewhere.
// Returns whether the folder can be written.
bool checkProgramFolderWritable(const QString& programFolder, UserDialogs& dialogs);

} // namespace sc::app
