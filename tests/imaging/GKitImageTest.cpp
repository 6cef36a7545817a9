#include "imaging/GKitImage.h"
#include "CameraJpeg.h"
#include "TempProgramFolder.h"
#include "TestPictures.h"
#include "platform/Error.h"
#include "platform/FileOps.h"

#include <QClipboard>
#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <gtest/gtest.h>
#include <turbojpeg.h>

using sc::Error;
using sc::GKitImage;
using namespace sc::test;

namespace {

QByteArray readAll(const QString& path) {
    QFile f(path);
    f.open(QIODevice::ReadOnly);
    return f.readAll();
}

struct JpegHeader {
    int width = 0, height = 0, subsamp = -1, colorspace = -1;
};

JpegHeader jpegHeader(const QByteArray& bytes) {
    JpegHeader h;
    tjhandle tj = tjInitDecompress();
    tjDecompressHeader3(tj, reinterpret_cast<const uchar*>(bytes.constData()),
                        static_cast<unsigned long>(bytes.size()), &h.width, &h.height, &h.subsamp,
                        &h.colorspace);
    tjDestroy(tj);
    return h;
}

// Saves `picture` through a model at `level` and loads the result back.
QImage roundTrip(GKitImage& model, const QString& path, int level) {
    model.setSaveQuality(level);
    model.Save(path);
    GKitImage back;
    back.Load(path);
    return back.image();
}

} // namespace

TEST(GKitImage, SaveSettingsDefaultToJpegAndRejectUnknownValues) {
    GKitImage m;
    EXPECT_EQ(m.SaveMediaFormat(), 103);
    EXPECT_EQ(m.SaveCompression(), 1);
    EXPECT_TRUE(m.isEmpty());
    EXPECT_EQ(m.ColorDepth(), 0);
    EXPECT_THROW(m.setSaveQuality(0), Error);
    EXPECT_THROW(m.setSaveQuality(11), Error);
    EXPECT_THROW(m.setSaveMediaFormat(102), Error);
    EXPECT_THROW(m.setSaveCompression(0), Error);
    m.setSaveQuality(4);
    m.setSaveCompression(2);
    m.setImage(filled(8, 8, qRgb(1, 2, 3)));
    m.Delete();
    EXPECT_EQ(m.SaveQuality(), 4) << "save settings stay in force after Delete";
    EXPECT_EQ(m.SaveCompression(), 2);
}

TEST(GKitImage, JpegRoundTripImprovesAndGrowsWithTheLevel) {
    TempProgramFolder folder;
    GKitImage m;
    const QImage original = photoLike(320, 240);
    m.setImage(original);
    double previousError = 1e9;
    qint64 previousSize = 0;
    for (int level : {1, 4, 7, 10}) {
        const QString path = folder.host(QStringLiteral("q%1.jpg").arg(level));
        const QImage back = roundTrip(m, path, level);
        ASSERT_EQ(back.size(), original.size());
        const double error = meanSquaredError(original, back);
        const qint64 size = QFile(path).size();
        EXPECT_LT(error, previousError) << "level " << level;
        EXPECT_GT(size, previousSize) << "level " << level;
        previousError = error;
        previousSize = size;
        const JpegHeader h = jpegHeader(readAll(path));
        EXPECT_EQ(h.subsamp, level == 10 ? TJSAMP_444 : TJSAMP_420) << "level " << level;
    }
    EXPECT_LT(previousError, 4.0) << "level 10 is close to the original";
    EXPECT_TRUE(m.image() == original) << "saving leaves the held picture alone";
}

