#include "RecordingView.h"
#include "ScriptedDialogs.h"
#include "TempProgramFolder.h"
#include "platform/IniFile.h"
#include "settings/SettingsSteps.h"

#include <QFile>

using namespace sc;
using settings::Key;

namespace {
const QByteArray kDefaultFile = "[SET0]\r\nTRANS=0\r\nM_TOP=128\r\nM_LEFT=195\r\n"
                                "[SET1]\r\nC0_01=0\r\nC0_02=C:/Program Files/Snapcycle\r\n"
                                "C1_01=1\r\nEdit2=20040000\r\nC1_02=2\r\n"
                                "C3_01=0\r\nC3_02=0\r\nC3_04=0\r\nC3_05=0\r\nC3_06=0\r\n"
                                "C3_07=0\r\nC3_08=0\r\nC3_09=0\r\n"
                                "[SET2]\r\nC4_01=2\r\nEdit1=SCC DATA\r\n"
                                "[SET3]\r\nC5_01=0\r\nC5_02=\r\nC5_03=\r\n";

QByteArray readHost(const QString& path) {
    QFile file(winpath::hostPath(path));
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
}

// What the window's first show does with the settings: the reset, then the file over it.
void formShow(test::RecordingView& view, const QString& path) {
    settings::resetControls(view);
    test::ScriptedDialogs dialogs;
    settings::loadControlsFromFile(path, view, dialogs);
    EXPECT_TRUE(dialogs.shown.isEmpty());
}

IniFile fileWith(const QByteArray& bytes) {
    IniFile ini;
    ini.setBytes(bytes);
    return ini;
}
} // namespace

TEST(SettingsFile, FirstRunShowsDefaultsAndTheCloseWritesAll21KeysInOrder) {
    test::TempProgramFolder folder;
    ASSERT_TRUE(QDir().mkpath(folder.host("drive_c")));
    const QString path = settings::settingsFilePath(QStringLiteral("C:"));
    test::RecordingView view;
    view.values.englishCaptions = false;
    view.values.windowTop = 128;
    view.values.windowLeft = 195;
    formShow(view, path);
    EXPECT_EQ(view.values, settings::TConvertSettings());
    EXPECT_EQ(readHost(path), "<missing>");

    ASSERT_TRUE(settings::saveControlsToFile(view, path));
    EXPECT_EQ(readHost(path), kDefaultFile);
}

TEST(SettingsFile, ResetPutsEveryDefaultInItsOrderWithItsHandlerAfterIt) {
    test::RecordingView view;
    settings::resetControls(view);
    EXPECT_EQ(view.log,
              QStringList({
                  "select C0_01 0",      "handler C0_01",  "text C0_02 C:/Program Files/Snapcycle",
                  "handler C0_02",       "select C1_01 1", "handler C1_01",
                  "text Edit2 20040000", "select C1_02 2", "handler C1_02",
                  "spin C3_01 0",        "handler C3_01",  "spin C3_02 0",
                  "handler C3_02",       "spin C3_04 0",   "handler C3_04",
                  "spin C3_05 0",        "handler C3_05",  "spin C3_06 0",
                  "handler C3_06",       "spin C3_07 0",   "handler C3_07",
                  "spin C3_08 0",        "handler C3_08",  "spin C3_09 0",
                  "handler C3_09",       "select C4_01 2", "handler C4_01",
                  "text Edit1 SCC DATA", "select C5_01 0", "handler C5_01",
                  "text C5_02 ",         "handler C5_02",  "text C5_03 ",
                  "handler C5_03",
              }));
    // Language and window position are not settings the reset touches.
    EXPECT_TRUE(view.values.englishCaptions);
    EXPECT_EQ(view.values.windowTop, -40);
    EXPECT_EQ(view.values.windowLeft, 3000);
    settings::TConvertSettings expected;
    expected.englishCaptions = true;
    expected.windowTop = -40;
    expected.windowLeft = 3000;
    EXPECT_EQ(view.values, expected);
    // Every handler ran on the default: derived states follow it.
    EXPECT_FALSE(view.enabled[Key::DestinationFolder]);
    EXPECT_FALSE(view.enabled[Key::UserText]);
    for (const Key key :
         {Key::JpegQuality, Key::AlbumQuality, Key::Brightness, Key::Hue, Key::Lightness})
        EXPECT_EQ(view.background[key], settings::kBlack) << settings::nameOf(key).toStdString();
    EXPECT_EQ(view.hint[Key::DestinationFolder], "C:/Program Files/Snapcycle");
    EXPECT_EQ(view.previews, 9);
}

