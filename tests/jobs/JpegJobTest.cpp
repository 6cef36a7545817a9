#include "JobFixture.h"
#include "ReadOnlyFolder.h"
#include "SmallTmpfs.h"

#include <QFile>
#include <QFileInfo>
#include <QUrl>
#include <filesystem>

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

using namespace sc;
using namespace sc::test;
using jobs::JpegJobSettings;

namespace {
const QDateTime kTaken(QDate(2004, 1, 2), QTime(9, 5, 6));
const QString kFailure =
    QStringLiteral("message:非対応フォーマットが含まれていました。処理を中止します。");
const QString kQuestion =
    QStringLiteral("ask:処理が終了しました。\n変換元のBMPファイルを削除してよろしいですか？");

QByteArray bytesOf(const QString& path) {
    QFile f(winpath::hostPath(path));
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}
} // namespace

TEST(JpegJobNames, OutputAndRenamedPathsFollowTheDestinationAndRenamingChoices) {
    JpegJobSettings s;
    s.destination = 0;
    EXPECT_EQ(jobs::outputPathFor("C:\\shots\\a.BMP", s), "C:\\shots\\a.jpg");
    s.destination = 1;
    s.destinationFolder = "D:/out";
    EXPECT_EQ(jobs::outputPathFor("C:\\shots\\a.bmp", s), "D:/out/a.jpg");
    s.destination = 2;
    EXPECT_FALSE(jobs::outputPathFor("C:\\shots\\a.bmp", s).has_value());

    const QDateTime t(QDate(2004, 3, 15), QTime(14, 25, 8));
    s.destination = 0;
    s.renaming = 1;
    EXPECT_EQ(jobs::renamedPathFor("C:\\shots\\a.bmp", t, s), "C:\\shots/sc_20040315_1425_08.jpg");
    s.renaming = 2;
    EXPECT_EQ(jobs::renamedPathFor("C:\\shots\\a.bmp", t, s), "C:\\shots/sc_20040000_1425_08.jpg");
    s.destination = 1;
    EXPECT_EQ(jobs::renamedPathFor("C:\\shots\\a.bmp", t, s), "D:/out/sc_20040000_1425_08.jpg");
    s.renaming = 0;
    EXPECT_FALSE(jobs::renamedPathFor("C:\\shots\\a.bmp", t, s).has_value());
    s.renaming = 2;
    // Neither the characters a file name cannot hold nor a control character (a tab or a line
    // break pasted into the box, the lowest and highest of them).
    for (const char* bad :
         {"a/b", "a\\b", "x:y", "q?", "*", "\"", "<", ">", "|", "a\tb", "a\nb", "\x01", "\x1f"}) {
        s.userText = QString::fromLatin1(bad);
        EXPECT_FALSE(jobs::renamedPathFor("C:\\shots\\a.bmp", t, s).has_value()) << bad;
    }
    s.userText = QStringLiteral("旅 行~!");
    EXPECT_EQ(jobs::renamedPathFor("C:\\shots\\a.bmp", t, s),
              QStringLiteral("D:/out/sc_旅 行~!_1425_08.jpg"));
}

TEST(JpegJobNames, QualityItemsMapToTheFourSaveLevels) {
    EXPECT_EQ(jobs::saveQualityFor(0), 1);
    EXPECT_EQ(jobs::saveQualityFor(1), 4);
    EXPECT_EQ(jobs::saveQualityFor(2), 7);
    EXPECT_EQ(jobs::saveQualityFor(3), 10);
    EXPECT_FALSE(jobs::saveQualityFor(-1).has_value());
    EXPECT_FALSE(jobs::saveQualityFor(4).has_value());
}

// Every case runs with the pictures prepared on the window thread and by each count of workers:
// the files, texts and questions must not depend on it.
class JpegJob : public JobFixture, public ::testing::WithParamInterface<int> {
protected:
    JpegJob() { workers = GetParam(); }

