#include "HeldKey.h"
#include "ScriptedDialogs.h"
#include "controls/TFolderPathBox.h"

#include <QLineEdit>
#include <QSignalSpy>
#include <QTest>
#include <QToolButton>
#include <gtest/gtest.h>

using sc::controls::TFolderPathBox;

TEST(FolderPathBox, BrowseByMouseOrKeyStartsAtThePathAndTakesTheChosenFolder) {
    TFolderPathBox box;
    box.setPath("C:/Program Files/Snapcycle");
    QStringList starts;
    std::deque<QString> answers = {QString(), QStringLiteral("D:\\")};
    box.setBrowser([&](const QString& current) {
        starts << current;
        if (answers.empty())
            return QString();
        QString answer = answers.front();
        answers.pop_front();
        return answer;
    });
    QSignalSpy changes(&box, &TFolderPathBox::changed);
    QTest::mouseClick(box.browseButton(), Qt::LeftButton); // cancelled
    EXPECT_EQ(box.path(), "C:/Program Files/Snapcycle");
    EXPECT_EQ(changes.count(), 0);
    // Return as Tab leaves the button focused, held down: the key repeats, one browser opens.
    sc::test::holdKey(box.browseButton(), Qt::Key_Return, QStringLiteral("\r"));
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
