#include "settings/ChangeRules.h"
#include "RecordingView.h"

#include <gtest/gtest.h>

using namespace sc;
using namespace sc::settings;

TEST(ChangeRules, EnabledStatesFollowTheListItems) {
    EXPECT_FALSE(outputFolderEnabled(0));
    EXPECT_TRUE(outputFolderEnabled(1));
    EXPECT_TRUE(outputFolderEnabled(-1));
    EXPECT_FALSE(userTextEnabled(0));
    EXPECT_FALSE(userTextEnabled(1));
    EXPECT_TRUE(userTextEnabled(2));
    EXPECT_TRUE(userTextEnabled(-1));
}

TEST(ChangeRules, ColoursShowValuesAwayFromTheDefault) {
    EXPECT_EQ(qualityColour(2), kBlack);
    for (const int index : {-1, 0, 1, 3})
        EXPECT_EQ(qualityColour(index), kBlue) << index;
    for (const Key box : {Key::C3_01, Key::C3_02, Key::C3_04, Key::C3_05, Key::C3_06, Key::C3_07}) {
        EXPECT_EQ(tuningColour(box, 0), kBlack);
        EXPECT_EQ(tuningColour(box, -5), kRed);
        EXPECT_EQ(tuningColour(box, 5), kBlue);
    }
    for (const Key box : {Key::C3_08, Key::C3_09}) {
        EXPECT_EQ(tuningColour(box, 0), kBlack);
        EXPECT_EQ(tuningColour(box, -5), kBlue);
        EXPECT_EQ(tuningColour(box, 5), kBlue);
    }
}

TEST(ChangeRules, HandlersOnTheViewColourAndPreviewAsTheirControlSays) {
    test::RecordingView view;
    view.values.C1_02 = 0;
    view.values.C4_01 = 2;
    view.values.C3_09 = -20;
    EXPECT_TRUE(runChangeRule(Key::C1_02, view));
    EXPECT_EQ(view.background[Key::C1_02], kBlue);
    EXPECT_EQ(view.previews, 1);
    EXPECT_TRUE(runChangeRule(Key::C4_01, view));
    EXPECT_EQ(view.background[Key::C4_01], kBlack);
    EXPECT_EQ(view.previews, 1); // the album quality has no preview
    EXPECT_TRUE(runChangeRule(Key::C3_09, view));
    EXPECT_EQ(view.background[Key::C3_09], kBlue);
    EXPECT_EQ(view.previews, 2);
    view.values.C0_01 = 1;
    EXPECT_TRUE(runChangeRule(Key::C0_01, view));
    EXPECT_TRUE(view.enabled[Key::C0_02]);
    for (const Key other : {Key::C5_01, Key::C5_02, Key::C5_03, Key::Edit1, Key::Edit2, Key::TRANS})
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
    view.values.C0_02 = QStringLiteral("D:\\\\");
    EXPECT_TRUE(runChangeRule(Key::C0_02, view));
    // Each put-back is a change of its own, so every trailing separator goes.
    EXPECT_EQ(view.values.C0_02, "D:");
    EXPECT_EQ(view.hint[Key::C0_02], "D:");
    EXPECT_EQ(view.log,
              QStringList({"text C0_02 D:\\", "handler C0_02", "text C0_02 D:", "handler C0_02"}));
    const QString longPath = QStringLiteral("C:/") + QString(300, u'x');
    view.values.C0_02 = longPath;
    runChangeRule(Key::C0_02, view);
    EXPECT_EQ(view.hint[Key::C0_02], longPath);
}