    // Settings that write into D:/out, made here, with the given renaming.
    JpegJobSettings intoOut(int renaming) {
        QDir().mkpath(folder.host("drive_d/out"));
        JpegJobSettings s = plain(renaming);
        s.destination = 1;
        s.destinationFolder = "D:/out";
        return s;
    }
};
INSTANTIATE_TEST_SUITE_P(EveryWorkerCount, JpegJob,
                         ::testing::Values(jobs::kOnWindowThread, 1, 2, 3, 4, 8),
                         [](const auto& info) { return "workers" + std::to_string(info.param); });

TEST_P(JpegJob, AnEmptyListChangesNothingAndAsksNothing) {
    image.setSaveQuality(3);
    EXPECT_TRUE(run(plain(1)));
    EXPECT_TRUE(dialogs.shown.isEmpty());
    EXPECT_TRUE(status.texts.isEmpty());
    EXPECT_EQ(image.SaveQuality(), 7);
    EXPECT_EQ(image.SaveMediaFormat(), 103);
}

TEST_P(JpegJob, ShowsProgressAfterEachPictureThenTheRenamePassThenTheIdlePrompt) {
    for (int i = 0; i < 50; ++i)
        add(picture(QStringLiteral("C:\\many\\p%1.bmp").arg(i, 2, 10, QChar(u'0'))));
    EXPECT_TRUE(run(plain(0)));
    ASSERT_EQ(status.texts.size(), 52);
    EXPECT_EQ(status.texts[0], "1/50 枚目の変換処理中です。");
    EXPECT_EQ(status.texts[49], "50/50 枚目の変換処理中です。");
    EXPECT_EQ(status.texts[50], "日付リネーム処理中です。");
    EXPECT_EQ(status.texts[51], "<idle>");
    EXPECT_EQ(status.windowRepaints, 1);
    EXPECT_EQ(dialogs.shown, QStringList({"beep", kQuestion}));
    EXPECT_TRUE(image.isEmpty());
}

TEST_P(JpegJob, AnUnreadablePictureStopsTheJobWithTheFailureMessage) {
    for (int i = 1; i <= 5; ++i) {
        const QString path = QStringLiteral("C:\\five\\%1.bmp").arg(i);
        if (i == 3)
            folder.writeFile("drive_c/five/3.bmp", "not a picture");
        else
            picture(path);
        add(path);
    }
    EXPECT_FALSE(run(plain(1)));
    EXPECT_TRUE(exists("C:/five/1.jpg"));
    EXPECT_TRUE(exists("C:/five/2.jpg"));
    EXPECT_FALSE(exists("C:/five/4.jpg"));
    EXPECT_EQ(dialogs.shown, QStringList({"beep", kFailure}));
    EXPECT_EQ(status.last(), "2/5 枚目の変換処理中です。");
}

TEST_P(JpegJob, ABitmapBecomesAJpegBesideItWithItsTime) {
    add(picture("C:\\shots\\a.bmp", QDateTime(QDate(2004, 1, 2), QTime(9, 5, 7))));
    const QByteArray before = bytesOf("C:/shots/a.bmp");
    EXPECT_TRUE(run(plain(0)));
    ASSERT_TRUE(exists("C:/shots/a.jpg"));
    EXPECT_TRUE(bytesOf("C:/shots/a.jpg").startsWith("\xFF\xD8"));
    EXPECT_EQ(timeOf("C:/shots/a.jpg"), kTaken);
    EXPECT_EQ(bytesOf("C:/shots/a.bmp"), before);
}

TEST_P(JpegJob, RenamesAfterTheSourceTimeAndOnYesDeletesTheSources) {
    add(picture("C:\\shots\\a.bmp"));
    dialogs.yesNoAnswers = {true};
    EXPECT_TRUE(run(plain(1)));
    EXPECT_TRUE(exists("C:/shots/sc_20040102_0905_06.jpg"));
    EXPECT_FALSE(exists("C:/shots/a.jpg"));
    EXPECT_FALSE(exists("C:/shots/a.bmp"));
    EXPECT_EQ(clears, 1);
}

