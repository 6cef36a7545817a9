#pragma once

#include <QString>
#include <QStringList>
#include <array>

// Texts the program shows that switch with the caption language. The main window's design
// carries the Japanese column; the English one replaces it when the language is switched.
namespace sc::captions {

inline const QString kIdlePromptJapanese =
    QStringLiteral("変換元の画像ファイル or フォルダをドロップしてください。");
inline const QString kIdlePromptEnglish =
    QStringLiteral("Drop source files or a source folder here.");

inline QString idlePrompt(bool japanese) {
    return japanese ? kIdlePromptJapanese : kIdlePromptEnglish;
}

// A label's or a button's caption, by the control's object name.
struct Caption {
    const char* control;
    QString japanese;
    QString english;
};

// In the order the captions are applied. The labels are right-aligned, so a longer caption
// grows to the left; "(   )" leaves room for the separate letters R, G and B.
inline const std::array<Caption, 26> kCaptions = {{
    {"L0_00", QStringLiteral("対象ﾌｧｲﾙ ："), QStringLiteral("Source Files ：")},
    {"L0_01", QStringLiteral("保存先 ："), QStringLiteral("In Folder ：")},
    {"L0_02", QStringLiteral("ﾊﾟｽ ："), QStringLiteral("Path ：")},
    {"L0_03", QStringLiteral("日付ﾘﾈｰﾑ ："), QStringLiteral("Edit Date ：")},
    {"L0_04", QStringLiteral("任意文字 ："), QStringLiteral("String ：")},
    {"L1_02", QStringLiteral("画質 ："), QStringLiteral("Quality ：")},
    {"L1_03", QStringLiteral("微調整 ："), QStringLiteral("Tuning ：")},
    {"L3_01", QStringLiteral("明るさ ："), QStringLiteral("Brightness ：")},
    {"L3_02", QStringLiteral("ｺﾝﾄﾗｽﾄ ："), QStringLiteral("Contrast ：")},
    {"L3_04", QStringLiteral("色階調(   ) ："), QStringLiteral("Balance(   ) ：")},
    {"L3_05", QStringLiteral("色階調(   ) ："), QStringLiteral("Balance(   ) ：")},
    {"L3_06", QStringLiteral("色階調(   ) ："), QStringLiteral("Balance(   ) ：")},
    {"L3_07", QStringLiteral("色相 ："), QStringLiteral("Hue ：")},
    {"L3_08", QStringLiteral("彩度 ："), QStringLiteral("Saturation ：")},
    {"L3_09", QStringLiteral("明度 ："), QStringLiteral("Lightness ：")},
    {"L4_01", QStringLiteral("画質 ："), QStringLiteral("Quality ：")},
    {"L4_02", QStringLiteral("ﾀｲﾄﾙ ："), QStringLiteral("Title ：")},
    {"L5_01", QStringLiteral("印刷ﾓｰﾄﾞ ："), QStringLiteral("Format ：")},
    {"L5_02", QStringLiteral("ﾍｯﾀﾞｰ ："), QStringLiteral("Header ：")},
    {"L5_03", QStringLiteral("ﾌｯﾀｰ ："), QStringLiteral("Footer ：")},
    {"SSButton2", QStringLiteral("登録"), QStringLiteral("Get Files")},
    {"SSButton1", QStringLiteral("ｸﾘｱ"), QStringLiteral("Clear")},
    {"CButton11", QStringLiteral("ﾘｾｯﾄ"), QStringLiteral("Default")},
    {"ShineSpeedButton1", QStringLiteral("JPEG変換(日付ﾘﾈｰﾑ)"), QStringLiteral("JPEG Transform")},
    {"ShineSpeedButton2", QStringLiteral("HTML変換(ﾎｰﾑﾍﾟｰｼﾞ)"), QStringLiteral("HTML Transform")},
    {"ShineSpeedButton3", QStringLiteral("ﾌﾟﾘﾝﾄ出力"), QStringLiteral("Print")},
}};

// The items of a drop-down list, in item order; both languages keep that order, so a stored
// item index means the same in either. A list is named by its object name in the design, which
// is its setting's key in the settings file.
struct Items {
    const char* control;
    QStringList japanese;
    QStringList english;
};

inline const QStringList kQualityJapanese = {QStringLiteral("1-低画質(高圧縮率)"),
                                             QStringLiteral("2-標準"), QStringLiteral("3-高画質"),
                                             QStringLiteral("4-最高画質(低圧縮率)")};
inline const QStringList kQualityEnglish = {QStringLiteral("1-Low(HighCompression)"),
                                            QStringLiteral("2-Normal"), QStringLiteral("3-Better"),
                                            QStringLiteral("4-Best(LowCompression)")};

inline const std::array<Items, 5> kItems = {{
    {"C0_01",
     {QStringLiteral("変換元と同一ﾌｫﾙﾀﾞ"), QStringLiteral("ﾕｰｻﾞｰ設定")},
     {QStringLiteral("ToSourceFolder"), QStringLiteral("UserSettings")}},
    {"C1_02", kQualityJapanese, kQualityEnglish},
    {"C4_01", kQualityJapanese, kQualityEnglish},
    {"C1_01",
     {QStringLiteral("しない"), QStringLiteral("する(日付_時間)"),
      QStringLiteral("する(任意文字_時間)")},
     {QStringLiteral("OFF"), QStringLiteral("On(Date_Time)"), QStringLiteral("On(String_Time)")}},
    {"C5_01",
     {QStringLiteral("縦-ノーマル(50ｺﾏ)"), QStringLiteral("横-フィルム風(66ｺﾏ)")},
     {QStringLiteral("Vertical-Normal(5x10Frames)"),
      QStringLiteral("Horizontal-FilmStyle(11x6Frames)")}},
}};

} // namespace sc::captions
