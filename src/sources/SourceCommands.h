#pragma once

#include <QString>
#include <QStringList>
#include <functional>

namespace sc {
class UserDialogs;
}

namespace sc::sources {

class TSourceList;
class TSearchFile;

// The ways into the source list and the way out: the start-up scan, dropped items, the
// device-folder button and the clear button. Every path the scanner finds goes into the list;
// what one command adds is inserted as one batch, and names it could not carry are told once.
class TSourceCommands {
public:
    using StatusSink = std::function<void(const QString& text)>;

    // Installs itself as the scanner's find handler. `showStatus` sets the status line.
    TSourceCommands(TSourceList& list, TSearchFile& search, sc::UserDialogs& dialogs,
                    StatusSink showStatus);
    TSourceCommands(const TSourceCommands&) = delete;
    TSourceCommands& operator=(const TSourceCommands&) = delete;
    ~TSourceCommands();

    // Once while the window is built: the BMP files directly inside "C:/Album".
    void scanStartupFolder();
    // Dropped items in the shell's order: folders give their BMP and JPEG files at any depth,
    // regular files are kept when their extension is .bmp or .jpg in any letter case, anything
    // else (and anything that cannot be looked up) is passed over silently. `unreadableItems`
    // counts dropped items whose names the drop could not carry; they are told of with the
    // scans' own.
    void dropFiles(const QStringList& items, int unreadableItems = 0);
    // "登録": the BMP and JPEG files directly inside a folder chosen within the device folder.
    void collectFromDeviceFolder();
    // "ｸﾘｱ": empties the list and shows `idlePrompt` (the idle prompt in the current language).
    void clearSourceList(const QString& idlePrompt);
    // Each path a scan finds: inserted at its sorted place.
    void addFound(const QString& path);
    // Told once per command that met names which are not UTF-8 text: they cannot be listed.
    static QString unreadableNamesMessage(int count);

    static const QString& startupFolder();
    static const QString& deviceFolder();
    // True for a name whose extension, from the last dot, is .bmp or .jpg in any letter case.
    static bool isPictureName(const QString& path);
    // True for the device folder and the folders below it, in any spelling of the path.
    static bool isInsideDeviceFolder(const QString& folder);

private:
    class Batch;
    void scanFolder(const QString& folder, bool recursive, const QStringList& masks);

    TSourceList& list_;
    TSearchFile& search_;
    sc::UserDialogs& dialogs_;
    StatusSink showStatus_;
    Batch* batch_ = nullptr;
};

} // namespace sc::sources