TEST_P(JpegJob, WritesIntoTheChosenFolderAndRenamesThere) {
    add(picture("C:\\shots\\a.bmp"));
    const JpegJobSettings s = intoOut(1);
    EXPECT_TRUE(run(s));
    EXPECT_TRUE(exists("D:/out/sc_20040102_0905_06.jpg"));
    EXPECT_FALSE(exists("D:/out/a.jpg"));
    EXPECT_FALSE(exists("C:/shots/a.jpg"));
}

TEST_P(JpegJob, AMissingDestinationFolderIsAFailureNotASilentLoss) {
    add(picture("C:\\shots\\a.bmp"));
    JpegJobSettings s = plain(0);
    s.destination = 1;
    s.destinationFolder = "D:/nowhere";
    EXPECT_FALSE(run(s));
    EXPECT_FALSE(fileops::isFolder("D:/nowhere"));
    EXPECT_TRUE(exists("C:/shots/a.bmp"));
}

TEST_P(JpegJob, AJpegReencodedInPlaceIsNeverDeleted) {
    add(picture("C:\\shots\\a.jpg", kTaken, QColor(10, 200, 30)));
    dialogs.yesNoAnswers = {true};
    EXPECT_TRUE(run(plain(0)));
    ASSERT_TRUE(exists("C:/shots/a.jpg"));
    GKitImage check;
    EXPECT_NO_THROW(check.Load("C:/shots/a.jpg"));
    EXPECT_EQ(clears, 1);
}

TEST_P(JpegJob, ARenameNeverReplacesAnExistingFile) {
    add(picture("C:\\shots\\a.bmp", kTaken, QColor(10, 200, 30)));
    add(picture("C:\\shots\\b.bmp", kTaken, QColor(200, 10, 30))); // the same two-second step
    dialogs.yesNoAnswers = {true};
    EXPECT_TRUE(run(plain(1)));
    EXPECT_TRUE(exists("C:/shots/sc_20040102_0905_06.jpg"));
    EXPECT_TRUE(exists("C:/shots/b.jpg")); // its rename failed silently
    EXPECT_FALSE(exists("C:/shots/a.jpg"));
    EXPECT_EQ(dialogs.shown, QStringList({"beep", kQuestion}));
    GKitImage first;
    first.Load("C:/shots/sc_20040102_0905_06.jpg");
    EXPECT_GT(qGreen(first.image().pixel(4, 4)), 150);
    // Both pictures live on, so both sources went.
    EXPECT_FALSE(exists("C:/shots/a.bmp"));
    EXPECT_FALSE(exists("C:/shots/b.bmp"));
}

TEST_P(JpegJob, AJpegReencodedInPlaceKeepsTheTimeItHadBeforeItsConversion) {
    add(picture("C:\\shots\\a.jpg", kTaken));
    EXPECT_TRUE(run(plain(1)));
    EXPECT_FALSE(exists("C:/shots/a.jpg"));
    EXPECT_EQ(timeOf("C:/shots/sc_20040102_0905_06.jpg"), kTaken);
}

TEST_P(JpegJob, SameNamedSourcesIntoOneFolderNeverLoseTheOnlyCopy) {
    add(picture("C:\\one\\a.bmp", QDateTime(QDate(2004, 1, 2), QTime(9, 5, 6)), Qt::red));
    add(picture("C:\\two\\a.bmp", QDateTime(QDate(2005, 6, 7), QTime(8, 9, 10)), Qt::blue));
    const JpegJobSettings s = intoOut(1);
    dialogs.yesNoAnswers = {true};
    EXPECT_TRUE(run(s));
    // The later picture replaced the earlier output, which took the earlier source's name.
    EXPECT_TRUE(exists("D:/out/sc_20040102_0905_06.jpg"));
    EXPECT_FALSE(exists("D:/out/sc_20050607_0809_10.jpg"));
    EXPECT_TRUE(exists("C:/one/a.bmp")); // nothing of it was kept: it stays, and is named
    EXPECT_FALSE(exists("C:/two/a.bmp"));
    EXPECT_EQ(dialogs.messages(),
              QStringList(QStringLiteral("message:次の変換元ファイルは削除しませんでした。\n") +
                          QStringLiteral(
                              "\nC:\\one\\a.bmp（変換後のファイルが別の画像で上書きされました）")));
}

