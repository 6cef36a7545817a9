// The OK command and the settings save when the disk fails them: the old files stay, no
// temporary is left, the message names the file and the cause, and no end question is asked.
#include "QStringPrinting.h"
#include "ReadOnlyFolder.h"
#include "SmallTmpfs.h"
#include "WindowFixture.h"
#include "controls/TFolderPathBox.h"
#include "imaging/TGKitImageEdit.h"
#include "jobs/JobTexts.h"
#include "platform/FileFailure.h"
#include "platform/FileWrites.h"
#include "settings/SettingsSteps.h"

#include <QListView>
#include <QTest>

#include <cerrno>

using namespace sc;
using namespace sc::test;
using fileops::WriteFaults;
using fileops::WriteStep;

namespace {

QStringList entries(const QString& host) {
    return QDir(host).entryList(
        QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot, QDir::Name);
}

QString writeFailure(const QString& path, int error) {
    return QStringLiteral("message:") + fileFailureText(FileAction::Write, path, error);
}

// A JPEG job beside the sources without renaming, whose end question would be answered Yes.
struct JpegWindow : Window {
    JpegWindow() {
        choose("C1_01", 0);
        dialogs.yesNoAnswers = {true};
    }
};

} // namespace

// Whichever step of a write fails, the earlier a.jpg stays byte for byte, nothing else is left,
// and the sources stay listed and on disk although Yes would have deleted them.
TEST(DiskFailure, AJpegJobStopsAtAFailedWriteKeepingTheOldOutputAndTheSources) {
    const struct {
        WriteStep step;
        int error;
    } cases[] = {{WriteStep::Create, EROFS},
                 {WriteStep::Write, ENOSPC},
                 {WriteStep::Sync, EIO}, // a.jpg replaces an older file: it is synced first
                 {WriteStep::Close, EDQUOT},
                 {WriteStep::Rename, EACCES}};
    for (const auto& c : cases) {
        JpegWindow w;
        w.dropPictures({"shots/a.bmp", "shots/b.bmp"});
        w.place("shots/a.jpg", "an earlier output");
        {
            WriteFaults faults(c.step, 1, c.error);
            w.form->CButton10Click();
        }
        const std::string what = std::to_string(int(c.step));
        EXPECT_EQ(w.dialogs.shown,
                  QStringList({"beep", writeFailure(w.folder.host("shots/a.jpg"), c.error)}))
            << what;
        EXPECT_EQ(w.bytesOf("shots/a.jpg"), "an earlier output") << what;
        EXPECT_EQ(entries(w.folder.host("shots")), QStringList({"a.bmp", "a.jpg", "b.bmp"}))
            << what;
        EXPECT_EQ(w.form->sourceList().count(), 2) << what;
    }
}

// Every output is written, but they cannot be made durable: nothing is offered for deletion.
TEST(DiskFailure, AJpegJobWhoseOutputsCannotBeSyncedAsksNothing) {
    JpegWindow w;
    w.dropPictures({"shots/a.bmp", "shots/b.bmp"});
    {
        WriteFaults faults(WriteStep::Sync, 1, EIO);
        w.form->CButton10Click();
    }
    EXPECT_EQ(w.dialogs.shown, QStringList({"beep", writeFailure(w.folder.host("shots"), EIO)}));
    EXPECT_EQ(entries(w.folder.host("shots")), QStringList({"a.bmp", "a.jpg", "b.bmp", "b.jpg"}));
}

// A source that is gone or has become a folder is no question of its format.
TEST(DiskFailure, ASourceThatVanishedOrBecameAFolderIsNamed) {
    for (const bool folder : {false, true}) {
        JpegWindow w;
        w.dropPictures({"shots/a.bmp", "shots/b.bmp"});
        const QString b = w.folder.host("shots/b.bmp");
        QFile::remove(b);
        if (folder)
            QDir().mkpath(b);
        w.form->CButton10Click();
        EXPECT_EQ(w.dialogs.shown,
                  QStringList({"beep", "message:" + fileFailureText(FileAction::Read, b,
                                                                    folder ? EISDIR : ENOENT)}));
        EXPECT_TRUE(QFileInfo::exists(w.folder.host("shots/a.jpg")));
        EXPECT_EQ(w.status(), "1/2 枚目の変換処理中です。");
    }
}

TEST(DiskFailure, AnAlbumWhosePageCannotBeWrittenKeepsTheOlderPageAndOffersNothing) {
    Window w;
    w.form->ShineSpeedButton2Click();
    w.dialogs.folderAnswers = {w.folder.host("album")};
    w.dialogs.yesNoAnswers = {true};
    w.dropPictures({"shots/a.bmp"});
    w.place("album/Index.html", "an earlier page");
    {
        WriteFaults faults(WriteStep::Rename, 3, ENOSPC); // the copy, the thumbnail, the page
        w.form->CButton10Click();
    }
    ASSERT_EQ(w.dialogs.shown.size(), 3);
    EXPECT_EQ(w.dialogs.shown.mid(1),
              QStringList({"beep", writeFailure(w.folder.host("album/Index.html"), ENOSPC)}));
    EXPECT_EQ(w.bytesOf("album/Index.html"), "an earlier page");
    EXPECT_EQ(entries(w.folder.host("album")), QStringList({"Data", "Index.html", "Thumb"}));
}

