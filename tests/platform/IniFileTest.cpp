#include "platform/IniFile.h"
#include "PipeGuard.h"
#include "TempProgramFolder.h"

#include <QFile>
#include <QStringDecoder>
#include <QStringEncoder>

using namespace sc;

namespace {
IniFile fromBytes(const QByteArray& bytes) {
    IniFile ini;
    ini.setBytes(bytes);
    return ini;
}
} // namespace

TEST(IniRead, MatchesSectionsAndKeysWithoutCaseAndTrimsValues) {
    const IniFile ini = fromBytes("[set1]\r\n  c0_02 =  C:/Photos  \r\nEdit2=\r\n"
                                  "; C1_01=9\r\n[SET2]\nEdit1=\"  padded \"\nC1_01=7\n");
    EXPECT_EQ(ini.readString("SET1", "C0_02", "x"), "C:/Photos");
    // A present empty value is an empty text, not the fallback.
    EXPECT_TRUE(ini.contains("SET1", "Edit2"));
    EXPECT_EQ(ini.readString("SET1", "Edit2", "fallback"), "");
    // Comments are not keys, and keys of another section are not seen.
    EXPECT_EQ(ini.readInteger("SET1", "C1_01", 1), 1);
    EXPECT_EQ(ini.readString("SET2", "Edit1", ""), "  padded ");
    EXPECT_EQ(ini.readString("SET3", "Edit1", "missing"), "missing");
}

TEST(IniRead, ValuesAreCutAt2047CharactersUnlessAskedForAll) {
    const QString longValue(3000, u'a');
    const IniFile ini = fromBytes("[S]\nK=" + longValue.toUtf8() + "\n");
    EXPECT_EQ(ini.readString("S", "K", "").size(), 2047);
    EXPECT_EQ(ini.readString("S", "K", "", -1), longValue);
}

TEST(IniRead, IntegersDecimalHexAndFallbacks) {
    EXPECT_EQ(parseIniInteger("0x14"), 20);
    EXPECT_EQ(parseIniInteger("0XfF"), 255);
    EXPECT_EQ(parseIniInteger("-180"), -180);
    EXPECT_EQ(parseIniInteger("+7"), 7);
    EXPECT_EQ(parseIniInteger("007"), 7);
    EXPECT_EQ(parseIniInteger("0xFFFFFFFF"), -1);
    EXPECT_EQ(parseIniInteger("-2147483648"), std::numeric_limits<int>::min());
    for (const char* bad : {"", "abc", "0x", "0x1G", "12abc", "-", "+", "1 2", "2147483648",
                            "0x100000000", "-0x14", "$14"})
        EXPECT_FALSE(parseIniInteger(QString::fromLatin1(bad)).has_value()) << bad;

    const IniFile ini = fromBytes("[S]\nhex=0x14\nbad=abc\nempty=\nflag=2\noff=0\n");
    EXPECT_EQ(ini.readInteger("S", "hex", 0), 20);
    EXPECT_EQ(ini.readInteger("S", "bad", 5), 5);
    EXPECT_EQ(ini.readInteger("S", "empty", -3), -3);
    EXPECT_EQ(ini.readInteger("S", "none", 9), 9);
    EXPECT_TRUE(ini.readBool("S", "flag", false));
    EXPECT_FALSE(ini.readBool("S", "off", true));
    EXPECT_TRUE(ini.readBool("S", "none", true));
}

TEST(IniWrite, NewFileGetsSectionsAndKeysInWriteOrderWithCrlf) {
    IniFile ini;
    ini.writeBool("SET0", "TRANS", false);
    ini.writeInteger("SET0", "M_TOP", -20);
    ini.writeString("SET1", "C0_02", "C:/Program Files/Snapcycle");
    ini.writeString("SET0", "M_LEFT", "195");
    EXPECT_EQ(ini.bytes(), QByteArray("[SET0]\r\nTRANS=0\r\nM_TOP=-20\r\nM_LEFT=195\r\n"
                                      "[SET1]\r\nC0_02=C:/Program Files/Snapcycle\r\n"));
}

