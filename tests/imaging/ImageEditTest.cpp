#include "TestPictures.h"
#include "imaging/TGKitImageEdit.h"

#include <QApplication>
#include <gtest/gtest.h>

using sc::TGKitImageEdit;
using namespace sc::test;

namespace {

QImage shot(TGKitImageEdit& view) {
    QApplication::processEvents();
    return view.grab().toImage().convertToFormat(QImage::Format_RGB32);
}

} // namespace

TEST(TGKitImageEdit, ShowsThePictureFittedAndCentredOnTheWindowColour) {
    TGKitImageEdit view;
    view.resize(164, 124);
    const QRgb window = view.palette().color(QPalette::Window).rgb();

    QImage empty = shot(view);
    EXPECT_EQ(maxDifference(empty, filled(164, 124, window)), 0)
        << "an empty control shows nothing";

    // A wide picture: full width, letterboxed top and bottom.
    view.model().setImage(filled(400, 100, qRgb(200, 30, 30)));
    EXPECT_EQ(view.pictureRect(), QRect(0, 41, 164, 41));
    QImage wide = shot(view);
    EXPECT_EQ(wide.pixel(82, 62), qRgb(200, 30, 30));
    EXPECT_EQ(wide.pixel(82, 10), window);
    EXPECT_EQ(wide.pixel(82, 110), window);

    // The view follows operations made on the model alone, as a job makes them.
    view.model().AdjustHue(120, 0, 0);
    EXPECT_EQ(shot(view).pixel(82, 62), qRgb(30, 200, 30));
    view.model().ResizeImage(100, 400); // now tall: pillarboxed
    EXPECT_EQ(view.pictureRect(), QRect(66, 0, 31, 124));
    const QImage tall = shot(view);
    EXPECT_EQ(tall.pixel(82, 62), qRgb(30, 200, 30));
    EXPECT_EQ(tall.pixel(10, 62), window);
    view.model().Delete();
    EXPECT_EQ(maxDifference(shot(view), filled(164, 124, window)), 0);
}