// The preview needs no file of its own: on a program folder nobody may write it shows both
// views and both sizes, and says nothing.
TEST(DiskFailure, APreviewOnAReadOnlyProgramFolderShowsBothSizesAndNoMessage) {
    Window w;
    w.dropPictures({"shots/a.bmp"});
    QCoreApplication::processEvents(); // the start's look at the folder, while it is writable
    const ReadOnlyFolder readOnly(w.folder.path());
    ASSERT_TRUE(readOnly.holds());
    auto* list = w.get<QListView>("ListBox1");
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {},
                      list->visualRect(list->model()->index(0, 0)).center());
    sc::test::settlePreview(*w.form);
    EXPECT_EQ(w.dialogs.shown, QStringList());
    EXPECT_EQ(w.get<TShadowLabel>("Label7")->text(), "1 KB  ");
    EXPECT_EQ(w.get<TShadowLabel>("Label4")->text(), QStringLiteral("1 KB\u3000"));
    EXPECT_FALSE(w.get<TGKitImageEdit>("ImageEdit2")->model().isEmpty());
}

// The old settings file stays whole and the usual message says the save failed.
TEST(DiskFailure, ASettingsSaveOnAFullDiskKeepsTheOldFile) {
    Window w;
    const QByteArray old = "[SET1]\r\nC1_02=1\r\n";
    w.place("SC_CONVERTER.ini", old);
    w.choose("C1_02", 3);
    {
        WriteFaults faults(WriteStep::Write, 1, ENOSPC);
        w.form->close();
    }
    EXPECT_EQ(w.bytesOf("SC_CONVERTER.ini"), old);
    EXPECT_FALSE(entries(w.folder.path()).join(u'|').contains(".sc-"));
    EXPECT_EQ(w.dialogs.messages(),
              QStringList("message:" + settings::saveFailedMessage(QDir::toNativeSeparators(
                                           w.folder.host("SC_CONVERTER.ini")))));
}

// A real full disk, not an injected one: the outputs are small (well under 16 KB).
TEST(DiskFailure, AJpegJobIntoAFullFileSystemFailsAndKeepsBothSourcesOnYes) {
    JpegWindow w;
    const QString out = w.folder.host("full");
    SmallTmpfs disk(out, 64 * 1024);
    if (!disk.mounted())
        GTEST_SKIP() << "mounting a tmpfs needs root";
    disk.fillLeaving(0);
    w.dropPictures({"shots/a.bmp", "shots/b.bmp"});
    w.choose("C0_01", 1);
    w.get<TFolderPathBox>("C0_02")->setPath(out);
    w.form->CButton10Click();
    EXPECT_EQ(w.dialogs.shown, QStringList({"beep", writeFailure(out + "/a.jpg", ENOSPC)}));
    EXPECT_EQ(entries(out), QStringList({".ballast"}));
    EXPECT_EQ(entries(w.folder.host("shots")), QStringList({"a.bmp", "b.bmp"}));
    EXPECT_EQ(w.form->sourceList().count(), 2);
}

// A link at an output's name is replaced by the output; the file it pointed at is not touched.
TEST(DiskFailure, LinksAtOutputNamesAreReplacedAndTheirTargetsKept) {
    Window w;
    const QString kept = w.place("elsewhere/keep.jpg", "precious");
    w.dropPictures({"shots/a.bmp"});
    ASSERT_TRUE(QFile::link(kept, w.folder.host("shots/a.jpg")));
    w.choose("C1_01", 0);
    w.form->CButton10Click();
    EXPECT_FALSE(QFileInfo(w.folder.host("shots/a.jpg")).isSymLink());
    EXPECT_EQ(QImage(w.folder.host("shots/a.jpg")).size(), QSize(8, 6));

    w.form->ShineSpeedButton2Click();
    w.dialogs.folderAnswers = {w.folder.host("album")};
    QDir().mkpath(w.folder.host("album/Thumb"));
    ASSERT_TRUE(QFile::link(kept, w.folder.host("album/Thumb/th_a.jpg")));
    ASSERT_TRUE(QFile::link(kept, w.folder.host("album/Index.html")));
    w.form->CButton10Click();
    for (const char* name : {"album/Thumb/th_a.jpg", "album/Index.html"})
        EXPECT_FALSE(QFileInfo(w.folder.host(name)).isSymLink()) << name;
    EXPECT_EQ(QImage(w.folder.host("album/Thumb/th_a.jpg")).size(), QSize(160, 120));
    EXPECT_TRUE(w.bytesOf("album/Index.html").startsWith("<"));
    EXPECT_EQ(w.bytesOf("elsewhere/keep.jpg"), "precious");
}
