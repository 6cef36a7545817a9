#include "ChangeRules.h"

#include "settings/SettingsView.h"

namespace sc::settings {

bool outputFolderEnabled(int c0_01Index) {
    return c0_01Index != 0;
}

bool userTextEnabled(int c1_01Index) {
    return c1_01Index != 0 && c1_01Index != 1;
}

QColor qualityColour(int index) {
    return index == 2 ? kBlack : kBlue;
}

QColor tuningColour(Key box, int value) {
    if (value == 0)
        return kBlack;
    if (box == Key::C3_08 || box == Key::C3_09)
        return kBlue;
    return value < 0 ? kRed : kBlue;
}

QString withoutTrailingSeparator(const QString& path) {
    if (path.endsWith(u'\\') || path.endsWith(u'/'))
        return path.left(path.size() - 1);
    return path;
}

QString settledPath(const QString& path) {
    QString settled = path;
    while (settled.endsWith(u'\\') || settled.endsWith(u'/'))
        settled.chop(1);
    return settled;
}

bool changeRunsPreview(Key control) {
    return control == Key::C1_02 || infoOf(control).kind == Kind::Tuning;
}

bool runChangeRule(Key control, SettingsView& view) {
    switch (control) {
    case Key::C0_01:
        view.setEnabledWithLabel(Key::C0_02, outputFolderEnabled(view.itemIndex(Key::C0_01)));
        return true;
    case Key::C0_02: {
        const QString text = view.text(Key::C0_02);
        const QString trimmed = withoutTrailingSeparator(text);
        // A separator the user has just typed at the end is where the next folder name goes:
        // the box keeps it until the user leaves it, and the value goes without it already.
        if (trimmed != text && !view.isBeingTyped(Key::C0_02)) {
            view.setText(Key::C0_02, trimmed);
            // Putting the text back is a change of the box's text, and the box reports every
            // change: its handler runs again on the shorter text.
            view.runChangeHandler(Key::C0_02);
        }
        // The hint always shows the box's final text.
        view.setHint(Key::C0_02, settledPath(view.text(Key::C0_02)));
        return true;
    }
    case Key::C1_01:
        view.setEnabledWithLabel(Key::Edit2, userTextEnabled(view.itemIndex(Key::C1_01)));
        return true;
    case Key::C1_02:
    case Key::C4_01:
        view.setBackground(control, qualityColour(view.itemIndex(control)));
        break;
    default:
        if (infoOf(control).kind != Kind::Tuning)
            return false;
        view.setBackground(control, tuningColour(control, view.spinValue(control)));
        break;
    }
    if (changeRunsPreview(control))
        view.runPreview();
    return true;
}

} // namespace sc::settings
