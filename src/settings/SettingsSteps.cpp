#include "SettingsSteps.h"

#include "platform/IniFile.h"
#include "platform/UserDialogs.h"
#include "settings/ChangeRules.h"

#include <QDir>
#include <string_view>

namespace sc::settings {

namespace {
bool hasChangeHandler(Key key) {
    switch (key) {
    case Key::EnglishCaptions:
    case Key::WindowTop:
    case Key::WindowLeft:
    case Key::UserText:
    case Key::AlbumTitle:
        return false;
    default:
        return true;
    }
}

// Puts one value into its control and runs the control's change handler right after it.
void apply(SettingsView& view, Key key, const TConvertSettings& values) {
    switch (key) {
    case Key::EnglishCaptions:
        view.setEnglishDown(values.englishCaptions);
        break;
    case Key::WindowTop:
    case Key::WindowLeft:
        // A position where nobody could see or reach the window (a monitor that is gone) is
        // no position: the window stays where a first start puts it. A partly visible one is
        // kept exactly.
        if (view.windowShowsAt(values.windowLeft, values.windowTop))
            view.moveWindow(values.windowLeft, values.windowTop);
        break;
    default:
        switch (infoOf(key).kind) {
        case Kind::Item:
            view.selectItem(key, limitToControl(key, values.number(key)));
            break;
        case Kind::Tuning:
            view.setSpinValue(key, limitToControl(key, values.number(key)));
            break;
        default:
            view.setText(key, values.text(key));
            break;
        }
    }
    if (hasChangeHandler(key))
        view.runChangeHandler(key);
}
} // namespace

void resetControls(SettingsView& view) {
    const TConvertSettings defaults;
    for (const KeyInfo& info : keyTable()) {
        if (info.section != std::string_view("SET0"))
            apply(view, info.key, defaults);
    }
}

void loadControls(const IniFile& ini, SettingsView& view) {
    // Each key is read with the control's value at that moment as its default, so the reads
    // go one at a time, in file order, between the applications.
    for (const KeyInfo& info : keyTable()) {
        if (info.key == Key::WindowLeft)
            continue; // placed together with the top edge
        TConvertSettings values = captureControls(view);
        readKey(ini, info.key, values);
        if (info.key == Key::WindowTop)
            readKey(ini, Key::WindowLeft, values);
        apply(view, info.key, values);
    }
}

void loadControlsFromFile(const QString& path, SettingsView& view, UserDialogs& dialogs) {
    IniFile ini(path);
    if (!ini.load())
        dialogs.message(loadFailedMessage(QDir::toNativeSeparators(path)));
    loadControls(ini, view);
}

TConvertSettings captureControls(const SettingsView& view) {
    TConvertSettings s;
    s.englishCaptions = view.englishDown();
    s.windowTop = view.windowTop();
    s.windowLeft = view.windowLeft();
    for (const KeyInfo& info : keyTable()) {
        switch (info.kind) {
        case Kind::Item:
            s.setNumber(info.key, view.itemIndex(info.key));
            break;
        case Kind::Tuning:
            s.setNumber(info.key, view.spinValue(info.key));
            break;
        case Kind::Text:
            s.setText(info.key, info.key == Key::DestinationFolder
                                    ? settledPath(view.text(info.key))
                                    : view.text(info.key));
            break;
        default:
            break;
        }
    }
    return s;
}

void saveControls(const SettingsView& view, IniFile& ini) {
    writeSettings(captureControls(view), ini);
}

bool saveControlsToFile(const SettingsView& view, const QString& path) {
    IniFile ini(path);
    // An unreadable file is not replaced by one that has lost its other lines.
    if (!ini.load())
        return false;
    saveControls(view, ini);
    return ini.save();
}

QString loadFailedMessage(const QString& path) {
    return QStringLiteral("設定ファイルを読み込めませんでした。既定の設定で起動します。\n") + path;
}

QString saveFailedMessage(const QString& path) {
    return QStringLiteral("設定ファイルに保存できませんでした。今回の設定は保存されません。\n") +
           path;
}

} // namespace sc::settings