TEST(SettingsFile, LoadAppliesKeysInFileOrderEachFollowedByItsHandler) {
    test::RecordingView view;
    settings::resetControls(view);
    view.log.clear();
    settings::loadControls(fileWith("[SET3]\nC5_03=foot\n[SET0]\nM_LEFT=-500\nTRANS=1\n"
                                    "[SET1]\nC0_02=D:\\out\\\nC3_08=-3\n"),
                           view);
    const QStringList expected = {
        "english 1", "move -500 -40", "select C0_01 0", "handler C0_01",
        // The stored separator goes at once, as it would when typed.
        "text C0_02 D:\\out\\", "handler C0_02", "text C0_02 D:\\out", "handler C0_02",
        "select C1_01 1", "handler C1_01", "text Edit2 20040000", "select C1_02 2", "handler C1_02",
        "spin C3_01 0", "handler C3_01", "spin C3_02 0", "handler C3_02", "spin C3_04 0",
        "handler C3_04", "spin C3_05 0", "handler C3_05", "spin C3_06 0", "handler C3_06",
        "spin C3_07 0", "handler C3_07", "spin C3_08 -3", "handler C3_08", "spin C3_09 0",
        "handler C3_09", "select C4_01 2", "handler C4_01", "text Edit1 SCC DATA", "select C5_01 0",
        "handler C5_01", "text C5_02 ", "handler C5_02", "text C5_03 foot", "handler C5_03"};
    EXPECT_EQ(view.log, expected);
    EXPECT_EQ(view.values.destinationFolder, "D:\\out");
    EXPECT_EQ(view.hint[Key::DestinationFolder], "D:\\out");
    EXPECT_EQ(view.background[Key::Saturation], settings::kBlue);
}

TEST(SettingsFile, StoredValuesAreReadAsTheControlsTakeThem) {
    test::RecordingView view;
    settings::resetControls(view);
    settings::loadControls(fileWith("[SET1]\r\nC3_01=0x14\r\nC3_07=500\r\nC3_02=abc\r\n"
                                    "C3_04=-101\r\nC1_02=7\r\nC1_01=-1\r\nC0_01=-2\r\n"
                                    "Edit2=\r\n[SET3]\r\nC5_02=\r\nC5_01=1\r\n"
                                    "[SET0]\r\nTRANS=2\r\nM_TOP=0x10\r\n"),
                           view);
    EXPECT_EQ(view.values.brightness, 20);
    EXPECT_EQ(view.values.hue, 180);
    EXPECT_EQ(view.values.contrast, 0); // not a number: the default
    EXPECT_EQ(view.values.redBalance, -100);
    EXPECT_EQ(view.values.jpegQuality, -1); // no such item
    EXPECT_EQ(view.values.renaming, -1);
    EXPECT_EQ(view.values.destination, -1);
    EXPECT_EQ(view.values.userText, ""); // present and empty: empty, not the default
    EXPECT_EQ(view.values.printHeader, "");
    EXPECT_EQ(view.values.printLayout, 1);
    EXPECT_TRUE(view.values.englishCaptions);
    EXPECT_EQ(view.values.windowTop, 16);
    EXPECT_EQ(view.values.windowLeft, 3000); // missing: the window stays where it is
    // No item counts as "any other index" for the handlers.
    EXPECT_TRUE(view.enabled[Key::DestinationFolder]);
    EXPECT_TRUE(view.enabled[Key::UserText]);
    EXPECT_EQ(view.background[Key::JpegQuality], settings::kBlue);

    IniFile saved;
    settings::saveControls(view, saved);
    EXPECT_EQ(saved.readString("SET1", "C1_02", ""), "-1");
    EXPECT_EQ(saved.readString("SET1", "C3_07", ""), "180");
    EXPECT_EQ(saved.readString("SET0", "TRANS", ""), "1");
}

TEST(SettingsFile, ATypedValueBeyondTheRangeIsSavedAsTypedAndLimitedAtTheNextLoad) {
    test::RecordingView view;
    settings::resetControls(view);
    view.values.contrast = 150; // typed, the box not yet left
    IniFile ini;
    settings::saveControls(view, ini);
    EXPECT_EQ(ini.readString("SET1", "C3_02", ""), "150");
    settings::loadControls(ini, view);
    EXPECT_EQ(view.values.contrast, 100);
}

TEST(SettingsFile, AHandEditedFileKeepsItsOtherLinesAcrossASave) {
    test::TempProgramFolder folder;
    const QByteArray edited = "; settings of my desk machine\n"
                              "[set1]\n"
                              "c3_07 = 45\n"
                              "MyOwnKey=keep me\n"
                              "\n"
                              "[Tools]\n"
                              "Editor=notepad\n"
                              "[SET3]\n"
                              "C5_02=  Header text  \n";
    folder.writeFile("drive_c/SC_CONVERTER.ini", edited);
    const QString path = QStringLiteral("C:/SC_CONVERTER.ini");
    test::RecordingView view;
    formShow(view, path);
    EXPECT_EQ(view.values.hue, 45);
    EXPECT_EQ(view.values.printHeader, "Header text");
    view.values.hue = -180;
    ASSERT_TRUE(settings::saveControlsToFile(view, path));

    const QByteArray saved = readHost(path);
    EXPECT_TRUE(saved.startsWith("; settings of my desk machine\n[set1]\nc3_07=-180\n"
                                 "MyOwnKey=keep me\nC0_01=0\n"))
        << saved.constData();
    // A line whose value does not change keeps its spacing.
    EXPECT_TRUE(saved.contains("\n\n[Tools]\nEditor=notepad\n[SET3]\nC5_02=  Header text  \n"
                               "C5_01=0\nC5_03=\n"))
        << saved.constData();
    EXPECT_TRUE(saved.endsWith("[SET0]\nTRANS=1\nM_TOP=-40\nM_LEFT=3000\n"
                               "[SET2]\nC4_01=2\nEdit1=SCC DATA\n"))
        << saved.constData();
    EXPECT_FALSE(saved.contains('\r'));
    IniFile again(path);
    ASSERT_TRUE(again.load());
    EXPECT_EQ(settings::readSettings(again, settings::TConvertSettings()), view.values);
}