TEST(GKitImage, ProgressiveAndGreyPicturesSaveAsSuch) {
    TempProgramFolder folder;
    GKitImage m;
    m.setImage(photoLike(64, 48));
    m.setSaveCompression(2);
    m.Save(folder.host("p.jpg"));
    EXPECT_TRUE(readAll(folder.host("p.jpg")).contains("\xff\xc2")) << "SOF2 frame";

    m.setSaveCompression(1);
    m.ChangeColorDepth(GKitImage::kDepthGray);
    m.Save(folder.host("g.jpg"));
    EXPECT_EQ(jpegHeader(readAll(folder.host("g.jpg"))).colorspace, TJCS_GRAY);
    GKitImage back;
    back.Load(folder.host("g.jpg"));
    EXPECT_EQ(back.ColorDepth(), GKitImage::kDepthGray);
}

TEST(GKitImage, LoadTellsFormatsByContentAndMapsWindowsPaths) {
    TempProgramFolder folder;
    QDir().mkpath(folder.host("drive_c/Shots"));
    GKitImage m;
    const QImage original = photoLike(40, 30);
    m.setImage(original);
    m.setSaveMediaFormat(GKitImage::kFormatBmp);
    m.Save("C:\\Shots\\pic.bmp");
    ASSERT_TRUE(QFile::exists(folder.host("drive_c/Shots/pic.bmp")));
    m.setSaveMediaFormat(GKitImage::kFormatJpeg);
    m.Save("C:/Shots/_tmp000.tmp"); // a JPEG under another extension, as the preview writes

    GKitImage back;
    back.Load("c:/shots/PIC.BMP");
    EXPECT_TRUE(back.image() == original) << "24-bit BMP keeps every pixel";
    EXPECT_EQ(back.ColorDepth(), GKitImage::kDepthFull);
    back.Load("C:/Shots/_tmp000.tmp");
    EXPECT_EQ(back.image().size(), original.size());
}

// Rows are widened eight pixels at a time into targets of every alignment: each width up to
// past several steps, and a wide row, must keep every pixel and touch nothing beyond its row.
TEST(GKitImage, TwentyFourBitBitmapsOfEveryWidthKeepEveryPixel) {
    TempProgramFolder folder;
    GKitImage m;
    for (int width = 1; width <= 1001; width += width < 40 ? 1 : 961) {
        const QImage original = photoLike(width, 3, quint32(width));
        const QString file = folder.host(QStringLiteral("w%1.bmp").arg(width));
        ASSERT_TRUE(original.convertToFormat(QImage::Format_RGB888).save(file, "bmp"));
        m.Load(file);
        ASSERT_TRUE(m.image() == original) << "width " << width;
    }
}

TEST(GKitImage, PlainBitmapsReadTopDownBottomUpAndPadded) {
    TempProgramFolder folder;
    // 3 x 2 pixels, 24 bits: rows padded to 12 bytes. Stored top-down (negative height).
    auto bitmap = [](int bits, bool topDown, int rows = 2) {
        const int stride = (3 * bits + 31) / 32 * 4;
        QByteArray b(54, '\0');
        auto put32 = [&](int at, qint32 v) {
            for (int i = 0; i < 4; ++i)
                b[at + i] = char((quint32(v) >> (8 * i)) & 0xff);
        };
        b[0] = 'B', b[1] = 'M';
        put32(2, 54 + stride * 2);
        put32(10, 54);
        put32(14, 40);
        put32(18, 3);
        put32(22, topDown ? -2 : 2);
        b[26] = 1;
        b[28] = char(bits);
        const QRgb top[3] = {qRgb(255, 0, 0), qRgb(0, 255, 0), qRgb(0, 0, 255)};
        const QRgb bottom[3] = {qRgb(1, 2, 3), qRgb(4, 5, 6), qRgb(7, 8, 9)};
        for (int r = 0; r < rows; ++r) {
            const QRgb* pixels = (r == 0) == topDown ? top : bottom;
            QByteArray row(stride, '\x77');
            for (int x = 0; x < 3; ++x) {
                row[x * bits / 8] = char(qBlue(pixels[x]));
                row[x * bits / 8 + 1] = char(qGreen(pixels[x]));
                row[x * bits / 8 + 2] = char(qRed(pixels[x]));
            }
            b += row;
        }
        return b;
    };
    for (int bits : {24, 32})
        for (bool topDown : {false, true}) {
            GKitImage m;
            m.Load(folder.writeFile("p.bmp", bitmap(bits, topDown)));
            ASSERT_EQ(m.image().size(), QSize(3, 2)) << bits << topDown;
            EXPECT_EQ(m.image().pixel(0, 0), qRgb(255, 0, 0)) << bits << topDown;
            EXPECT_EQ(m.image().pixel(2, 0), qRgb(0, 0, 255)) << bits << topDown;
            EXPECT_EQ(m.image().pixel(1, 1), qRgb(4, 5, 6)) << bits << topDown;
        }
    // Data shorter than the header promises is refused, never completed with made-up rows.
    GKitImage m;
    EXPECT_THROW(m.Load(folder.writeFile("short.bmp", bitmap(24, false, 1))), Error);
}

