#include "ChangeRules.h"

#include "settings/SettingsView.h"

namespace sc::settings {

bool destinationFolderEnabled(int destinationIndex) {
    return destinationIndex != 0;
}

bool userTextEnabled(int renamingIndex) {
    return renamingIndex != 0 && renamingIndex != 1;
}

QColor qualityColour(int index) {
    return index == 2 ? kBlack : kBlue;
}

QColor tuningColour(Key box, int value) {
    if (value == 0)
        return kBlack;
    if (box == Key::Saturation || box == Key::Lightness)
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
    return control == Key::JpegQuality || infoOf(control).kind == Kind::Tuning;
}

bool runChangeRule(Key control, SettingsView& view) {
    switch (control) {
    case Key::Destination:
        view.setEnabledWithLabel(Key::DestinationFolder,
                                 destinationFolderEnabled(view.itemIndex(Key::Destination)));
        return true;
    case Key::DestinationFolder: {
        const QString text = view.text(Key::DestinationFolder);
        const QString trimmed = withoutTrailingSeparator(text);
        // A separator the user has just typed at the end is where the next folder name goes:
        // the box keeps it until the user leaves it, and the value goes without it already.
        if (trimmed != text && !view.isBeingTyped(Key::DestinationFolder)) {
            view.setText(Key::DestinationFolder, trimmed);
            // Putting the text back is a change of the box's text, and the box reports every
            // change: its handler runs again on the shorter text.
            view.runChangeHandler(Key::DestinationFolder);
        }
        // The hint always shows the box's final text.
        view.setHint(Key::DestinationFolder, settledPath(view.text(Key::DestinationFolder)));
        return true;
    }
    case Key::Renaming:
        view.setEnabledWithLabel(Key::UserText, userTextEnabled(view.itemIndex(Key::Renaming)));
        return true;
    case Key::JpegQuality:
    case Key::AlbumQuality:
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
