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

// C0_01Change: the path box and its label are enabled unless the output goes beside the source
// (item 0); no item (-1) enables them.
bool outputFolderEnabled(int c0_01Index);
// C1_01Change: the user text and its label are enabled only for "user text and time" (item 2)
// and for no item (-1).
bool userTextEnabled(int c1_01Index);
// C1_02Change, C4_01Change: black for the default quality (item 2), blue otherwise (-1 too).
QColor qualityColour(int index);
// C3_01 ... C3_07 Change: black at 0, red below, blue above. C3_08, C3_09: black at 0, blue
// for any other value.
QColor tuningColour(Key box, int value);
// C0_02Change: one trailing path separator removed ("C:\" becomes "C:").
QString withoutTrailingSeparator(const QString& path);
// The path the box settles on once C0_02Change has run on it: every trailing separator gone,
// one at a time.
QString settledPath(const QString& path);
// Whether the control's change handler ends with a preview run (C1_02 and the tuning boxes).
bool changeRunsPreview(Key control);

// Runs the change rule of `control` on the view: C0_01, C0_02, C1_01, C1_02, C3_01 ... C3_09,
// C4_01. Returns false for a control without a rule of its own here (the print page's C5_01,
// C5_02 and C5_03 belong to the print preview; Edit1, Edit2 have no handler).
bool runChangeRule(Key control, SettingsView& view);

} // namespace sc::settings
