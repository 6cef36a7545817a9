#pragma once

#include <QString>

namespace sc {
class UserDialogs;
}

namespace sc::app {

// The program keeps its settings, the preview's temporary file and the print job's page files
// in its own folder. When that folder cannot be written (an install made by another user, a
// read-only medium) the user hears it once, at start, with the folder named, instead of
// meeting a failure at every preview and losing the settings at every close.
// Returns whether the folder can be written.
bool checkProgramFolderWritable(const QString& programFolder, UserDialogs& dialogs);

} // namespace sc::app
