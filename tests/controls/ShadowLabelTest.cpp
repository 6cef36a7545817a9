#include "Pixels.h"
#include "controls/SystemColors.h"
#include "controls/TShadowLabel.h"

#include <QApplication>
#include <QTest>
#include <gtest/gtest.h>

using sc::controls::TShadowLabel;

using sc::test::boundsOf;
using sc::test::countOf;
using sc::test::grabImage;

namespace {

const QColor kBackground(70, 70, 70);
const QColor kGrey(128, 128, 128);

// A label as the window sets it up, on a surface of the window's colour.
struct Surface {
    QWidget host;
    TShadowLabel* label;
    explicit Surface(const QString& text, QSize size = {120, 13}) {
        host.resize(size.width() + 20, size.height() + 20);
        host.setAutoFillBackground(true);
        QPalette p = host.palette();
        p.setColor(QPalette::Window, kBackground);
        host.setPalette(p);
        label = new TShadowLabel(&host);
        label->setGeometry(10, 10, size.width(), size.height());
        label->setFont(sc::test::crispDesignFont(11));
        label->setText(text);
        label->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
        label->setFontColor(Qt::white);
        label->setShadowColor(kGrey);
        label->setHighlightVisible(false);
    }
};

// Every pixel of `shadow` lies one pixel right of and below a pixel of the text's shape.
void expectShadowBelowRight(const QImage& img, const QColor& text, const QColor& shadow) {
    int shadows = 0;
    for (int y = 1; y < img.height(); ++y)
        for (int x = 1; x < img.width(); ++x) {
            if (img.pixelColor(x, y) != shadow)
                continue;
            ++shadows;
            const QColor source = img.pixelColor(x - 1, y - 1);
            EXPECT_TRUE(source == text || source == shadow) << x << "," << y;
        }
    EXPECT_GT(shadows, 10);
}

} // namespace

TEST(ShadowLabel, WhiteTextOverAGreyCopyOnePixelDownRight) {
    Surface s(QStringLiteral("保存先 ："));
    const QImage img = grabImage(s.host);
    EXPECT_GT(countOf(img, Qt::white), 10);
    expectShadowBelowRight(img, Qt::white, kGrey);
    const QRect text = boundsOf(img, Qt::white);
    const QRect shadow = boundsOf(img, kGrey);
    EXPECT_EQ(shadow.bottomRight(), text.bottomRight() + QPoint(1, 1));
}

TEST(ShadowLabel, DisabledShowsButtonShadowTextOverGreyAndEnablingRestoresIt) {
    Surface s(QStringLiteral("ﾊﾟｽ ："));
    s.label->setEnabled(false);
    QImage img = grabImage(s.host);
    const QColor disabledText = sc::controls::syscolor::buttonShadow();
    EXPECT_EQ(countOf(img, Qt::white), 0);
    EXPECT_GT(countOf(img, disabledText), 10);
    expectShadowBelowRight(img, disabledText, kGrey);

    s.label->setShadowColor(QColor(0, 0, 255)); // a disabled label's shadow is always grey
    img = grabImage(s.host);
    EXPECT_EQ(countOf(img, QColor(0, 0, 255)), 0);
    EXPECT_GT(countOf(img, kGrey), 10);

    s.label->setShadowColor(kGrey);
    s.label->setEnabled(true);
    img = grabImage(s.host);
    EXPECT_EQ(countOf(img, disabledText), 0);
    expectShadowBelowRight(img, Qt::white, kGrey);
}

TEST(ShadowLabel, RightAlignedTextEndsAtTheLabelsRightEdge) {
    Surface s(QStringLiteral("画質 ："), {120, 19});
    s.label->setShadowVisible(false);
    s.label->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    const QRect text = boundsOf(grabImage(s.host), Qt::white);
    ASSERT_FALSE(text.isEmpty());
    EXPECT_GE(text.right(), 10 + 120 - 4);
    EXPECT_LE(text.right(), 10 + 120 - 1);
    EXPECT_GT(text.left(), 10 + 40);
}

TEST(ShadowLabel, CentredLayoutMovesTheTextByHalfTheSpareHeightEitherWay) {
    Surface tall(QStringLiteral("Ag"), {120, 41});
    tall.label->setShadowVisible(false);
    const QRect ink = boundsOf(grabImage(tall.host), Qt::white);
    const int inkCentre = (ink.top() + ink.bottom()) / 2;
    EXPECT_NEAR(inkCentre, 10 + 20, 3);

    Surface small(QStringLiteral("Ag"), {120, 4});
    small.label->setFont(sc::test::crispDesignFont(20));
    const int h = QFontMetrics(small.label->font()).height();
    EXPECT_GT(h, 4);
    EXPECT_EQ(small.label->textRect().top(), (4 - h) / 2);
    EXPECT_LT(small.label->textRect().top(), 0);
}

TEST(ShadowLabel, FontHeightIsThePixelSizeOfTheCharacters) {
    TShadowLabel label;
    label.setFontHeight(-11);
    EXPECT_EQ(label.font().pixelSize(), 11);
    EXPECT_EQ(label.fontHeight(), -11);
}

TEST(ShadowLabel, RepaintsOnlyWhenAPropertyReallyChanges) {
    Surface s(QStringLiteral("x"));
    s.host.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&s.host));
    QApplication::processEvents();
    sc::test::PaintCounter paints(s.label);
    s.label->setFontColor(Qt::white);
    s.label->setShadowColor(kGrey);
    s.label->setShadowOffset(QPoint(1, 1));
    s.label->setText(QStringLiteral("x"));
    QApplication::processEvents();
    EXPECT_EQ(paints.count, 0);
    s.label->setShadowOffset(QPoint(2, 2));
    QApplication::processEvents();
    EXPECT_GE(paints.count, 1);
}

TEST(ShadowLabel, LetsMousePressesThroughToItsParent) {
    TShadowLabel label;
    EXPECT_TRUE(label.testAttribute(Qt::WA_TransparentForMouseEvents));
}
