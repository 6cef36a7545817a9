#pragma once

#include "settings/ConvertSettings.h"
#include "settings/SettingsView.h"

namespace sc {
class IniFile;
class UserDialogs;
} // namespace sc

namespace sc::settings {

// The reset button, and the first step of the load: the defaults into the controls, each
// followed at once by its change handler. Leaves the caption language, the window position
// and the source list alone; does not touch the file.
void resetControls(SettingsView& view);

// The load at the window's first show, after the reset: every key read over the control's
// current value, applied and followed by its change handler, in file order. The caption
// language and the window position come first (the position only when some of the window
// shows on a screen there); out-of-range item indexes select no item, tuning values are
// limited to their boxes' ranges.
void loadControls(const IniFile& ini, SettingsView& view);
// The same from the settings file at `path`. A missing file reads as empty: every control keeps
// the value it holds. One that cannot be read is said through `dialogs` before anything is
// applied, and then reads as empty too.
void loadControlsFromFile(const QString& path, SettingsView& view, UserDialogs& dialogs);

// The values the controls hold now (a spin box's typed value beyond its range included; the
// output folder as it settles, without the trailing separator the user may be typing).
TConvertSettings captureControls(const SettingsView& view);

// The save at the close: all 21 keys written in file order, every other line of the file kept.
void saveControls(const SettingsView& view, IniFile& ini);
// The same into the settings file at `path`; false when it cannot be read or written (the
// file is then left as it was).
[[nodiscard]] bool saveControlsToFile(const SettingsView& view, const QString& path);

// What the user is told when the settings file at `path` (a host path) cannot be read at the
// start or written at the close.
QString loadFailedMessage(const QString& path);
QString saveFailedMessage(const QString& path);

} // namespace sc::settings