// 16-bit pixels scale each field to 0 … 255 with rounding: the levels are exact, in 5-5-5 (no
// masks) and in 5-6-5 (masks given), each channel read from its own field.
TEST(GKitImage, SixteenBitBitmapsDecodeToExactLevels) {
    TempProgramFolder folder;
    const int five[6] = {0, 3, 15, 16, 24, 31}, six[6] = {0, 11, 31, 32, 48, 63};
    // One row of six pixels; bit fields put the three masks after the 40-byte header.
    auto bitmap = [&](bool fields) {
        const int offset = 14 + 40 + (fields ? 12 : 0);
        QByteArray b;
        auto le = [&b](quint32 v, int bytes) {
            for (int i = 0; i < bytes; ++i)
                b += char(v >> (8 * i));
        };
        b += "BM";
        le(offset + 12, 4), le(0, 4), le(offset, 4);
        le(40, 4), le(6, 4), le(1, 4), le(1, 2), le(16, 2), le(fields ? 3 : 0, 4);
        le(12, 4), le(2835, 4), le(2835, 4), le(0, 4), le(0, 4);
        if (fields)
            le(0xf800, 4), le(0x07e0, 4), le(0x001f, 4);
        for (int x = 0; x < 6; ++x) {
            const int r = five[x], b5 = five[(x + 4) % 6];
            le(fields ? r << 11 | six[(x + 2) % 6] << 5 | b5
                      : r << 10 | five[(x + 2) % 6] << 5 | b5,
               2);
        }
        return b;
    };
    const QRgb fiveFiveFive[6] = {qRgb(0, 123, 197),  qRgb(25, 132, 255), qRgb(123, 197, 0),
                                  qRgb(132, 255, 25), qRgb(197, 0, 123),  qRgb(255, 25, 132)};
    const QRgb fiveSixFive[6] = {qRgb(0, 125, 197),  qRgb(25, 130, 255), qRgb(123, 194, 0),
                                 qRgb(132, 255, 25), qRgb(197, 0, 123),  qRgb(255, 45, 132)};
    for (const bool fields : {false, true}) {
        GKitImage m;
        m.Load(folder.writeFile("p.bmp", bitmap(fields)));
        ASSERT_EQ(m.image().size(), QSize(6, 1));
        for (int x = 0; x < 6; ++x)
            EXPECT_EQ(QColor(m.image().pixel(x, 0)),
                      QColor((fields ? fiveSixFive : fiveFiveFive)[x]))
                << (fields ? "5-6-5" : "5-5-5") << " pixel " << x;
    }
}