TEST(IniWrite, RewritesOnlyTheKeyLineAndKeepsEverythingElse) {
    const QByteArray original = "; my notes\n"
                                "[set1]\n"
                                "  c3_01 = 5   \n"
                                "Unknown=kept as is  \n"
                                "\n"
                                "[Other]\r\n"
                                "C3_01=untouched\r\n"
                                "last line without ending";
    IniFile ini = fromBytes(original);
    ini.writeInteger("SET1", "C3_01", -40);
    EXPECT_EQ(ini.bytes(), QByteArray(original).replace("  c3_01 = 5   \n", "  c3_01=-40\n"));

    // A new key closes its section, before the blank line; a new section ends the file.
    ini.writeString("SET1", "Edit2", "x");
    ini.writeString("Other", "New", "y");
    ini.writeString("SET3", "C5_02", "");
    EXPECT_EQ(ini.bytes(), QByteArray("; my notes\n"
                                      "[set1]\n"
                                      "  c3_01=-40\n"
                                      "Unknown=kept as is  \n"
                                      "Edit2=x\n"
                                      "\n"
                                      "[Other]\r\n"
                                      "C3_01=untouched\r\n"
                                      "last line without ending\n"
                                      "New=y\n"
                                      "[SET3]\n"
                                      "C5_02=\n"));
}

// A hand-edited file may repeat a section or a key: the first of each is the one read and
// written, and a new key joins the first section of its name.
TEST(IniWrite, TheFirstOfARepeatedSectionOrKeyIsReadWrittenAndExtended) {
    IniFile ini = fromBytes("[S]\nA=1\nA=2\n[T]\nA=t\n[s]\nA=3\n");
    EXPECT_EQ(ini.readString("S", "A", ""), "1");
    ini.writeString("s", "a", "9");
    ini.writeString("S", "New", "n");
    EXPECT_EQ(ini.bytes(), QByteArray("[S]\nA=9\nA=2\nNew=n\n[T]\nA=t\n[s]\nA=3\n"));
    EXPECT_EQ(ini.readString("S", "A", ""), "9");
}

TEST(IniWrite, TextsThatReadingWouldChangeComeBackUnchanged) {
    IniFile ini;
    for (const QString& text :
         {QStringLiteral(" lead"), QStringLiteral("trail "), QStringLiteral("\"quoted\""),
          QStringLiteral("'a'"), QStringLiteral("a=b;c"), QStringLiteral("日本語 ﾀｲﾄﾙ")}) {
        ini.writeString("S", "K", text);
        EXPECT_EQ(ini.readString("S", "K", "?"), text);
    }
    // A line break cannot smuggle a section or key into the file.
    ini.writeString("S", "K", "x\n[S]\nTRANS=1");
    EXPECT_FALSE(ini.contains("S", "TRANS"));
    EXPECT_EQ(ini.readString("S", "K", ""), "x [S] TRANS=1");
}

TEST(IniFileOnDisk, LoadsAndSavesThroughTheDriveMappingAtLongPaths) {
    test::TempProgramFolder folder;
    // Far beyond 259 characters: such paths are valid here and must not be cut.
    QString deep = QStringLiteral("C:/");
    while (deep.size() < 400)
        deep += QStringLiteral("a_rather_long_folder_name/");
    ASSERT_TRUE(QDir().mkpath(winpath::hostPath(deep)));
    const QString path = deep + QStringLiteral("SC_CONVERTER.ini");

    IniFile missing(path);
    EXPECT_TRUE(missing.load());
    EXPECT_EQ(missing.readInteger("SET1", "C1_02", 2), 2);

    IniFile ini(path);
    ini.writeInteger("SET1", "C1_02", 3);
    ASSERT_TRUE(ini.save());
    IniFile again(path);
    ASSERT_TRUE(again.load());
    EXPECT_EQ(again.readInteger("set1", "c1_02", 0), 3);
    QFile file(winpath::hostPath(path));
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_EQ(file.readAll(), "[SET1]\r\nC1_02=3\r\n");

    // A pipe in the settings file's place is no file to read: the load fails at once instead of
    // waiting for a writer that never comes.
    const QString pipePath = deep + QStringLiteral("pipe.ini");
    ASSERT_TRUE(test::makePipe(winpath::hostPath(pipePath)));
    test::PipeGuard guard(winpath::hostPath(pipePath));
    EXPECT_FALSE(IniFile(pipePath).load());
    EXPECT_FALSE(guard.fired());
}

