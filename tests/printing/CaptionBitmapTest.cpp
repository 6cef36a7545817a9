// The caption bitmap under each thumbnail of a vertical sheet.
#include "printing/CaptionBitmap.h"
#include "DesignFont.h"
#include "platform/WinPath.h"

#include <QFontInfo>
#include <gtest/gtest.h>

using sc::printing::CaptionBitmap;

namespace {

CaptionBitmap captionOf(const QString& text) {
    sc::test::registerDesignFont();
    CaptionBitmap caption;
    caption.setFontSize(12);
    caption.draw(text);
    return caption;
}

int inkColumns(const QImage& bitmap, int from = 0) {
    int columns = 0;
    for (int x = from; x < bitmap.width(); ++x)
        for (int y = 0; y < bitmap.height(); ++y)
            if (bitmap.pixelIndex(x, y) == 1) {
                ++columns;
                break;
            }
    return columns;
}

} // namespace

TEST(CaptionBitmap, IsA143By15TwoColourBitmapInTheDesignFontAtTwelvePoints) {
    const CaptionBitmap caption = captionOf(QStringLiteral("IMG_0001"));
    const QImage& bitmap = caption.image();
    EXPECT_EQ(bitmap.size(), QSize(143, 15));
    EXPECT_EQ(bitmap.format(), QImage::Format_Mono);
    // White where the name leaves it: each corner on its own.
    for (const QPoint corner : {QPoint(0, 0), QPoint(142, 0), QPoint(0, 14), QPoint(142, 14)})
        EXPECT_EQ(bitmap.pixel(corner), qRgb(255, 255, 255)) << corner.x() << "," << corner.y();
    EXPECT_GT(inkColumns(bitmap), 40);
    EXPECT_EQ(QFontInfo(caption.font()).family(), QStringLiteral("IPAPGothic"));
    EXPECT_EQ(caption.font().pointSize(), 12);
}

TEST(CaptionBitmap, AnUnderscoreStaysInsideTheBitmap) {
    const QImage plain = captionOf(QStringLiteral("IMG 0001")).image();
    const QImage underscored = captionOf(QStringLiteral("IMG_0001")).image();
    EXPECT_NE(plain, underscored) << "IMG_0001 must not read as IMG 0001";
}

TEST(CaptionBitmap, ShowsOnlyTheLastNameDrawnCutAtTheRightEdge) {
    CaptionBitmap caption = captionOf(QStringLiteral("a_rather_long_name_of_a_picture"));
    EXPECT_GT(inkColumns(caption.image(), 133), 3) << "a long name runs to the edge";
    caption.draw(QStringLiteral("b"));
    EXPECT_EQ(caption.image(), captionOf(QStringLiteral("b")).image())
        << "no tail of the longer name stays behind";
}

TEST(CaptionBitmap, JapaneseNamesAreDrawnAsGlyphsNotBoxes) {
    const QImage photo = captionOf(QStringLiteral("写真")).image();
    const QImage trip = captionOf(QStringLiteral("旅行")).image();
    const QImage missing = captionOf(QString(QChar(0xE000)) + QChar(0xE001)).image();
    EXPECT_GT(inkColumns(photo), 20);
    EXPECT_NE(photo, trip);
    EXPECT_NE(photo, missing);
}

TEST(CaptionBitmap, TheCaptionIsTheFileNameWithoutItsExtension) {
    using sc::winpath::baseNameOf;
    EXPECT_EQ(baseNameOf(QStringLiteral("C:\\Album\\IMG_0001.JPG")), "IMG_0001");
    EXPECT_EQ(baseNameOf(QStringLiteral("D:/x.y/a.b.jpg")), "a.b");
    EXPECT_EQ(baseNameOf(QStringLiteral("D:/x.y/noext")), "noext");
    EXPECT_EQ(baseNameOf(QStringLiteral("D:写真.bmp")), QStringLiteral("写真"));
}