TEST(GKitImage, EveryBitmapShorterThanItsHeaderSaysIsRefusedByEitherDecoder) {
    TempProgramFolder folder;
    // width x height at `bits` per pixel, uncompressed, grey palette where there is one.
    auto bitmap = [](int width, int height, int bits) {
        const int colours = bits <= 8 ? 1 << bits : 0;
        const qint64 offset = 14 + 40 + 4 * colours, stride = (qint64(width) * bits + 31) / 32 * 4;
        QByteArray b;
        auto le = [&b](quint32 v, int bytes) {
            for (int i = 0; i < bytes; ++i)
                b += char(v >> (8 * i));
        };
        b += "BM";
        le(quint32(offset + stride * height), 4), le(0, 4), le(quint32(offset), 4);
        le(40, 4), le(width, 4), le(height, 4), le(1, 2), le(bits, 2), le(0, 4);
        le(quint32(stride * height), 4), le(2835, 4), le(2835, 4), le(colours, 4), le(0, 4);
        for (int i = 0; i < colours; ++i)
            le(quint32(i * 255 / (colours - 1)) * 0x010101u, 4);
        if (stride * height < (1 << 20))
            b += QByteArray(stride * height, '\x5a');
        return b;
    };
    GKitImage m;
    for (int bits : {1, 4, 8, 16, 24, 32}) {
        const QByteArray whole = bitmap(13, 7, bits);
        ASSERT_NO_THROW(m.Load(folder.writeFile("whole.bmp", whole))) << bits;
        EXPECT_EQ(m.image().size(), QSize(13, 7));
        for (qsizetype size : {whole.size() - 1, whole.size() / 2}) {
            EXPECT_THROW(m.Load(folder.writeFile("cut.bmp", whole.left(size))), Error)
                << bits << " bits, " << size << " bytes";
            EXPECT_EQ(m.image().size(), QSize(13, 7)) << "the held picture stays";
        }
    }
    // A tiny file claiming a huge picture fails at once instead of loading as a black one.
    EXPECT_THROW(m.Load(folder.writeFile("claim.bmp", bitmap(14000, 14000, 24).left(70))), Error);
}

TEST(GKitImage, RunLengthBitmapsCutBeforeTheirLastRowAreRefused) {
    TempProgramFolder folder;
    // 13 x 7, 8 or 4 bits per pixel run-length coded: per row a run of 9 pixels, 3 literal
    // pixels and a run of 1, then the end of the row; the end-of-bitmap mark after `rows` rows.
    auto bitmap = [](int bits, int rows) {
        QByteArray codes;
        const QByteArray row = bits == 8 ? "0901 0003 010203 00 0102 0000" // literal padded
                                         : "0911 0003 1230 0122 0000";
        for (int y = 0; y < rows; ++y)
            codes += QByteArray::fromHex(row); // spaces are skipped
        codes += QByteArray::fromHex("0001");
        const int colours = 1 << bits, offset = 14 + 40 + 4 * colours;
        QByteArray b = "BM";
        auto le = [&b](quint32 v, int bytes) {
            for (int i = 0; i < bytes; ++i)
                b += char(v >> (8 * i));
        };
        le(quint32(offset + codes.size()), 4), le(0, 4), le(quint32(offset), 4);
        le(40, 4), le(13, 4), le(7, 4), le(1, 2), le(bits, 2), le(bits == 8 ? 1 : 2, 4);
        le(quint32(codes.size()), 4), le(2835, 4), le(2835, 4), le(colours, 4), le(0, 4);
        for (int i = 0; i < colours; ++i)
            le(quint32(i * 255 / (colours - 1)) * 0x010101u, 4);
        return b + codes;
    };
    GKitImage m;
    for (int bits : {8, 4}) {
        const QByteArray whole = bitmap(bits, 7);
        ASSERT_NO_THROW(m.Load(folder.writeFile("whole.bmp", whole))) << bits;
        EXPECT_EQ(m.image().size(), QSize(13, 7));
        EXPECT_NO_THROW(m.Load(folder.writeFile("early-end.bmp", bitmap(bits, 2))))
            << "the end-of-bitmap mark may come early";
        EXPECT_NO_THROW(m.Load(folder.writeFile("no-end.bmp", whole.chopped(4))))
            << "the last row needs no end mark";
        for (qsizetype cut : {5, 8, 16}) {
            EXPECT_THROW(m.Load(folder.writeFile("cut.bmp", whole.chopped(cut))), Error)
                << bits << " bits, " << cut << " bytes cut";
        }
    }
}

