#pragma once

#include <QString>
#include <array>

namespace sc {
class IniFile;
}

namespace sc::settings {

// Every stored setting, in the order of the settings file. Each one's key in the file, which is
// also the object name of its control in the main window's design, is in keyTable().
enum class Key {
    EnglishCaptions,   // the captions in English (the English button down)
    WindowTop,         // the main window's top edge on the screen
    WindowLeft,        // the main window's left edge on the screen
    Destination,       // where the JPEG job writes: 0 beside each source, 1 into DestinationFolder
    DestinationFolder, // the folder the JPEG job writes into, without a trailing separator
    Renaming,          // the JPEG outputs' names: 0 kept, 1 date and time, 2 user text and time
    UserText,          // the text that renaming 2 puts before the time
    JpegQuality,       // the quality item of the JPEG job and the preview, 0 ... 3
    Brightness,        // the tuning of the JPEG job and the preview: -100 ... 100
    Contrast,          // -100 ... 100
    RedBalance,        // -100 ... 100
    GreenBalance,      // -100 ... 100
    BlueBalance,       // -100 ... 100
    Hue,               // -180 ... 180
    Saturation,        // -100 ... 100
    Lightness,         // -100 ... 100
    AlbumQuality,      // the quality item of the HTML album, 0 ... 3
    AlbumTitle,        // the title of the HTML album
    PrintLayout,       // the contact sheets: 0 vertical (50 frames), 1 film style (66 frames)
    PrintHeader,       // the header line of the printed sheets
    PrintFooter,       // the footer line of the printed sheets
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
    const char* name; // the key in the file and the object name of its control
    const char* section;
    Kind kind;
    int minimum; // Item: 0; Tuning: lower end
    int maximum; // Item: item count - 1; Tuning: upper end
};

// The 21 keys in file order: the one place that maps each key of the file to its setting.
const std::array<KeyInfo, kKeyCount>& keyTable();
const KeyInfo& infoOf(Key key);
QString nameOf(Key key);

// The settings file beside the program.
inline constexpr const char* kFileName = "SC_CONVERTER.ini";
QString settingsFilePath(const QString& programFolder);

// The window's design position, the position default before the window is first shown.
inline constexpr int kDesignTop = 128;
inline constexpr int kDesignLeft = 195;

// The settings record: one field per setting control, each with its default (Key says what each
// one means). Item indexes are -1 when the list has no item selected.
struct TConvertSettings {
    bool englishCaptions = false;
    int windowTop = kDesignTop;
    int windowLeft = kDesignLeft;
    int destination = 0;
    QString destinationFolder = QStringLiteral("C:/Program Files/Snapcycle");
    int renaming = 1;
    QString userText = QStringLiteral("20040000");
    int jpegQuality = 2;
    int brightness = 0;
    int contrast = 0;
    int redBalance = 0;
    int greenBalance = 0;
    int blueBalance = 0;
    int hue = 0;
    int saturation = 0;
    int lightness = 0;
    int albumQuality = 2;
    QString albumTitle = QStringLiteral("SCC DATA");
    int printLayout = 0;
    QString printHeader;
    QString printFooter;

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
