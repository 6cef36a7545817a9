#include "ConvertSettings.h"

#include "platform/IniFile.h"
#include "platform/WinPath.h"

#include <QtGlobal>
#include <algorithm>

namespace sc::settings {

namespace {
// Each setting's key and section in the settings file; the keys are the object names of the
// controls in the main window's design.
constexpr std::array<KeyInfo, kKeyCount> kTable{{
    {Key::EnglishCaptions, "TRANS", "SET0", Kind::Flag, 0, 1},
    {Key::WindowTop, "M_TOP", "SET0", Kind::Position, 0, 0},
    {Key::WindowLeft, "M_LEFT", "SET0", Kind::Position, 0, 0},
    {Key::Destination, "C0_01", "SET1", Kind::Item, 0, 1},
    {Key::DestinationFolder, "C0_02", "SET1", Kind::Text, 0, 0},
    {Key::Renaming, "C1_01", "SET1", Kind::Item, 0, 2},
    {Key::UserText, "Edit2", "SET1", Kind::Text, 0, 0},
    {Key::JpegQuality, "C1_02", "SET1", Kind::Item, 0, 3},
    {Key::Brightness, "C3_01", "SET1", Kind::Tuning, -100, 100},
    {Key::Contrast, "C3_02", "SET1", Kind::Tuning, -100, 100},
    {Key::RedBalance, "C3_04", "SET1", Kind::Tuning, -100, 100},
    {Key::GreenBalance, "C3_05", "SET1", Kind::Tuning, -100, 100},
    {Key::BlueBalance, "C3_06", "SET1", Kind::Tuning, -100, 100},
    {Key::Hue, "C3_07", "SET1", Kind::Tuning, -180, 180},
    {Key::Saturation, "C3_08", "SET1", Kind::Tuning, -100, 100},
    {Key::Lightness, "C3_09", "SET1", Kind::Tuning, -100, 100},
    {Key::AlbumQuality, "C4_01", "SET2", Kind::Item, 0, 3},
    {Key::AlbumTitle, "Edit1", "SET2", Kind::Text, 0, 0},
    {Key::PrintLayout, "C5_01", "SET3", Kind::Item, 0, 1},
    {Key::PrintHeader, "C5_02", "SET3", Kind::Text, 0, 0},
    {Key::PrintFooter, "C5_03", "SET3", Kind::Text, 0, 0},
}};

// How much of a text value a read takes: the output folder whole, the other texts as the
// original platform read them.
int readChars(Key key) {
    return key == Key::DestinationFolder ? -1 : IniFile::kMaxValueChars;
}

template <class Settings> auto numberField(Settings& s, Key key) -> decltype(&s.windowTop) {
    switch (key) {
    case Key::WindowTop:
        return &s.windowTop;
    case Key::WindowLeft:
        return &s.windowLeft;
    case Key::Destination:
        return &s.destination;
    case Key::Renaming:
        return &s.renaming;
    case Key::JpegQuality:
        return &s.jpegQuality;
    case Key::Brightness:
        return &s.brightness;
    case Key::Contrast:
        return &s.contrast;
    case Key::RedBalance:
        return &s.redBalance;
    case Key::GreenBalance:
        return &s.greenBalance;
    case Key::BlueBalance:
        return &s.blueBalance;
    case Key::Hue:
        return &s.hue;
    case Key::Saturation:
        return &s.saturation;
    case Key::Lightness:
        return &s.lightness;
    case Key::AlbumQuality:
        return &s.albumQuality;
    case Key::PrintLayout:
        return &s.printLayout;
    default:
        return nullptr;
    }
}

template <class Settings> auto textField(Settings& s, Key key) -> decltype(&s.destinationFolder) {
    switch (key) {
    case Key::DestinationFolder:
        return &s.destinationFolder;
    case Key::UserText:
        return &s.userText;
    case Key::AlbumTitle:
        return &s.albumTitle;
    case Key::PrintHeader:
        return &s.printHeader;
    case Key::PrintFooter:
        return &s.printFooter;
    default:
        return nullptr;
    }
}
} // namespace

const std::array<KeyInfo, kKeyCount>& keyTable() {
    return kTable;
}

const KeyInfo& infoOf(Key key) {
    return kTable[static_cast<std::size_t>(key)];
}

QString nameOf(Key key) {
    return QString::fromLatin1(infoOf(key).name);
}

QString settingsFilePath(const QString& programFolder) {
    return winpath::join(programFolder, QString::fromLatin1(kFileName));
}

int TConvertSettings::number(Key key) const {
    if (key == Key::EnglishCaptions)
        return englishCaptions ? 1 : 0;
    const int* field = numberField(*this, key);
    Q_ASSERT(field);
    return field ? *field : 0;
}

void TConvertSettings::setNumber(Key key, int value) {
    if (key == Key::EnglishCaptions) {
        englishCaptions = value != 0;
        return;
    }
    if (int* field = numberField(*this, key))
        *field = value;
}

const QString& TConvertSettings::text(Key key) const {
    static const QString none;
    const QString* field = textField(*this, key);
    Q_ASSERT(field);
    return field ? *field : none;
}

void TConvertSettings::setText(Key key, const QString& value) {
    if (QString* field = textField(*this, key))
        *field = value;
}

int limitToControl(Key key, int value) {
    const KeyInfo& info = infoOf(key);
    switch (info.kind) {
    case Kind::Item:
        return (value < info.minimum || value > info.maximum) ? -1 : value;
    case Kind::Tuning:
        return std::clamp(value, info.minimum, info.maximum);
    default:
        return value;
    }
}

void readKey(const IniFile& ini, Key key, TConvertSettings& values) {
    const KeyInfo& info = infoOf(key);
    const QString section = QString::fromLatin1(info.section);
    const QString name = QString::fromLatin1(info.name);
    switch (info.kind) {
    case Kind::Flag:
        values.englishCaptions = ini.readBool(section, name, values.englishCaptions);
        break;
    case Kind::Text:
        values.setText(key, ini.readString(section, name, values.text(key), readChars(key)));
        break;
    default:
        values.setNumber(key,
                         limitToControl(key, ini.readInteger(section, name, values.number(key))));
        break;
    }
}

TConvertSettings readSettings(const IniFile& ini, const TConvertSettings& current) {
    TConvertSettings result = current;
    for (const KeyInfo& info : kTable)
        readKey(ini, info.key, result);
    return result;
}

void writeSettings(const TConvertSettings& settings, IniFile& ini) {
    for (const KeyInfo& info : kTable) {
        const QString section = QString::fromLatin1(info.section);
        const QString name = QString::fromLatin1(info.name);
        switch (info.kind) {
        case Kind::Flag:
            ini.writeBool(section, name, settings.number(info.key) != 0);
            break;
        case Kind::Text:
            ini.writeString(section, name, settings.text(info.key), readChars(info.key));
            break;
        default:
            ini.writeInteger(section, name, settings.number(info.key));
            break;
        }
    }
}

} // namespace sc::settings