TEST(GKitImage, EveryFailureRaisesAndLeavesThingsAsTheyWere) {
    TempProgramFolder folder;
    GKitImage m;
    EXPECT_THROW(m.Load(QString()), Error) << "no file name";
    EXPECT_THROW(m.Load(folder.host("missing.jpg")), Error);
    EXPECT_THROW(m.Load(folder.writeFile("text.jpg", "just some text")), Error);
    EXPECT_THROW(m.Load(folder.writeFile("empty.bmp", "")), Error);

    EXPECT_THROW(m.Save(folder.host("out.jpg")), Error) << "empty control";
    EXPECT_FALSE(QFile::exists(folder.host("out.jpg")));
    EXPECT_THROW(m.ResizeImage(160, 120), Error);
    EXPECT_THROW(m.ChangeColorDepth(12), Error);
    EXPECT_THROW(m.AdjustBrightness(10, 0), Error);
    EXPECT_THROW(m.AdjustColorBalance(0, 10, 0), Error);
    EXPECT_THROW(m.AdjustHue(0, 0, 10), Error);
    EXPECT_THROW(m.CopyToClipboard(0, 0, 0, 0), Error);
    EXPECT_THROW(m.PasteFromClipboard(0, 0), Error);

    const QImage picture = photoLike(32, 24);
    m.setImage(picture);
    EXPECT_THROW(m.ResizeImage(0, 120), Error);
    EXPECT_THROW(m.ChangeColorDepth(7), Error);
    EXPECT_THROW(m.CopyToClipboard(40, 40, 50, 50), Error) << "rectangle outside the picture";
    EXPECT_THROW(m.Save(folder.host("no/such/folder/out.jpg")), Error);

    // A failed load keeps the picture that was held.
    EXPECT_THROW(m.Load(folder.host("missing.jpg")), Error);
    EXPECT_TRUE(m.image() == picture);

    // A read-only target is not replaced.
    const QString locked = folder.writeFile("locked.jpg", "old bytes");
    sc::fileops::setReadOnly(locked, true);
    EXPECT_THROW(m.Save(locked), Error);
    EXPECT_EQ(readAll(locked), QByteArray("old bytes"));
}

TEST(GKitImage, SaveReplacesAFileAndReencodesItsOwnSource) {
    TempProgramFolder folder;
    const QString path = folder.writeFile("a.jpg", "old");
    GKitImage m;
    m.setImage(photoLike(64, 48));
    m.Save(path);
    m.Load(path);
    m.AdjustBrightness(20, 0);
    m.Save(path); // in place, as the JPEG job does for a JPEG source
    GKitImage back;
    back.Load(path);
    EXPECT_EQ(back.image().size(), QSize(64, 48));
    EXPECT_EQ(QDir(folder.path()).entryList(QDir::Files), QStringList{"a.jpg"})
        << "no temporary file is left beside it";
}

TEST(GKitImage, ColourDepthCodes) {
    GKitImage m;
    m.setImage(photoLike(16, 16));
    EXPECT_EQ(m.ColorDepth(), 12);
    m.ChangeColorDepth(GKitImage::kDepthMono);
    for (int y = 0; y < 16; ++y)
        for (int x = 0; x < 16; ++x) {
            const QRgb p = m.image().pixel(x, y) & 0xffffff;
            ASSERT_TRUE(p == 0 || p == 0xffffff);
        }
    m.ChangeColorDepth(12);
    EXPECT_EQ(m.ColorDepth(), 12);
    m.Reset();
    m.ChangeColorDepth(GKitImage::kDepthGray);
    const QRgb grey = m.image().pixel(3, 3);
    EXPECT_TRUE(qRed(grey) == qGreen(grey) && qGreen(grey) == qBlue(grey));
    m.AdjustColorBalance(30, 0, 0);
    EXPECT_EQ(m.ColorDepth(), 12) << "a coloured grey picture is full colour";
}

