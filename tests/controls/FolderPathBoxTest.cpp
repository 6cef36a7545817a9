#include "ScriptedDialogs.h"
#include "controls/TFolderPathBox.h"

#include <QLineEdit>
#include <QSignalSpy>
#include <QTest>
#include <QToolButton>
#include <gtest/gtest.h>

TEST(FolderPathBox, BrowseByMouseOrKeyStartsAtThePathAndTakesTheChosenFolder) {
    TFolderPathBox box;
    box.setPath("C:/Program Files/Snapcycle");
    QStringList starts;
    std::deque<QString> answers = {QString(), QStringLiteral("D:\\")};
    box.setBrowser([&](const QString& current) {
        starts << current;
        QString answer = answers.front();
        answers.pop_front();
        return answer;
    });
    QSignalSpy changes(&box, &TFolderPathBox::changed);
    QTest::mouseClick(box.browseButton(), Qt::LeftButton); // cancelled
    EXPECT_EQ(box.path(), "C:/Program Files/Snapcycle");
    EXPECT_EQ(changes.count(), 0);
    QTest::keyClick(box.browseButton(), Qt::Key_Return); // as Tab leaves it focused
    EXPECT_EQ(box.path(), "D:\\");
    EXPECT_EQ(changes.count(), 1);
    EXPECT_EQ(starts, QStringList({"C:/Program Files/Snapcycle", "C:/Program Files/Snapcycle"}));
}

TEST(FolderPathBox, TypingRaisesTheChangeAndLongPathsStayWhole) {
    TFolderPathBox box;
    QSignalSpy changes(&box, &TFolderPathBox::changed);
    QTest::keyClicks(box.editor(), "C:/x");
    EXPECT_EQ(changes.count(), 4);
    const QString longPath = QStringLiteral("C:/") + QString(600, u'y');
    box.setPath(longPath);
    EXPECT_EQ(box.path(), longPath);
    box.setHint(longPath);
    EXPECT_EQ(box.hint(), longPath);
}

TEST(FolderPathBox, TheDialogSeamBrowserIsAsked) {
    sc::test::ScriptedDialogs dialogs;
    dialogs.folderAnswers.push_back(QStringLiteral("E:/pictures"));
    TFolderPathBox box;
    box.setDialogs(&dialogs, QStringLiteral("title"));
    box.browse();
    EXPECT_EQ(dialogs.shown, QStringList({"browse:title|"}));
    EXPECT_EQ(box.path(), "E:/pictures");
}