// Names that differ only in letter case are one file, as on Windows: the later picture is
// written over the earlier output, found under its name of this job, so the earlier source
// lives on in nothing and stays.
TEST_P(JpegJob, NamesThatDifferOnlyInCaseAreOneOutputAndTheEarlierSourceStays) {
    add(picture("C:\\one\\A.bmp", kTaken, Qt::red));
    add(picture("C:\\two\\a.bmp", kTaken, Qt::blue));
    const JpegJobSettings s = intoOut(0);
    dialogs.yesNoAnswers = {true};
    EXPECT_TRUE(run(s));
    EXPECT_EQ(QDir(folder.host("drive_d/out")).entryList(QDir::Files), QStringList{"A.jpg"});
    GKitImage written;
    written.Load("D:/out/a.JPG");
    EXPECT_GT(qBlue(written.image().pixel(4, 4)), 150);
    EXPECT_TRUE(exists("C:/one/A.bmp"));
    EXPECT_FALSE(exists("C:/two/a.bmp"));
}

// A file name holds 255 bytes, whatever its characters: an output name of 255 bytes is made, one
// of 256 (a 254-byte source with a one-letter extension, or 88 Japanese characters) is named
// before anything is written, instead of failing after the pictures before it.
TEST_P(JpegJob, OutputNamesOfUpTo255BytesAreMadeAndLongerOnesStopTheJobBeforeAnyWrite) {
    const QString fits = QString(251, u'n'), fitsJapanese = QString(83, u'あ') + "nn";
    add(picture("C:\\shots\\" + fits + ".bmp"));
    add(picture("C:\\shots\\" + fitsJapanese + ".bmp"));
    EXPECT_TRUE(run(plain(0)));
    EXPECT_TRUE(exists("C:/shots/" + fits + ".jpg"));
    EXPECT_TRUE(exists("C:/shots/" + fitsJapanese + ".jpg"));
    EXPECT_EQ(dialogs.shown, QStringList({"beep", kQuestion}));

    sources.clear();
    dialogs.shown.clear();
    const QString tooLong = QString(252, u'n'), tooLongJapanese = QString(84, u'あ');
    add(picture("C:\\shots\\a.bmp"));
    add(picture("C:\\shots\\" + tooLong + ".b"));
    add(picture("C:\\shots\\" + tooLongJapanese + ".b"));
    EXPECT_TRUE(run(plain(0)));
    EXPECT_FALSE(exists("C:/shots/a.jpg"));
    EXPECT_EQ(dialogs.shown,
              QStringList("message:出力先のファイル名が長すぎて作れないため、何も書き込まずに処理を"
                          "中止しました。\n\nC:\\shots\\" +
                          tooLong + ".b → C:\\shots\\" + tooLong + ".jpg\nC:\\shots\\" +
                          tooLongJapanese + ".b → C:\\shots\\" + tooLongJapanese + ".jpg"));
}