TEST(GKitImage, ClipboardCopiesAndPastesClippedAtThePosition) {
    GKitImage thumb;
    thumb.setImage(filled(10, 8, qRgb(255, 0, 0)));
    thumb.CopyToClipboard(0, 0, 0, 0);
    EXPECT_EQ(QGuiApplication::clipboard()->image().size(), QSize(10, 8));

    GKitImage sheet;
    sheet.setImage(filled(100, 80, qRgb(0, 0, 255)));
    sheet.PasteFromClipboard(20, 30);
    EXPECT_EQ(sheet.image().pixel(20, 30), qRgb(255, 0, 0));
    EXPECT_EQ(sheet.image().pixel(29, 37), qRgb(255, 0, 0));
    EXPECT_EQ(sheet.image().pixel(30, 37), qRgb(0, 0, 255));
    EXPECT_EQ(sheet.image().pixel(29, 38), qRgb(0, 0, 255));
    EXPECT_EQ(sheet.image().pixel(19, 30), qRgb(0, 0, 255));

    sheet.PasteFromClipboard(95, 75); // clipped at the corner
    EXPECT_EQ(sheet.image().size(), QSize(100, 80));
    EXPECT_EQ(sheet.image().pixel(99, 79), qRgb(255, 0, 0));

    // A part of a picture: right and bottom exclusive.
    GKitImage source;
    QImage quarters = filled(20, 20, qRgb(0, 255, 0));
    for (int y = 0; y < 10; ++y)
        for (int x = 0; x < 10; ++x)
            quarters.setPixel(x, y, qRgb(9, 9, 9));
    source.setImage(quarters);
    source.CopyToClipboard(0, 0, 10, 10);
    const QImage part = QGuiApplication::clipboard()->image();
    EXPECT_EQ(part.size(), QSize(10, 10));
    EXPECT_EQ(part.pixel(9, 9) & 0xffffff, 0x090909u);

    sheet.Reset();
    EXPECT_EQ(sheet.image().pixel(20, 30), qRgb(0, 0, 255)) << "Reset undoes a paste";
}

TEST(GKitImage, AThumbnailHintDecodesAtTheSmallestDctScaleThatCoversIt) {
    TempProgramFolder folder;
    const QString path = folder.host("photo.jpg");
    GKitImage m;
    m.setImage(photoLike(1600, 1200));
    m.setSaveQuality(10);
    m.Save(path);
    QString loaded = path;
    const auto loadedSize = [&](QSize hint) {
        m.setLoadSizeHint(hint);
        m.Load(loaded);
        return m.image().size();
    };
    EXPECT_EQ(loadedSize({160, 120}), QSize(200, 150));
    EXPECT_EQ(loadedSize({201, 120}), QSize(400, 300));
    EXPECT_EQ(loadedSize({900, 10}), QSize(1600, 1200)) << "no scale covers it";
    EXPECT_EQ(loadedSize({}), QSize(1600, 1200));

    // The thumbnail barely differs from one shrunk from the whole picture.
    m.ResizeImage(160, 120);
    const QImage whole = m.image();
    loadedSize({160, 120});
    m.ResizeImage(160, 120);
    EXPECT_LE(maxDifference(m.image(), whole), 12);

    // A picture stored turned a quarter covers the hint once upright.
    if (corpusDir().isEmpty())
        GTEST_SKIP() << "no corpus";
    loaded = corpusDir() + QStringLiteral("/jpeg/exif-orientation-6.jpg");
    EXPECT_EQ(loadedSize({160, 120}), QSize(160, 120));
}

