// The album through the OK command of the window, with scripted dialog answers.
#include "CameraJpeg.h"
#include "QStringPrinting.h"
#include "WindowFixture.h"
#include "imaging/GKitImage.h"
#include "imaging/JpegMetadata.h"
#include "imaging/TGKitImageEdit.h"

#include <QFile>
#include <QImageReader>
#include <QLineEdit>

using namespace sc;
using namespace sc::test;

namespace {

const QString kBrowse = QStringLiteral("browse:HTMLファイル保存先の指定|");
const QString kAsk =
    QStringLiteral("ask:処理が終了しました。\n作成したHTMLファイルを今すぐ参照しますか？");
const QString kFailure =
    QStringLiteral("message:非対応フォーマットが含まれていました。処理を中止します。");
const QString kIdle = QStringLiteral("変換元の画像ファイル or フォルダをドロップしてください。");

QByteArray bytesOf(const QString& path) {
    QFile f(winpath::hostPath(path));
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

QSize pictureSize(const QString& path) {
    QImageReader reader(winpath::hostPath(path));
    return reader.canRead() ? reader.size() : QSize();
}

QColor colourOf(const QString& path) {
    return QImage(winpath::hostPath(path)).pixelColor(0, 0);
}

QStringList entries(const QString& folder) {
    return QDir(winpath::hostPath(folder)).entryList(QDir::AllEntries | QDir::NoDotAndDotDot);
}

// The album page of a window and the folder the dialog answers.
struct AlbumWindow : Window {
    explicit AlbumWindow(const QString& folderAnswer = QString()) {
        form->chooseAlbumJob();
        if (!folderAnswer.isEmpty())
            dialogs.folderAnswers = {folderAnswer};
    }
    // Writes pictures at path texts inside the program folder and lists them.
    void list(const QStringList& paths, QColor colour = Qt::darkCyan, QSize size = {8, 6}) {
        for (const QString& p : paths)
            form->dropFiles({picture(p, colour, size)});
    }
    void title(const QString& text) { get<QLineEdit>("Edit1")->setText(text); }
    GKitImage& work() { return get<TGKitImageEdit>("ImageEdit0")->model(); }
};

} // namespace

TEST(AlbumCommand, EndsAtOnceOnCancelAndAfterTheFoldersForAnEmptyList) {
    AlbumWindow cancelled;
    cancelled.list({"C:\\shots\\a.bmp"});
    const QString before = cancelled.status();
    cancelled.form->runVisiblePageJob();
    EXPECT_EQ(cancelled.dialogs.shown, QStringList({kBrowse}));
    EXPECT_EQ(cancelled.status(), before);
    EXPECT_EQ(entries("C:/"), QStringList({"shots"}));
    EXPECT_EQ(entries("C:/shots"), QStringList({"a.bmp"}));

    AlbumWindow empty("D:\\album");
    empty.choose("C4_01", 0);
    empty.form->runVisiblePageJob();
    EXPECT_EQ(empty.dialogs.shown, QStringList({kBrowse}));
    EXPECT_EQ(entries("D:/album"), QStringList({"Data", "Thumb"}));
    EXPECT_TRUE(entries("D:/album/Data").isEmpty());
    EXPECT_EQ(empty.work().SaveQuality(), 1);
}

TEST(AlbumCommand, OnePictureGivesItsCopyItsThumbnailAndTheSevenLinePage) {
    AlbumWindow w("D:\\album");
    w.list({"C:\\shots\\a.bmp"}, Qt::darkCyan, {64, 48});
    const QByteArray source = bytesOf("C:\\shots\\a.bmp");
    w.form->runVisiblePageJob();

    EXPECT_EQ(bytesOf("D:/album/Index.html"),
              "<HTML><HEAD><TITLE>SCC DATA</TITLE></HEAD>\r\n"
              "<BODY BGCOLOR=\"#ffffff\" TEXT=\"#FFFFFF\" LINK=\"#FFFFFF\" ALINK=\"#FFFFFF\" "
              "VLINK=\"#FFFFFF\"><CENTER><BR><BR>\r\n"
              "<H1><FONT COLOR=\"#000000\">SCC DATA</FONT></H1><BR>\r\n"
              "<TABLE BORDER=3 CELLPADDING=0 CELLSPACING=0 WIDTH=160 HEIGHT=120><TR "
              "BGCOLOR=\"#222222\"><TD ALIGN=CENTER>\r\n"
              "<IMG SRC=\"Thumb/th_a.jpg\" ALT=\"a.jpg\" WIDTH=160 HEIGHT=120><BR>\r\n"
              "<A HREF=\"Data/a.jpg\"><B>a.jpg</B></A><BR></TD></TR></TABLE>\r\n"
              "</CENTER><BR><BR></BODY></HTML>\r\n");
    EXPECT_EQ(pictureSize("D:/album/Data/a.jpg"), QSize(64, 48));
    EXPECT_EQ(pictureSize("D:/album/Thumb/th_a.jpg"), QSize(160, 120));
    // Nothing else lands in the album (no temporary file stays behind); the source is as it was.
    EXPECT_EQ(entries("D:/album"), QStringList({"Data", "Index.html", "Thumb"}));
    EXPECT_EQ(entries("D:/album/Data"), QStringList({"a.jpg"}));
    EXPECT_EQ(entries("D:/album/Thumb"), QStringList({"th_a.jpg"}));
    EXPECT_EQ(bytesOf("C:\\shots\\a.bmp"), source);

    EXPECT_EQ(w.dialogs.shown, QStringList({kBrowse, "beep", kAsk}));
    EXPECT_EQ(w.status(), kIdle);
    EXPECT_TRUE(w.work().isEmpty());
}

TEST(AlbumCommand, ADriveRootReplacesAnEarlierAlbumByNameAndYesOpensThePage) {
    AlbumWindow w("C:\\");
    w.list({"C:\\shots\\a.bmp"});
    Window::picture("C:/Data/old.jpg");
    w.folder.writeFile("drive_c/Data/a.jpg", "an earlier copy");
    w.folder.writeFile("drive_c/Index.html", "an earlier page");
    w.dialogs.yesNoAnswers = {true};
    w.form->runVisiblePageJob();
    EXPECT_EQ(pictureSize("C:/Data/a.jpg"), QSize(8, 6));
    EXPECT_EQ(pictureSize("C:/Thumb/th_a.jpg"), QSize(160, 120));
    EXPECT_EQ(pictureSize("C:/Data/old.jpg"), QSize(8, 6));
    EXPECT_TRUE(bytesOf("C:/Index.html").startsWith("<HTML>"));
    EXPECT_EQ(w.dialogs.shown, QStringList({kBrowse, "beep", kAsk, "open:C:/Index.html"}));
}

TEST(AlbumCommand, TwoPicturesOfOneNameGiveOneCopyAndTwoEntriesUnderATitleAsTyped) {
    AlbumWindow w("D:/album/");
    w.list({"C:\\one\\a.bmp"}, Qt::red);
    w.list({"C:\\two\\a.bmp"}, Qt::blue);
    w.title(QStringLiteral("<i>Tom & Jerry</i>"));
    w.form->runVisiblePageJob();
    const QList<QByteArray> lines = bytesOf("D:/album/Index.html").split('\n');
    ASSERT_EQ(lines.size(), 3 * 2 + 4 + 1); // the last line ends with CR LF too
    EXPECT_EQ(lines[0], "<HTML><HEAD><TITLE><i>Tom & Jerry</i></TITLE></HEAD>\r");
    EXPECT_EQ(lines.mid(3, 3), lines.mid(6, 3));
    EXPECT_EQ(entries("D:/album/Data"), QStringList({"a.jpg"}));
    EXPECT_GT(colourOf("D:/album/Data/a.jpg").blue(), 200); // the later picture
    EXPECT_LT(colourOf("D:/album/Data/a.jpg").red(), 50);
}

TEST(AlbumCommand, AnUnreadableThirdPictureStopsTheJobAndKeepsTheOlderPage) {
    AlbumWindow w("D:\\album");
    for (int i = 1; i <= 5; ++i)
        w.list({QStringLiteral("C:\\five\\%1.bmp").arg(i)});
    w.folder.writeFile("drive_c/five/3.bmp", "not a picture");
    w.folder.writeFile("drive_d/album/Index.html", "an earlier page");
    w.form->runVisiblePageJob();
    EXPECT_EQ(entries("D:/album/Data"), QStringList({"1.jpg", "2.jpg"}));
    EXPECT_EQ(entries("D:/album/Thumb"), QStringList({"th_1.jpg", "th_2.jpg"}));
    EXPECT_EQ(bytesOf("D:/album/Index.html"), "an earlier page");
    EXPECT_EQ(w.dialogs.shown, QStringList({kBrowse, "beep", kFailure}));
    EXPECT_EQ(w.status(), "2/5 枚目の処理中です。");
}

// A read-only page is left as it is, as Windows would keep it; the message says why.
TEST(AlbumCommand, APageThatCannotBeWrittenFailsAfterThePicturesNamingItsCause) {
    for (const bool readOnly : {false, true}) {
        AlbumWindow w("D:\\album");
        w.list({"C:\\shots\\a.bmp"});
        if (readOnly) {
            w.folder.writeFile("drive_d/album/Index.html", "an earlier page");
            fileops::setReadOnly("D:/album/Index.html", true);
        } else {
            QDir().mkpath(w.folder.host("drive_d/album/Index.html"));
        }
        w.form->runVisiblePageJob();
        EXPECT_EQ(pictureSize("D:/album/Thumb/th_a.jpg"), QSize(160, 120));
        const QString failure =
            QStringLiteral("D:\\album/Index.html を書き込めませんでした。\n") +
            (readOnly ? "読み取り専用のファイルです。" : "ファイルではなくフォルダです。") +
            "\n処理を中止します。";
        EXPECT_EQ(w.dialogs.shown, QStringList({kBrowse, "beep", "message:" + failure}));
        if (readOnly) {
            EXPECT_EQ(bytesOf("D:/album/Index.html"), "an earlier page");
        }
    }
}

// A copy or thumbnail would replace a listed source (another one, or its own file when the
// pictures of an earlier album are listed): nothing at all is written.
TEST(AlbumCommand, AnOutputOnAListedSourceStopsTheJobBeforeAnythingIsWritten) {
    const QString earlier = QStringLiteral("D:\\album\\Data\\b.jpg");
    AlbumWindow w("D:\\album");
    w.list({"C:\\pics\\b.bmp", earlier});
    const QByteArray before = bytesOf(earlier);
    w.form->runVisiblePageJob();
    EXPECT_EQ(bytesOf(earlier), before);
    EXPECT_EQ(entries("D:/album"), QStringList({"Data"}));
    ASSERT_EQ(w.dialogs.shown.size(), 2);
    EXPECT_EQ(w.dialogs.shown[0], kBrowse);
    EXPECT_EQ(w.dialogs.shown[1],
              "message:出力先が変換元ファイルと重なるため、何も書き込まずに処理を中止しました。\n"
              "\nC:\\pics\\b.bmp → D:\\album\\Data\\b.jpg\nD:\\album\\Data\\b.jpg");
    EXPECT_EQ(w.status(), kIdle);
}

// A 253-byte name fits its folder, but its thumbnail's "th_" name (256 bytes) fits no Linux
// file system: the job names it before it writes anything, instead of stopping without a page.
TEST(AlbumCommand, AThumbnailNameTooLongToMakeStopsTheJobBeforeAnythingIsWritten) {
    const QString longName = QString(249, u'n') + QStringLiteral(".bmp");
    AlbumWindow w("D:\\album");
    w.list({"C:\\pics\\a.bmp", "C:\\pics\\" + longName});
    w.form->runVisiblePageJob();
    EXPECT_FALSE(fileops::exists("D:/album"));
    ASSERT_EQ(w.dialogs.shown.size(), 2);
    EXPECT_EQ(
        w.dialogs.shown[1],
        "message:出力先のファイル名が長すぎて作れないため、何も書き込まずに処理を中止しました。"
        "\n\nC:\\pics\\" +
            longName + " → D:\\album/Thumb/th_" + QString(249, u'n') + ".jpg");
    EXPECT_EQ(w.status(), kIdle);
}

TEST(AlbumCommand, CopiesKeepTheCameraDataAndThumbnailsCarryNone) {
    AlbumWindow w("D:\\album");
    QImage picture(16, 12, QImage::Format_RGB32);
    picture.fill(Qt::darkYellow);
    const QByteArray exif = cameraExif("SC Optics", "Model 7", "2004:01:02 09:05:06", 6);
    w.form->dropFiles({w.place("drive_c/camera/p.jpg", jpegWithExif(picture, exif))});
    w.form->runVisiblePageJob();

    const QByteArray copy = bytesOf("D:/album/Data/p.jpg");
    const auto kept =
        imaging::readJpegMetadata(reinterpret_cast<const uchar*>(copy.constData()), copy.size());
    EXPECT_TRUE(kept.exif.contains("Model 7"));
    EXPECT_EQ(kept.orientation, 1); // the copy is stored upright
    EXPECT_EQ(pictureSize("D:/album/Data/p.jpg"), QSize(12, 16));
    const QByteArray thumb = bytesOf("D:/album/Thumb/th_p.jpg");
    EXPECT_TRUE(
        imaging::readJpegMetadata(reinterpret_cast<const uchar*>(thumb.constData()), thumb.size())
            .isEmpty());
}
