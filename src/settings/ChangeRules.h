#pragma once

#include "settings/ConvertSettings.h"

#include <QColor>
#include <QString>

namespace sc::settings {

class SettingsView;

// Background colours of the setting controls.
inline const QColor kControlColour{4, 4, 4}; // the near-black of every setting control
inline const QColor kBlack{0, 0, 0};
inline const QColor kRed{255, 0, 0};
inline const QColor kBlue{0, 0, 255};

// The destination's change: the folder box and its label are enabled unless the output goes
// beside the source (item 0); no item (-1) enables them.
bool destinationFolderEnabled(int destinationIndex);
// The renaming's change: the user text and its label are enabled only for "user text and time"
// (item 2) and for no item (-1).
bool userTextEnabled(int renamingIndex);
// A quality list's change (JPEG and album): black for the default quality (item 2), blue
// otherwise (-1 too).
QColor qualityColour(int index);
// A tuning box's change: black at 0, red below, blue above; saturation and lightness: black at 0,
// blue for any other value.
QColor tuningColour(Key box, int value);
// The destination folder's change: one trailing path separator removed ("C:\" becomes "C:").
QString withoutTrailingSeparator(const QString& path);
// The path the folder box settles on once its change has run on it: every trailing separator
// gone, one at a time.
QString settledPath(const QString& path);
// Whether the control's change ends with a preview run (the JPEG quality and the tuning boxes).
bool changeRunsPreview(Key control);

// Runs the change rule of `control` on the view: the JPEG page's settings and the album quality.
// Returns false for a control without a rule of its own here (the print page's layout, header
// and footer belong to the print preview; the user text and the album title have no handler).
bool runChangeRule(Key control, SettingsView& view);

} // namespace sc::settings