// Every EXIF orientation, decoded whole and decoded small, stands upright: the corners of a
// 320 x 240 picture stored red, green / blue, yellow land where the orientation's definition
// puts them, and a picture stored on its side is measured upright for its scale.
TEST(GKitImage, EveryExifOrientationStandsUprightWholeAndScaled) {
    const QRgb R = qRgb(255, 0, 0), G = qRgb(0, 255, 0), B = qRgb(0, 0, 255), Y = qRgb(255, 255, 0);
    QImage stored(320, 240, QImage::Format_RGB32);
    for (int y = 0; y < 240; ++y)
        for (int x = 0; x < 320; ++x)
            stored.setPixel(x, y, y < 120 ? (x < 160 ? R : G) : (x < 160 ? B : Y));
    // Upright top-left, top-right, bottom-left, bottom-right of orientations 1 ... 8.
    const QRgb upright[8][4] = {{R, G, B, Y}, {G, R, Y, B}, {Y, B, G, R}, {B, Y, R, G},
                                {R, B, G, Y}, {B, R, Y, G}, {Y, G, B, R}, {G, Y, R, B}};
    TempProgramFolder folder;
    GKitImage m;
    for (int n = 1; n <= 8; ++n) {
        const QString path = folder.writeFile(
            QStringLiteral("o%1.jpg").arg(n),
            jpegWithExif(stored, cameraExif("SC Optics", "Model 7", "2004:01:02 09:05:06", n)));
        for (const bool scaled : {false, true}) {
            // In a 164 x 124 view: shown 164 x 123 it needs the whole picture (1/2 is 160 x 120);
            // on its side it is shown 93 x 124, which 1/2 covers.
            if (scaled)
                m.LoadScaled(path, 164, 124);
            else
                m.Load(path);
            const QSize size = n >= 5 ? QSize(240, 320) : QSize(320, 240);
            ASSERT_EQ(m.image().size(), scaled && n >= 5 ? size / 2 : size) << n;
            const QImage& img = m.image();
            const int w = img.width(), h = img.height();
            const QPoint corners[4] = {
                {w / 8, h / 8}, {w * 7 / 8, h / 8}, {w / 8, h * 7 / 8}, {w * 7 / 8, h * 7 / 8}};
            for (int c = 0; c < 4; ++c)
                EXPECT_LE(maxDifference(img.copy(QRect(corners[c], QSize(1, 1))),
                                        filled(1, 1, upright[n - 1][c])),
                          40)
                    << "orientation " << n << (scaled ? " scaled" : " whole") << ", corner " << c;
        }
    }
}

TEST(GKitImage, LoadScaledDecodesAJpegOnlyAsLargeAsItsAreaNeeds) {
    TempProgramFolder folder;
    const QString jpeg = folder.host("wide.jpg"), bmp = folder.host("wide.bmp");
    const QImage picture = photoLike(1000, 800);
    ASSERT_TRUE(picture.save(jpeg, "JPG", 90));
    ASSERT_TRUE(picture.save(bmp, "BMP"));
    GKitImage m;
    m.LoadScaled(jpeg, 164, 124); // shown 155 x 124: 1/8 (125 x 100) is too small
    EXPECT_EQ(m.image().size(), QSize(250, 200));
    GKitImage whole;
    whole.Load(jpeg);
    whole.ResizeImage(250, 200);
    EXPECT_LT(meanSquaredError(m.image(), whole.image()), 4.0);
    m.LoadScaled(jpeg, 2000, 2000);
    EXPECT_EQ(m.image().size(), QSize(1000, 800));
    m.LoadScaled(bmp, 164, 124);
    EXPECT_EQ(m.image().size(), QSize(1000, 800));
    // A picture stored on its side (480 x 640) is measured upright: shown 164 x 123, which
    // 1/4 (160 x 120) would not cover.
    if (corpusDir().isEmpty())
        return;
    m.LoadScaled(corpusDir() + "/jpeg/exif-orientation-6.jpg", 164, 124);
    EXPECT_EQ(m.image().size(), QSize(320, 240));
    m.LoadScaled(corpusDir() + "/jpeg/exif-orientation-6.jpg", 80, 60);
    EXPECT_EQ(m.image().size(), QSize(80, 60));
}
