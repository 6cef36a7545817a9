#include "ConvertSettings.h"

#include "platform/IniFile.h"
#include "platform/WinPath.h"

#include <QtGlobal>
#include <algorithm>

namespace sc::settings {

namespace {
constexpr std::array<KeyInfo, kKeyCount> kTable{{
    {Key::TRANS, "TRANS", "SET0", Kind::Flag, 0, 1},
    {Key::M_TOP, "M_TOP", "SET0", Kind::Position, 0, 0},
    {Key::M_LEFT, "M_LEFT", "SET0", Kind::Position, 0, 0},
    {Key::C0_01, "C0_01", "SET1", Kind::Item, 0, 1},
    {Key::C0_02, "C0_02", "SET1", Kind::Text, 0, 0},
    {Key::C1_01, "C1_01", "SET1", Kind::Item, 0, 2},
    {Key::Edit2, "Edit2", "SET1", Kind::Text, 0, 0},
    {Key::C1_02, "C1_02", "SET1", Kind::Item, 0, 3},
    {Key::C3_01, "C3_01", "SET1", Kind::Tuning, -100, 100},
    {Key::C3_02, "C3_02", "SET1", Kind::Tuning, -100, 100},
    {Key::C3_04, "C3_04", "SET1", Kind::Tuning, -100, 100},
    {Key::C3_05, "C3_05", "SET1", Kind::Tuning, -100, 100},
    {Key::C3_06, "C3_06", "SET1", Kind::Tuning, -100, 100},
    {Key::C3_07, "C3_07", "SET1", Kind::Tuning, -180, 180},
    {Key::C3_08, "C3_08", "SET1", Kind::Tuning, -100, 100},
    {Key::C3_09, "C3_09", "SET1", Kind::Tuning, -100, 100},
    {Key::C4_01, "C4_01", "SET2", Kind::Item, 0, 3},
    {Key::Edit1, "Edit1", "SET2", Kind::Text, 0, 0},
    {Key::C5_01, "C5_01", "SET3", Kind::Item, 0, 1},
    {Key::C5_02, "C5_02", "SET3", Kind::Text, 0, 0},
    {Key::C5_03, "C5_03", "SET3", Kind::Text, 0, 0},
}};

// How much of a text value a read takes: the output folder whole, the other texts as the
// original platform read them.
int readChars(Key key) {
    return key == Key::C0_02 ? -1 : IniFile::kMaxValueChars;
}

template <class Settings> auto numberField(Settings& s, Key key) -> decltype(&s.M_TOP) {
    switch (key) {
    case Key::M_TOP:
        return &s.M_TOP;
    case Key::M_LEFT:
        return &s.M_LEFT;
    case Key::C0_01:
        return &s.C0_01;
    case Key::C1_01:
        return &s.C1_01;
    case Key::C1_02:
        return &s.C1_02;
    case Key::C3_01:
        return &s.C3_01;
    case Key::C3_02:
        return &s.C3_02;
    case Key::C3_04:
        return &s.C3_04;
    case Key::C3_05:
        return &s.C3_05;
    case Key::C3_06:
        return &s.C3_06;
    case Key::C3_07:
        return &s.C3_07;
    case Key::C3_08:
        return &s.C3_08;
    case Key::C3_09:
        return &s.C3_09;
    case Key::C4_01:
        return &s.C4_01;
    case Key::C5_01:
        return &s.C5_01;
    default:
        return nullptr;
    }
}

template <class Settings> auto textField(Settings& s, Key key) -> decltype(&s.C0_02) {
    switch (key) {
    case Key::C0_02:
        return &s.C0_02;
    case Key::Edit2:
        return &s.Edit2;
    case Key::Edit1:
        return &s.Edit1;
    case Key::C5_02:
        return &s.C5_02;
    case Key::C5_03:
        return &s.C5_03;
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
    if (key == Key::TRANS)
        return TRANS ? 1 : 0;
    const int* field = numberField(*this, key);
    Q_ASSERT(field);
    return field ? *field : 0;
}

void TConvertSettings::setNumber(Key key, int value) {
    if (key == Key::TRANS) {
        TRANS = value != 0;
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
        values.TRANS = ini.readBool(section, name, values.TRANS);
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
