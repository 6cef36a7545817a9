#include "settings/ChangeRules.h"
#include "RecordingView.h"

#include <gtest/gtest.h>

using namespace sc;
using namespace sc::settings;

TEST(ChangeRules, EnabledStatesFollowTheListItems) {
    EXPECT_FALSE(destinationFolderEnabled(0));
    EXPECT_TRUE(destinationFolderEnabled(1));
    EXPECT_TRUE(destinationFolderEnabled(-1));
    EXPECT_FALSE(userTextEnabled(0));
    EXPECT_FALSE(userTextEnabled(1));
    EXPECT_TRUE(userTextEnabled(2));
    EXPECT_TRUE(userTextEnabled(-1));
}

TEST(ChangeRules, ColoursShowValuesAwayFromTheDefault) {
    EXPECT_EQ(qualityColour(2), kBlack);
    for (const int index : {-1, 0, 1, 3})
        EXPECT_EQ(qualityColour(index), kBlue) << index;
    for (const Key box : {Key::Brightness, Key::Contrast, Key::RedBalance, Key::GreenBalance, Key::BlueBalance, Key::Hue}) {
        EXPECT_EQ(tuningColour(box, 0), kBlack);
        EXPECT_EQ(tuningColour(box, -5), kRed);
        EXPECT_EQ(tuningColour(box, 5), kBlue);
    }
    for (const Key box : {Key::Saturation, Key::Lightness}) {
        EXPECT_EQ(tuningColour(box, 0), kBlack);
        EXPECT_EQ(tuningColour(box, -5), kBlue);
        EXPECT_EQ(tuningColour(box, 5), kBlue);
    }
}

TEST(ChangeRules, HandlersOnTheViewColourAndPreviewAsTheirControlSays) {
    test::RecordingView view;
    view.values.jpegQuality = 0;
    view.values.albumQuality = 2;
    view.values.lightness = -20;
    EXPECT_TRUE(runChangeRule(Key::JpegQuality, view));
    EXPECT_EQ(view.background[Key::JpegQuality], kBlue);
    EXPECT_EQ(view.previews, 1);
    EXPECT_TRUE(runChangeRule(Key::AlbumQuality, view));
    EXPECT_EQ(view.background[Key::AlbumQuality], kBlack);
    EXPECT_EQ(view.previews, 1); // the album quality has no preview
    EXPECT_TRUE(runChangeRule(Key::Lightness, view));
    EXPECT_EQ(view.background[Key::Lightness], kBlue);
    EXPECT_EQ(view.previews, 2);
    view.values.destination = 1;
    EXPECT_TRUE(runChangeRule(Key::Destination, view));
    EXPECT_TRUE(view.enabled[Key::DestinationFolder]);
    for (const Key other : {Key::PrintLayout, Key::PrintHeader, Key::PrintFooter, Key::AlbumTitle, Key::UserText, Key::EnglishCaptions})
        EXPECT_FALSE(runChangeRule(other, view));
    EXPECT_EQ(view.previews, 2);
}

TEST(ChangeRules, PathBoxLosesItsTrailingSeparatorAndShowsThePathAsHint) {
    EXPECT_EQ(withoutTrailingSeparator("C:\\"), "C:");
    EXPECT_EQ(withoutTrailingSeparator("C:/a/"), "C:/a");
    EXPECT_EQ(withoutTrailingSeparator("C:/a//"), "C:/a/"); // one at a time
    EXPECT_EQ(withoutTrailingSeparator("C:\\a"), "C:\\a");
    EXPECT_EQ(withoutTrailingSeparator(""), "");

    test::RecordingView view;
    view.values.destinationFolder = QStringLiteral("D:\\\\");
    EXPECT_TRUE(runChangeRule(Key::DestinationFolder, view));
    // Each put-back is a change of its own, so every trailing separator goes.
    EXPECT_EQ(view.values.destinationFolder, "D:");
    EXPECT_EQ(view.hint[Key::DestinationFolder], "D:");
    EXPECT_EQ(view.log,
              QStringList({"text C0_02 D:\\", "handler C0_02", "text C0_02 D:", "handler C0_02"}));
    const QString longPath = QStringLiteral("C:/") + QString(300, u'x');
    view.values.destinationFolder = longPath;
    runChangeRule(Key::DestinationFolder, view);
    EXPECT_EQ(view.hint[Key::DestinationFolder], longPath);
}