TEST(SettingsFile, LongPathsAndTextsComeBackWhole) {
    test::TempProgramFolder folder;
    ASSERT_TRUE(QDir().mkpath(folder.host("drive_c")));
    test::RecordingView view;
    settings::resetControls(view);
    view.values.destinationFolder = QStringLiteral("D:/") + QString(2500, u'p');
    view.values.albumTitle = QStringLiteral(" spaced title ");
    const QString path = QStringLiteral("C:/SC_CONVERTER.ini");
    ASSERT_TRUE(settings::saveControlsToFile(view, path));
    test::RecordingView loaded;
    formShow(loaded, path);
    EXPECT_EQ(loaded.values.destinationFolder, view.values.destinationFolder);
    EXPECT_EQ(loaded.values.albumTitle, view.values.albumTitle);

    // Long values of bytes the code page cannot read keep their lines across a start and a
    // close: the path read whole, the text cut as it reads.
    const QByteArray unreadable = "[SET1]\r\nC0_02=D:/\x81\x20" + QByteArray(2500, 'p') +
                                  "\r\nEdit2=\x81\x20" + QByteArray(2500, 'e') + "\r\n";
    folder.writeFile("drive_c/SC_CONVERTER.ini", unreadable);
    test::RecordingView closing;
    formShow(closing, path);
    ASSERT_TRUE(settings::saveControlsToFile(closing, path));
    EXPECT_TRUE(readHost(path).startsWith(unreadable));
}

TEST(SettingsFile, AFileThatCannotBeReadIsSaidAndNotOverwritten) {
    test::TempProgramFolder folder;
    // A folder where the file should be: it can be neither read nor replaced.
    ASSERT_TRUE(QDir().mkpath(folder.host("drive_c/SC_CONVERTER.ini")));
    test::RecordingView view;
    settings::resetControls(view);
    const settings::TConvertSettings before = view.values;
    test::ScriptedDialogs dialogs;
    settings::loadControlsFromFile("C:/SC_CONVERTER.ini", view, dialogs);
    EXPECT_EQ(dialogs.shown, QStringList({"message:設定ファイルを読み込めませんでした。"
                                          "既定の設定で起動します。\nC:/SC_CONVERTER.ini"}));
    EXPECT_EQ(view.values, before); // read as empty: every control keeps the reset's value
    EXPECT_FALSE(settings::saveControlsToFile(view, "C:/SC_CONVERTER.ini"));
}

// A damaged file of 50 MB of empty lines around the sections: one pass to load, one to save.
// Its own test entry bounds the time (a file like this took minutes and gigabytes).
TEST(SettingsLargeFile, FiftyMegabytesOfEmptyLinesLoadAndSaveInOnePass) {
    test::TempProgramFolder folder;
    const QByteArray blank(25 * 1024 * 1024, '\n');
    folder.writeFile("drive_c/SC_CONVERTER.ini", "[SET0]\n" + blank + "[SET1]\nC3_01=5\n" + blank);
    const QString path = QStringLiteral("C:/SC_CONVERTER.ini");
    test::RecordingView view;
    formShow(view, path);
    EXPECT_EQ(view.values.brightness, 5);
    ASSERT_TRUE(settings::saveControlsToFile(view, path));
    const QByteArray saved = readHost(path);
    const QByteArray expected =
        "[SET0]\nTRANS=1\nM_TOP=-40\nM_LEFT=3000\n" + blank +
        "[SET1]\nC3_01=5\nC0_01=0\nC0_02=C:/Program Files/Snapcycle\n"
        "C1_01=1\nEdit2=20040000\nC1_02=2\nC3_02=0\nC3_04=0\nC3_05=0\n"
        "C3_06=0\nC3_07=0\nC3_08=0\nC3_09=0\n" +
        blank + "[SET2]\nC4_01=2\nEdit1=SCC DATA\n[SET3]\nC5_01=0\nC5_02=\nC5_03=\n";
    EXPECT_TRUE(saved == expected);
    ASSERT_TRUE(settings::saveControlsToFile(view, path));
    EXPECT_TRUE(readHost(path) == saved);
}