// A picture the user may read but not write has its time like any other: a file without write
// permission, and a picture on a read-only mount (a locked card; as root, whom permissions do
// not stop, the only real case). Each output is dated and named after its picture, silently.
TEST_P(JpegJob, WriteProtectedSourcesKeepTheirTimesAndDateNames) {
    const QDateTime onCard(QDate(2004, 3, 15), QTime(14, 25, 8));
    add(picture("C:\\shots\\a.bmp"));
    ASSERT_TRUE(fileops::setReadOnly("C:/shots/a.bmp", true));
    add(picture("C:\\card\\b.bmp", onCard));
    const ReadOnlyFolder card(folder.host("drive_c/card"));
    ASSERT_TRUE(card.holds());
    QDir().mkpath(folder.host("drive_c/out"));
    JpegJobSettings s = plain(1);
    s.destination = 1;
    s.destinationFolder = "C:/out";
    EXPECT_TRUE(run(s));
    EXPECT_EQ(timeOf("C:/out/sc_20040102_0905_06.jpg"), kTaken);
    EXPECT_EQ(timeOf("C:/out/sc_20040315_1425_08.jpg"), onCard);
    EXPECT_FALSE(exists("C:/out/a.jpg"));
    EXPECT_FALSE(exists("C:/out/b.jpg"));
    EXPECT_EQ(dialogs.shown, QStringList({"beep", kQuestion}));
}

// A picture another program holds locked cannot be opened to read its time: it is said, and
// its output keeps its plain name and the time it was written.
TEST_P(JpegJob, ASourceHeldLockedByAnotherProgramIsNamedAndKeepsItsOutputPlain) {
    add(picture("C:\\shots\\a.bmp"));
    const int holder = ::open(QFile::encodeName(folder.host("drive_c/shots/a.bmp")).constData(),
                              O_RDONLY | O_CLOEXEC);
    ASSERT_EQ(::flock(holder, LOCK_EX | LOCK_NB), 0);
    EXPECT_TRUE(run(plain(1)));
    ::close(holder);
    EXPECT_TRUE(exists("C:/shots/a.jpg"));
    EXPECT_NE(timeOf("C:/shots/a.jpg"), kTaken);
    EXPECT_EQ(dialogs.shown,
              QStringList({QStringLiteral(
                               "message:C:\\shots\\a.bmp からはタイムスタンプが読み込めません。"),
                           "beep", kQuestion}));
}

TEST_P(JpegJob, NothingWrittenMeansNothingDeleted) {
    add(picture("C:\\shots\\a.bmp"));
    JpegJobSettings s = plain(1);
    s.destination = -1; // as a damaged settings file can leave it
    dialogs.yesNoAnswers = {true};
    EXPECT_TRUE(run(s));
    EXPECT_TRUE(exists("C:/shots/a.bmp"));
    EXPECT_FALSE(exists("C:/shots/a.jpg"));
    EXPECT_EQ(clears, 1);
    EXPECT_EQ(dialogs.messages(),
              QStringList("message:次の変換元ファイルは削除しませんでした。\n"
                          "\nC:\\shots\\a.bmp（変換後のファイルがありません）"));
}

// A source on a read-only disk can be neither moved to the trash nor deleted: after Yes it is
// named as kept (its time is read like any other's).
TEST_P(JpegJob, ASourceThatCannotBeRemovedIsNamedAsKept) {
    SmallTmpfs disk(folder.host("drive_e"), 1 << 20);
    if (!disk.mounted())
        GTEST_SKIP() << "mounting a tmpfs needs root";
    add(picture("E:\\s\\a.bmp"));
    ASSERT_TRUE(disk.makeReadOnly());
    const JpegJobSettings s = intoOut(0);
    dialogs.yesNoAnswers = {true};
    EXPECT_TRUE(run(s));
    EXPECT_TRUE(exists("E:/s/a.bmp"));
    EXPECT_TRUE(exists("D:/out/a.jpg"));
    EXPECT_EQ(dialogs.messages(), QStringList("message:次の変換元ファイルは削除しませんでした。\n"
                                              "\nE:\\s\\a.bmp（削除できませんでした）"));
    EXPECT_EQ(clears, 1);
}

