#pragma once

#include <QString>
#include <array>

namespace sc {
class IniFile;
}

namespace sc::settings {

// Every stored setting, in the order of the settings file. The names are the control names of
// the main window and the keys of the file.
enum class Key {
    TRANS,
    M_TOP,
    M_LEFT,
    C0_01,
    C0_02,
    C1_01,
    Edit2,
    C1_02,
    C3_01,
    C3_02,
    C3_04,
    C3_05,
    C3_06,
    C3_07,
    C3_08,
    C3_09,
    C4_01,
    Edit1,
    C5_01,
    C5_02,
    C5_03,
};
inline constexpr int kKeyCount = 21;

enum class Kind {
    Flag,     // "0" or "1"
    Position, // window edge in screen pixels, any value
    Item,     // item index of a drop-down list, -1 for none
    Tuning,   // value of an integer spin box, limited to its range
    Text,     // a text, stored unchanged
};

struct KeyInfo {
    Key key;
    const char* name;
    const char* section;
    Kind kind;
    int minimum; // Item: 0; Tuning: lower end
    int maximum; // Item: item count - 1; Tuning: upper end
};

// The 21 keys in file order.
const std::array<KeyInfo, kKeyCount>& keyTable();
const KeyInfo& infoOf(Key key);
QString nameOf(Key key);

// The settings file beside the program.
inline constexpr const char* kFileName = "SC_CONVERTER.ini";
QString settingsFilePath(const QString& programFolder);

// The window's design position, the position default before the window is first shown.
inline constexpr int kDesignTop = 128;
inline constexpr int kDesignLeft = 195;

// The settings record: one field per setting control.
struct TConvertSettings {
    bool TRANS = false;
    int M_TOP = kDesignTop;
    int M_LEFT = kDesignLeft;
    int C0_01 = 0;
    QString C0_02 = QStringLiteral("C:/Program Files/Snapcycle");
    int C1_01 = 1;
    QString Edit2 = QStringLiteral("20040000");
    int C1_02 = 2;
    int C3_01 = 0;
    int C3_02 = 0;
    int C3_04 = 0;
    int C3_05 = 0;
    int C3_06 = 0;
    int C3_07 = 0;
    int C3_08 = 0;
    int C3_09 = 0;
    int C4_01 = 2;
    QString Edit1 = QStringLiteral("SCC DATA");
    int C5_01 = 0;
    QString C5_02;
    QString C5_03;

    bool operator==(const TConvertSettings&) const = default;

    // Field access by key: number() for flags (0/1), positions, items and tuning values,
    // text() for texts.
    int number(Key key) const;
    void setNumber(Key key, int value);
    const QString& text(Key key) const;
    void setText(Key key, const QString& value);
};

// What a control makes of a stored number: an item index outside the list is no item (-1),
// a tuning value is limited to its range, anything else is kept.
int limitToControl(Key key, int value);

// Reads one key over the value in `values` (kept when the key is missing or unreadable).
void readKey(const IniFile& ini, Key key, TConvertSettings& values);
// Reads every key over `current` (each missing or unreadable key keeps its value there).
// Texts are read whole when they are paths: a cut path is a wrong path.
TConvertSettings readSettings(const IniFile& ini, const TConvertSettings& current);
// Writes all 21 keys in file order.
void writeSettings(const TConvertSettings& settings, IniFile& ini);

} // namespace sc::settings
