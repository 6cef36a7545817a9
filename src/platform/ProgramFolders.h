#pragma once

#include <QString>

namespace sc {

// Where the program reads its own data files and where it keeps what is the user's.
struct ProgramFolders {
    // The program's data files: the sheet backgrounds, the read-me and the guide. Only read.
    QString data;
    // The program folder as the user has it: the settings file and the drive folders.
    QString own;
    // Where print jobs keep their page files: the program folder while it can be written.
    QString scratch;
};

// The places of the user who runs the program.
struct UserPlaces {
    QString data;    // the user's data folder (~/.local/share)
    QString scratch; // a folder of this user's alone, for page files (in the runtime folder)

    static UserPlaces ofThisUser();
};

// A package marks the program folder it installs for every user with this file. Its key "DATA"
// in section "SHARED" names the folder of the data files, relative to the program folder (the
// program folder itself when missing).
inline constexpr char kSharedInstallMarker[] = "SC_CONVERTER.shared";
// The program folder of each user of a shared install, in the user's data folder.
inline constexpr char kUserProgramFolderName[] = "sc-converter";

// The folders for the program file's folder `programFolder`:
// - one that a package installed for everyone (it holds the marker): the data files stay
//   shared, and the program folder is the user's own, `user.data`/sc-converter, made at the
//   first start with the sample drives of the data folder;
// - any other is the program folder itself, holding everything.
// Page files go to the program folder while a file can be made there, else to `user.scratch`.
// A folder that cannot be made or written is still chosen: the start says so.
ProgramFolders chooseProgramFolders(const QString& programFolder,
                                    const UserPlaces& user = UserPlaces::ofThisUser());

} // namespace sc