TEST_P(JpegJob, AUserTextThatIsNoFileNameLeavesEveryOutputInPlace) {
    add(picture("C:\\shots\\a.bmp"));
    JpegJobSettings s = plain(2);
    s.userText = "sub/dir";
    EXPECT_TRUE(run(s));
    EXPECT_TRUE(exists("C:/shots/a.jpg"));
    EXPECT_FALSE(fileops::isFolder("C:/shots/sc_sub"));
}

TEST_P(JpegJob, TuningChangesThePicturesOnlyWhenAValueIsSet) {
    add(picture("C:\\t\\a.bmp", kTaken, QColor(100, 100, 100)));
    JpegJobSettings s = plain(0);
    s.qualityIndex = 3;
    s.brightness = 50;
    EXPECT_TRUE(run(s));
    GKitImage out;
    out.Load("C:/t/a.jpg");
    EXPECT_GT(qRed(out.image().pixel(8, 6)), 200);
}

TEST_P(JpegJob, ASourceTimeBeforeTheFileDateRangeEndsTheJobInItsSecondPass) {
    add(picture("C:\\old\\a.bmp"));
    add(picture("C:\\old\\b.bmp", QDateTime(QDate(1979, 6, 1), QTime(12, 0))));
    add(picture("C:\\old\\c.bmp"));
    dialogs.yesNoAnswers = {true};
    EXPECT_FALSE(run(plain(1)));
    EXPECT_TRUE(exists("C:/old/sc_20040102_0905_06.jpg")); // renamed before the failure
    EXPECT_TRUE(exists("C:/old/b.jpg"));
    EXPECT_TRUE(exists("C:/old/c.jpg"));
    EXPECT_EQ(status.last(), "日付リネーム処理中です。");
    EXPECT_EQ(dialogs.shown, QStringList({"beep", kFailure})); // no delete question
    EXPECT_TRUE(exists("C:/old/a.bmp"));
}

namespace {
// Replaces the bytes of a file in place (same file, same inode).
void overwrite(const QString& path, qint64 at, const QByteArray& bytes) {
    QFile f(winpath::hostPath(path));
    ASSERT_TRUE(f.open(QIODevice::ReadWrite));
    f.seek(at);
    f.write(bytes);
}
qint64 sizeOf(const QString& path) {
    return QFileInfo(winpath::hostPath(path)).size();
}
QString keptLine(const QString& source, const char* reason) {
    return u'\n' + source + QStringLiteral("（") + QString::fromUtf8(reason) + QStringLiteral("）");
}
} // namespace

// b.bmp is a second name of a.bmp (a hard link): trashing one changes the other's change time.
TEST_P(JpegJob, YesMovesEachSourceToTheTrashWithItsRecord) {
    add(picture("C:\\shots\\a.bmp"));
    const QByteArray before = bytesOf("C:/shots/a.bmp");
    std::filesystem::create_hard_link(winpath::hostPath("C:/shots/a.bmp").toStdString(),
                                      winpath::hostPath("C:/shots/b.bmp").toStdString());
    add("C:\\shots\\b.bmp");
    dialogs.yesNoAnswers = {true};
    EXPECT_TRUE(run(plain(0)));
    EXPECT_FALSE(exists("C:/shots/a.bmp"));
    EXPECT_FALSE(exists("C:/shots/b.bmp"));
    EXPECT_TRUE(QFileInfo::exists(trash.files() + "/b.bmp"));
    QFile trashed(trash.files() + "/a.bmp");
    ASSERT_TRUE(trashed.open(QIODevice::ReadOnly));
    EXPECT_EQ(trashed.readAll(), before);
    QFile record(trash.info() + "/a.bmp.trashinfo");
    ASSERT_TRUE(record.open(QIODevice::ReadOnly));
    const QByteArray info = record.readAll();
    EXPECT_TRUE(info.startsWith("[Trash Info]\n")) << info.constData();
    EXPECT_TRUE(info.contains(
        "Path=" + QUrl::toPercentEncoding(winpath::hostPath("C:/shots/a.bmp"), "/") + "\n"))
        << info.constData();
    EXPECT_EQ(dialogs.messages(), QStringList());
}

