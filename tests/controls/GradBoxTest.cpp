#include "Pixels.h"
#include "controls/TGradBox.h"

#include <QApplication>
#include <QTest>
#include <gtest/gtest.h>

using sc::controls::TGradBox;

using sc::test::at;
using sc::test::grabImage;

namespace {

QColor grey(int v) {
    return QColor(v, v, v);
}

struct Bar {
    TGradBox box;
    Bar(QSize size, TGradBox::GradStyle style, bool outline, QColor outlineColor) {
        box.resize(size);
        box.setTopColor(Qt::white);
        box.setLastColor(grey(128));
        box.setGradStyle(style);
        box.setDrawOutLine(outline);
        box.setOutLineColor(outlineColor);
    }
};

} // namespace

TEST(GradBox, TopBarRowsStepFromWhiteToGreyInsideABlackOutline) {
    Bar plain({516, 20}, TGradBox::gsTopBottom, false, Qt::black);
    const QImage img = grabImage(plain.box);
    // Each row shows the last of the overlapping one-pixel bands painted on it.
    const int expected[20] = {248, 242, 235, 229, 223, 216, 210, 204, 197, 191,
                              184, 178, 172, 165, 159, 153, 146, 140, 133, 128};
    for (int y = 0; y < 20; ++y) {
        EXPECT_EQ(at(img, 0, y), grey(expected[y])) << "row " << y;
        EXPECT_EQ(at(img, 515, y), grey(expected[y])) << "row " << y;
    }

    Bar outlined({516, 20}, TGradBox::gsTopBottom, true, Qt::black);
    const QImage o = grabImage(outlined.box);
    for (int x : {0, 1, 257, 514, 515}) {
        EXPECT_EQ(at(o, x, 0), QColor(Qt::black));
        EXPECT_EQ(at(o, x, 19), QColor(Qt::black));
    }
    for (int y = 1; y < 19; ++y) {
        EXPECT_EQ(at(o, 0, y), QColor(Qt::black));
        EXPECT_EQ(at(o, 515, y), QColor(Qt::black));
        EXPECT_EQ(at(o, 1, y), grey(expected[y]));
        EXPECT_EQ(at(o, 514, y), grey(expected[y]));
    }
}

TEST(GradBox, BottomBarRunsTheSameRampFromBottomToTop) {
    Bar bar({516, 20}, TGradBox::gsBottomTop, false, Qt::black);
    const QImage img = grabImage(bar.box);
    // The ramp is built from grey to white, so the rows climb instead of mirroring exactly.
    EXPECT_EQ(at(img, 10, 19), grey(255));
    EXPECT_LT(at(img, 10, 0).red(), 140);
    for (int y = 1; y < 20; ++y)
        EXPECT_GE(at(img, 10, y).red(), at(img, 10, y - 1).red());
}

TEST(GradBox, SideEdgesShowSixColumnsInsideASilverOutline) {
    Bar left({6, 472}, TGradBox::gsLeftRight, false, grey(192));
    const QImage img = grabImage(left.box);
    const int columns[6] = {233, 212, 191, 170, 148, 128};
    for (int x = 0; x < 6; ++x) {
        EXPECT_EQ(at(img, x, 0), grey(columns[x])) << "column " << x;
        EXPECT_EQ(at(img, x, 471), grey(columns[x])) << "column " << x;
    }

    Bar outlined({6, 472}, TGradBox::gsLeftRight, true, grey(192));
    const QImage o = grabImage(outlined.box);
    for (int y : {1, 200, 470}) {
        EXPECT_EQ(at(o, 0, y), grey(192));
        EXPECT_EQ(at(o, 5, y), grey(192));
        for (int x = 1; x < 5; ++x)
            EXPECT_EQ(at(o, x, y), grey(columns[x]));
    }
    EXPECT_EQ(at(o, 3, 0), grey(192));
    EXPECT_EQ(at(o, 3, 471), grey(192));

    Bar right({6, 472}, TGradBox::gsRightLeft, false, grey(192));
    const QImage r = grabImage(right.box);
    EXPECT_LT(at(r, 0, 5).red(), at(r, 5, 5).red());
    EXPECT_EQ(at(r, 5, 5), grey(255));
}

TEST(GradBox, RampEndsAreExactForAnyColours) {
    const auto t = TGradBox::ramp(QColor(0, 128, 0), QColor(0, 255, 0));
    EXPECT_EQ(t[0], qRgb(0, 128, 0));
    EXPECT_EQ(t[255], qRgb(0, 255, 0));
    for (int i = 1; i < 256; ++i)
        EXPECT_GE(qGreen(t[i]), qGreen(t[i - 1]));
}

TEST(GradBox, RepaintsOnlyWhenAPropertyReallyChanges) {
    QWidget host;
    host.resize(100, 40);
    auto* box = new TGradBox(&host);
    box->setGeometry(0, 0, 100, 20);
    host.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&host));
    QApplication::processEvents();
    sc::test::PaintCounter paints(box);

    box->setTopColor(box->topColor());
    box->setLastColor(box->lastColor());
    box->setGradStyle(box->gradStyle());
    box->setDrawOutLine(box->drawOutLine());
    box->setOutLineColor(QColor(Qt::red)); // the outline is off: nothing to show
    QApplication::processEvents();
    EXPECT_EQ(paints.count, 0);

    box->setDrawOutLine(true);
    QApplication::processEvents();
    EXPECT_GE(paints.count, 1);
    paints.count = 0;
    box->setOutLineColor(QColor(Qt::blue));
    QApplication::processEvents();
    EXPECT_GE(paints.count, 1);
    paints.count = 0;
    box->setGradStyle(TGradBox::gsLeftRight);
    QApplication::processEvents();
    EXPECT_GE(paints.count, 1);
}

TEST(GradBox, LetsMousePressesThroughToItsParent) {
    TGradBox box;
    EXPECT_TRUE(box.testAttribute(Qt::WA_TransparentForMouseEvents));
}