namespace {
QByteArray cp932(const QString& text) {
    QStringEncoder encoder("CP932");
    QByteArray bytes = encoder(text);
    EXPECT_FALSE(encoder.hasError());
    return bytes;
}
QByteArray utf16WithMark(const QString& text, QStringConverter::Encoding endian) {
    return QStringEncoder(endian, QStringConverter::Flag::WriteBom)(text);
}
} // namespace

// A file written by a Japanese editor holds the Windows code page; its texts come back and
// every line that is not written stays byte for byte, trail bytes that look like '\' and
// ']' included.
TEST(IniEncoding, ACp932FileIsReadAndWrittenBackInCp932) {
    ASSERT_TRUE(QStringDecoder("CP932").isValid()) << "no CP932 converter in this Qt";
    const QString text = QStringLiteral("; 写真の設定 ソ表]\r\n[SET1]\r\nEdit2=旅行\r\n"
                                        "C0_02=C:/写真/出力\r\n予定=表示\r\n");
    IniFile ini = fromBytes(cp932(text));
    EXPECT_EQ(ini.encoding().kind(), TextEncoding::Kind::Cp932);
    EXPECT_EQ(ini.readString("SET1", "Edit2", ""), "旅行");
    EXPECT_EQ(ini.readString("SET1", "C0_02", ""), "C:/写真/出力");
    EXPECT_EQ(ini.readString("SET1", "予定", ""), "表示");

    ini.writeString("SET1", "Edit2", "旅行記");
    ini.writeString("SET1", "C0_02", "D:/ソフト");
    // What the code page cannot hold becomes '?', as the system's own conversion writes it.
    ini.writeString("SET2", "Edit1", "€ アルバム");
    QString expected = text;
    expected.replace("旅行", "旅行記").replace("C:/写真/出力", "D:/ソフト");
    EXPECT_EQ(ini.bytes(), cp932(expected + "[SET2]\r\nEdit1=? アルバム\r\n"));
    IniFile again = fromBytes(ini.bytes());
    EXPECT_EQ(again.readString("SET1", "C0_02", ""), "D:/ソフト");

    // Bytes the code page cannot read survive the close, which writes back every value read.
    const QByteArray damaged = "[SET1]\r\nEdit2=\xfd\r\nC0_02 = \x81\x20x\r\nC0_03=\x81\r\n";
    IniFile closing = fromBytes(damaged);
    ASSERT_EQ(closing.encoding().kind(), TextEncoding::Kind::Cp932);
    for (const char* key : {"Edit2", "C0_02"})
        closing.writeString("SET1", key, closing.readString("SET1", key, ""));
    closing.writeString("SET1", "C0_03", "new");
    EXPECT_EQ(closing.bytes(), QByteArray(damaged).replace("C0_03=\x81", "C0_03=new"));
}

