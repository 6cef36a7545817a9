// The OK command and the settings save when the disk fails them: the old files stay, no
// temporary is left, the message names the file and the cause, and no end question is asked.
#include "QStringPrinting.h"
#include "ReadOnlyFolder.h"
#include "SmallTmpfs.h"
#include "WindowFixture.h"
#include "controls/TFolderPathBox.h"
#include "imaging/TGKitImageEdit.h"
#include "platform/FileWrites.h"

#include <QListView>
#include <QTest>

#include <cerrno>

using sc::controls::TFolderPathBox;
using sc::controls::TShadowLabel;

using namespace sc;
using namespace sc::test;
using fileops::WriteFaults;
using fileops::WriteStep;

namespace {

QStringList entries(const QString& host) {
    return QDir(host).entryList(
        QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot, QDir::Name);
}

// The causes as the messages word them.
const char* const kFull = "ディスクの空き容量が足りません。";
const char* const kDiskError = "ディスクの読み書きに失敗しました。";

QString writeFailure(const QString& path, const char* cause) {
    return "message:" + path + " を書き込めませんでした。\n" + QString::fromUtf8(cause) +
           "\n処理を中止します。";
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
        const char* cause;
    } cases[] = {{WriteStep::Create, EROFS, "書き込みできないドライブです。"},
                 {WriteStep::Write, ENOSPC, kFull},
                 // a.jpg replaces an older file: it is synced first
                 {WriteStep::Sync, EIO, kDiskError},
                 {WriteStep::Close, EDQUOT, "ディスクの使用量の上限に達しました。"},
                 {WriteStep::Rename, EACCES, "アクセスが拒否されました。"}};
    for (const auto& c : cases) {
        JpegWindow w;
        w.dropPictures({"shots/a.bmp", "shots/b.bmp"});
        w.place("shots/a.jpg", "an earlier output");
        {
            WriteFaults faults(c.step, 1, c.error);
            w.form->runVisiblePageJob();
        }
        const std::string what = std::to_string(int(c.step));
        EXPECT_EQ(w.dialogs.shown,
                  QStringList({"beep", writeFailure(w.folder.host("shots/a.jpg"), c.cause)}))
            << what;
        EXPECT_EQ(w.bytesOf("shots/a.jpg"), "an earlier output") << what;
        EXPECT_EQ(entries(w.folder.host("shots")), QStringList({"a.bmp", "a.jpg", "b.bmp"}))
            << what;
        EXPECT_EQ(w.form->sourceList().count(), 2) << what;
    }
}

// Every output is written, but they cannot be made durable: new outputs when the job syncs
// their folder at its end, a replaced a.jpg when its folder is synced after the rename. The
// write is named and nothing is offered for deletion.
TEST(DiskFailure, AJpegJobWhoseOutputsCannotBeSyncedAsksNothing) {
    for (const bool replacing : {false, true}) {
        JpegWindow w;
        w.dropPictures({"shots/a.bmp", "shots/b.bmp"});
        if (replacing)
            w.place("shots/a.jpg", "an earlier output");
        {
            WriteFaults faults(WriteStep::Sync, replacing ? 2 : 1, EIO);
            w.form->runVisiblePageJob();
        }
        const QString failed = w.folder.host(replacing ? "shots/a.jpg" : "shots");
        EXPECT_EQ(w.dialogs.shown, QStringList({"beep", writeFailure(failed, kDiskError)}));
        EXPECT_EQ(entries(w.folder.host("shots")),
                  QStringList({"a.bmp", "a.jpg", "b.bmp"}) +
                      (replacing ? QStringList() : QStringList("b.jpg")));
        EXPECT_EQ(w.form->sourceList().count(), 2);
    }
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
        w.form->runVisiblePageJob();
        EXPECT_EQ(w.dialogs.shown,
                  QStringList({"beep", "message:" + b + " を読み込めませんでした。\n" +
                                           (folder ? "ファイルではなくフォルダです。"
                                                   : "ファイルまたはフォルダが見つかりません。") +
                                           "\n処理を中止します。"}));
        EXPECT_TRUE(QFileInfo::exists(w.folder.host("shots/a.jpg")));
        EXPECT_EQ(w.status(), "1/2 枚目の変換処理中です。");
    }
}

TEST(DiskFailure, AnAlbumWhosePageCannotBeWrittenKeepsTheOlderPageAndOffersNothing) {
    Window w;
    w.form->chooseAlbumJob();
    w.dialogs.folderAnswers = {w.folder.host("album")};
    w.dialogs.yesNoAnswers = {true};
    w.dropPictures({"shots/a.bmp"});
    w.place("album/Index.html", "an earlier page");
    {
        WriteFaults faults(WriteStep::Rename, 3, ENOSPC); // the copy, the thumbnail, the page
        w.form->runVisiblePageJob();
    }
    ASSERT_EQ(w.dialogs.shown.size(), 3);
    EXPECT_EQ(w.dialogs.shown.mid(1),
              QStringList({"beep", writeFailure(w.folder.host("album/Index.html"), kFull)}));
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
    EXPECT_EQ(
        w.dialogs.messages(),
        QStringList("message:設定ファイルに保存できませんでした。今回の設定は保存されません。\n" +
                    w.folder.host("SC_CONVERTER.ini")));
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
    w.form->runVisiblePageJob();
    EXPECT_EQ(w.dialogs.shown, QStringList({"beep", writeFailure(out + "/a.jpg", kFull)}));
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
    w.form->runVisiblePageJob();
    EXPECT_FALSE(QFileInfo(w.folder.host("shots/a.jpg")).isSymLink());
    EXPECT_EQ(QImage(w.folder.host("shots/a.jpg")).size(), QSize(8, 6));

    w.form->chooseAlbumJob();
    w.dialogs.folderAnswers = {w.folder.host("album")};
    QDir().mkpath(w.folder.host("album/Thumb"));
    ASSERT_TRUE(QFile::link(kept, w.folder.host("album/Thumb/th_a.jpg")));
    ASSERT_TRUE(QFile::link(kept, w.folder.host("album/Index.html")));
    w.form->runVisiblePageJob();
    for (const char* name : {"album/Thumb/th_a.jpg", "album/Index.html"})
        EXPECT_FALSE(QFileInfo(w.folder.host(name)).isSymLink()) << name;
    EXPECT_EQ(QImage(w.folder.host("album/Thumb/th_a.jpg")).size(), QSize(160, 120));
    EXPECT_TRUE(w.bytesOf("album/Index.html").startsWith("<"));
    EXPECT_EQ(w.bytesOf("elsewhere/keep.jpg"), "precious");
}