// Between the end of the job and the answer, another program may change the files.
TEST_P(JpegJob, ASourceChangedBeforeTheAnswerIsKeptAndNamed) {
    for (const char* name : {"a", "b", "c", "d"})
        add(picture(QStringLiteral("C:\\s\\%1.bmp").arg(QLatin1String(name))));
    dialogs.yesNoAnswers = {true};
    dialogs.whileAsking = [&] {
        // b: another file under the same name, of the same size and time.
        const QString b = winpath::hostPath("C:/s/b.bmp");
        ASSERT_TRUE(QFile::copy(b, b + ".new"));
        ASSERT_TRUE(QFile::remove(b));
        ASSERT_TRUE(QFile::rename(b + ".new", b));
        fileops::setLastWriteTime("C:/s/b.bmp", kTaken);
        // c: the same file, written again in place; d: the same file, only its time changed.
        overwrite("C:/s/c.bmp", 60, "edited");
        fileops::setLastWriteTime("C:/s/c.bmp", kTaken);
        fileops::setLastWriteTime("C:/s/d.bmp", kTaken.addSecs(2));
    };
    EXPECT_TRUE(run(plain(0)));
    EXPECT_FALSE(exists("C:/s/a.bmp"));
    for (const char* name : {"b", "c", "d"})
        EXPECT_TRUE(exists(QStringLiteral("C:/s/%1.bmp").arg(QLatin1String(name)))) << name;
    const char* changed = "変換元ファイルが変換後に変更されました";
    EXPECT_EQ(dialogs.messages(),
              QStringList(QStringLiteral("message:次の変換元ファイルは削除しませんでした。\n") +
                          keptLine("C:\\s\\b.bmp", changed) + keptLine("C:\\s\\c.bmp", changed) +
                          keptLine("C:\\s\\d.bmp", changed)));
    EXPECT_EQ(clears, 1);
}

TEST_P(JpegJob, AnOutputCutShortDamagedOrGoneBeforeTheAnswerKeepsItsSource) {
    for (const char* name : {"a", "b", "c", "d", "e"})
        add(picture(QStringLiteral("C:\\s\\%1.bmp").arg(QLatin1String(name))));
    dialogs.yesNoAnswers = {true};
    dialogs.whileAsking = [&] {
        QFile::resize(winpath::hostPath("C:/s/a.jpg"), sizeOf("C:/s/a.jpg") - 1);
        // b: as long as written, but its compressed data ends in zeros, without its end marker.
        overwrite("C:/s/b.jpg", sizeOf("C:/s/b.jpg") - 8, QByteArray(8, '\0'));
        // c: as long as written, no JPEG at all.
        overwrite("C:/s/c.jpg", 0, QByteArray(sizeOf("C:/s/c.jpg"), 'x'));
        QFile::remove(winpath::hostPath("C:/s/d.jpg"));
    };
    EXPECT_TRUE(run(plain(0)));
    for (const char* name : {"a", "b", "c", "d"})
        EXPECT_TRUE(exists(QStringLiteral("C:/s/%1.bmp").arg(QLatin1String(name)))) << name;
    EXPECT_FALSE(exists("C:/s/e.bmp"));
    const char* damaged = "変換後のファイルが書き込んだ内容と違います";
    EXPECT_EQ(dialogs.messages(),
              QStringList(QStringLiteral("message:次の変換元ファイルは削除しませんでした。\n") +
                          keptLine("C:\\s\\a.bmp", damaged) + keptLine("C:\\s\\b.bmp", damaged) +
                          keptLine("C:\\s\\c.bmp", damaged) +
                          keptLine("C:\\s\\d.bmp", "変換後のファイルが見つかりません")));
}