// What a start reads comes back the same after the close writes it: a CP932 file that the
// write leaves valid UTF-8 is stored as UTF-8 (read as UTF-8, its ﾃｩ would become é); a UTF-16
// file cut inside its last unit reads as if a zero byte completed it, as the write completes
// it; a cut value of bytes the code page cannot read keeps its line.
TEST(IniEncoding, WhatAStartReadsComesBackTheSameAfterTheClose) {
    IniFile flipping = fromBytes(cp932(QStringLiteral("[SET1]\r\nC0_02=D:/写真\r\nEdit2=ﾃｩ\r\n")));
    ASSERT_EQ(flipping.encoding().kind(), TextEncoding::Kind::Cp932);
    flipping.writeString("SET1", "C0_02", "D:/photos");
    EXPECT_EQ(flipping.bytes(),
              QStringLiteral("[SET1]\r\nC0_02=D:/photos\r\nEdit2=ﾃｩ\r\n").toUtf8());
    EXPECT_EQ(fromBytes(flipping.bytes()).readString("SET1", "Edit2", ""), "ﾃｩ");

    for (const auto endian : {QStringConverter::Utf16LE, QStringConverter::Utf16BE}) {
        const QByteArray whole = utf16WithMark("[SET3]\r\nC5_02=ab", endian);
        const bool little = endian == QStringConverter::Utf16LE;
        IniFile cut = fromBytes(whole + (little ? "c" : "N")); // 'c' as 63 00, '一' as 4E 00
        EXPECT_EQ(cut.readString("SET3", "C5_02", ""), little ? "abc" : "ab一");
        cut.writeString("SET3", "C5_03", "x");
        const IniFile again = fromBytes(cut.bytes());
        EXPECT_EQ(again.readString("SET3", "C5_02", ""), cut.readString("SET3", "C5_02", ""));
        EXPECT_EQ(again.readString("SET3", "C5_03", ""), "x");
    }

    const QByteArray longUnreadable = "[SET1]\r\nEdit2=\x81\x20" + QByteArray(2100, 'a') + "\r\n";
    IniFile closing = fromBytes(longUnreadable);
    const QString read = closing.readString("SET1", "Edit2", "");
    ASSERT_EQ(read.size(), 2047);
    closing.writeString("SET1", "Edit2", read);
    EXPECT_EQ(closing.bytes(), longUnreadable);
}

TEST(IniEncoding, Utf16WithItsMarkAndLoneCarriageReturnsAreRead) {
    for (const auto endian : {QStringConverter::Utf16LE, QStringConverter::Utf16BE}) {
        IniFile ini = fromBytes(utf16WithMark("[SET1]\r\nEdit2=旅行\r\n", endian));
        EXPECT_EQ(ini.readString("SET1", "Edit2", ""), "旅行");
        ini.writeString("SET1", "Edit2", "写真");
        ini.writeString("SET1", "C1_01", "2");
        EXPECT_EQ(ini.bytes(), utf16WithMark("[SET1]\r\nEdit2=写真\r\nC1_01=2\r\n", endian));
    }
    // Old Macintosh line ends: each lone CR ends a line, and new lines take it.
    IniFile mac = fromBytes("[SET1]\rC3_01=5\rC3_02=6");
    EXPECT_EQ(mac.readInteger("SET1", "C3_01", 0), 5);
    EXPECT_EQ(mac.readInteger("SET1", "C3_02", 0), 6);
    mac.writeInteger("SET1", "C3_01", 7);
    mac.writeInteger("SET1", "C3_04", 8);
    EXPECT_EQ(mac.bytes(), "[SET1]\rC3_01=7\rC3_02=6\rC3_04=8\r");
}

// Writing the same values again gives the same bytes, however the last line ends; a value cut
// at its limit keeps whole characters.
TEST(IniEncoding, SavingTwiceGivesTheSameBytesAndCutsKeepWholeCharacters) {
    for (const QByteArray& original :
         {QByteArray("[S]\r\nK=1\r"), QByteArray("[S]\nK=1"), QByteArray("[S]\r\n\r\n\r"),
          QByteArray("[S]"), QByteArray("\xEF\xBB\xBF[S]\r\nK=1\r\n"),
          QByteArray("\xFF\xFE[\0S\0]\0\r", 9)}) {
        IniFile ini = fromBytes(original);
        ini.writeString("S", "K", "1");
        ini.writeString("T", "L", "2");
        const QByteArray once = ini.bytes();
        IniFile again = fromBytes(once);
        again.writeString("S", "K", "1");
        again.writeString("T", "L", "2");
        EXPECT_EQ(again.bytes(), once) << original.toHex().constData();
        EXPECT_EQ(again.readString("S", "K", ""), "1");
    }
    const QString emoji = QStringLiteral("\U0001F4F7");
    const IniFile ini = fromBytes("[S]\nK=" + (QString(2046, u'a') + emoji).toUtf8() + "\n");
    EXPECT_EQ(ini.readString("S", "K", ""), QString(2046, u'a'));
}
