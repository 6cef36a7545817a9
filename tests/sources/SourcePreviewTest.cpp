// The preview run on plain picture models: what it shows, what it writes, how it fails, which
// runs are shown when changes follow each other, and when a picture is read again.
#include "PeakMemory.h"
#include "PreviewFixture.h"
#include "QStringPrinting.h"

#include <QBuffer>
#include <QCoreApplication>
#include <QFileInfo>
#include <QTest>

using sc::sources::TSourcePreview;

using sc::test::PreviewFixture;

namespace {

QImage grey(int level, int w = 64, int h = 48) {
    QImage image(w, h, QImage::Format_RGB32);
    image.fill(qRgb(level, level, level));
    return image;
}

// The bytes a model writes for `path` at save quality `level`, untuned.
QByteArray encodedAt(const QString& path, int level, const QString& target) {
    sc::GKitImage m;
    m.Load(path);
    m.setSaveQuality(level);
    m.Save(target);
    QFile file(target);
    file.open(QIODevice::ReadOnly);
    return file.readAll();
}

} // namespace

TEST(SourcePreview, ShowsTheSourceUntunedAndBothSizesAndWritesNoFile) {
    PreviewFixture f;
    f.settings.tuning.brightness = 40;
    f.selected = f.source("small.bmp", grey(90, 8, 6), 999);
    f.run();
    EXPECT_EQ(f.beforeText, "1 KB  ");
    ASSERT_EQ(f.encoded.size(), 1);
    EXPECT_EQ(f.afterText, TSourcePreview::afterSizeText(f.encoded[0].size()));
    EXPECT_EQ(f.before.image().pixel(5, 5), qRgb(90, 90, 90)); // the tuning is undone
    EXPECT_GT(qRed(f.after.image().pixel(5, 5)), 180);         // and encoded: 90 + 102
    EXPECT_EQ(QDir(f.folder.path()).entryList(QDir::Files | QDir::Hidden),
              QStringList{"small.bmp"});
    EXPECT_TRUE(f.dialogs.shown.isEmpty());

    f.selected = f.source("large.bmp", grey(90, 8, 6), 12'345);
    f.run();
    EXPECT_EQ(f.beforeText, "12 KB  ");
    EXPECT_EQ(TSourcePreview::afterSizeText(12'999), QStringLiteral("12 KB\u3000"));
    EXPECT_EQ(TSourcePreview::afterSizeText(-1), QStringLiteral("1 KB\u3000"));
}

TEST(SourcePreview, EncodesAtTheJobsLevelsEvenWithoutTuning) {
    PreviewFixture f;
    f.selected = f.source("noisy.bmp", sc::test::stripes());
    const QString reference = f.folder.host("reference.jpg");
    for (const auto& [item, level] : {std::pair{0, 1}, {3, 10}}) {
        f.settings.qualityIndex = item;
        f.encoded.clear();
        f.run();
        ASSERT_EQ(f.encoded.size(), 1);
        EXPECT_EQ(f.encoded[0], encodedAt(*f.selected, level, reference)) << "item " << item;
    }
    f.settings.qualityIndex = 0;
    f.run();
    EXPECT_EQ(f.before.image(), sc::test::stripes());
    EXPECT_NE(f.after.image(), f.before.image()); // the encoding alone shows
}

TEST(SourcePreview, AFailureBeepsAndLeavesTheViewsEmptyAndTheLabelsAsTheRunLeftThem) {
    PreviewFixture f;
    f.selected = f.source("good.bmp", grey(90, 8, 6), 4'000);
    f.run();
    const QString afterText = f.afterText;
    f.selected = f.folder.writeFile("bad.jpg", "not a picture at all");
    f.run();
    EXPECT_EQ(
        f.dialogs.shown,
        QStringList(
            {"beep",
             QStringLiteral("message:非対応フォーマットが含まれていました。処理を中止します。")}));
    EXPECT_TRUE(f.before.isEmpty());
    EXPECT_TRUE(f.after.isEmpty());
    EXPECT_EQ(f.beforeText, "4 KB  ");
    EXPECT_EQ(f.afterText, afterText);

    // Nothing selected: both views emptied, the labels kept, nothing said.
    f.dialogs.shown.clear();
    f.selected = f.source("good.bmp", grey(90, 8, 6), 4'000);
    f.run();
    f.selected.reset();
    f.run();
    EXPECT_TRUE(f.before.isEmpty() && f.after.isEmpty());
    EXPECT_EQ(f.beforeText, "4 KB  ");
    EXPECT_TRUE(f.dialogs.shown.isEmpty());

    // While the window is hidden a run does nothing at all.
    f.visible = false;
    f.selected = f.source("other.bmp", grey(90, 8, 6), 7'000);
    f.run();
    EXPECT_EQ(f.runs, 4);
    EXPECT_EQ(f.beforeText, "4 KB  ");
}

// Changes that follow each other faster than the picture work: only the newest values are
// shown, once, and a failure of a run made stale is never said.
TEST(SourcePreview, OnlyTheNewestRunIsShownAndAStaleFailureIsNeverSaid) {
    PreviewFixture f;
    f.selected = f.source("grey.jpg", grey(100, 1600, 1200));
    for (int b = 5; b <= 50; b += 5) {
        f.settings.tuning.brightness = -b * 2;
        f.preview.run(); // returns at once: nothing is shown before the window thread is free
        EXPECT_EQ(f.encoded.size(), 0);
    }
    f.settle();
    ASSERT_EQ(f.encoded.size(), 1);
    EXPECT_LT(qRed(f.after.image().pixel(5, 5)), 8); // brightness -100, the last change
    EXPECT_EQ(f.afterText, TSourcePreview::afterSizeText(f.encoded[0].size()));

    f.selected = f.folder.writeFile("bad.jpg", "not a picture at all");
    f.preview.run();
    f.selected = f.source("other.bmp", grey(30));
    f.settings.tuning.brightness = 0;
    f.run();
    EXPECT_TRUE(f.dialogs.shown.isEmpty());
    EXPECT_NEAR(qRed(f.after.image().pixel(5, 5)), 30, 2);
    EXPECT_EQ(f.before.image().pixel(5, 5), qRgb(30, 30, 30));

    // Runs asked for during a batch become one at its end.
    const int runs = f.runs;
    f.preview.beginBatch();
    for (int i = 0; i < 9; ++i)
        f.preview.run();
    EXPECT_EQ(f.runs, runs);
    f.preview.endBatch();
    f.settle();
    EXPECT_EQ(f.runs, runs + 1);
    // A batch in which nothing asked for a preview runs none.
    f.preview.beginBatch();
    f.preview.endBatch();
    f.settle();
    EXPECT_EQ(f.runs, runs + 1);
}

// While a job or a dialog runs the views stay as they are: a run asked for then, and an outcome
// that arrives then, wait for its end; a job's start drops the run under way and the values
// are previewed afresh after the job.
TEST(SourcePreview, AJobOrADialogHoldsTheViewsUntilItEnds) {
    PreviewFixture f;
    f.selected = f.source("grey.bmp", grey(100));
    f.run();
    const int runs = f.runs;
    f.idle = false;
    f.settings.tuning.brightness = 100;
    f.preview.run();
    QTest::qWait(250);
    EXPECT_EQ(f.runs, runs);
    EXPECT_NEAR(qRed(f.after.image().pixel(5, 5)), 100, 2);
    f.idle = true;
    f.settle();
    EXPECT_EQ(f.runs, runs + 1);
    EXPECT_EQ(qRed(f.after.image().pixel(5, 5)), 255);

    f.settings.tuning.brightness = -100;
    f.preview.run(); // asked while idle, its outcome arrives during the job
    f.idle = false;
    QTest::qWait(250);
    EXPECT_EQ(qRed(f.after.image().pixel(5, 5)), 255);
    f.idle = true;
    f.settle();
    EXPECT_LT(qRed(f.after.image().pixel(5, 5)), 3);

    f.settings.tuning.brightness = 0;
    f.preview.run();
    f.idle = false;
    f.preview.drop(); // the job starts
    QTest::qWait(250);
    EXPECT_LT(qRed(f.after.image().pixel(5, 5)), 3);
    EXPECT_FALSE(f.preview.settled());
    f.idle = true;
    f.settle();
    EXPECT_NEAR(qRed(f.after.image().pixel(5, 5)), 100, 2);
    EXPECT_TRUE(f.dialogs.shown.isEmpty());
}

// The picture is read once while its file stays the same; a file replaced under its name, or
// rewritten in place with its size and write time kept, is read again.
TEST(SourcePreview, AChangeReusesThePictureAndAFileChangedOnDiskIsLoadedAnew) {
    PreviewFixture f;
    f.selected = f.source("shot.bmp", grey(100));
    f.run();
    f.settings.tuning.brightness = 20;
    f.run();
    f.settings.qualityIndex = 3;
    f.run();
    EXPECT_EQ(f.preview.picturesLoaded(), 1);
    EXPECT_NEAR(qRed(f.after.image().pixel(5, 5)), 151, 2); // 100 + 51

    // Replaced: written beside it and renamed over it.
    const QString beside = f.source("new.bmp", grey(200));
    ASSERT_TRUE(QFile::remove(*f.selected) && QFile::rename(beside, *f.selected));
    f.settings.tuning.brightness = 0;
    f.run();
    EXPECT_EQ(f.before.image().pixel(5, 5), qRgb(200, 200, 200));
    EXPECT_NEAR(qRed(f.after.image().pixel(5, 5)), 200, 2);

    // Rewritten in place: the same size, the write time set back.
    const QDateTime written = QFileInfo(*f.selected).lastModified();
    QByteArray bytes;
    {
        QBuffer buffer(&bytes);
        buffer.open(QIODevice::WriteOnly);
        ASSERT_TRUE(grey(60).save(&buffer, "BMP"));
    }
    QFile file(*f.selected);
    ASSERT_TRUE(file.open(QIODevice::ReadWrite));
    ASSERT_EQ(file.size(), bytes.size());
    ASSERT_EQ(file.write(bytes), bytes.size());
    file.close();
    ASSERT_TRUE(file.open(QIODevice::ReadWrite) &&
                file.setFileTime(written, QFileDevice::FileModificationTime));
    file.close();
    ASSERT_EQ(QFileInfo(*f.selected).lastModified(), written);
    f.settings.tuning.brightness = 10;
    f.run();
    EXPECT_EQ(f.before.image().pixel(5, 5), qRgb(60, 60, 60));
    EXPECT_EQ(f.preview.picturesLoaded(), 3);
    EXPECT_TRUE(f.dialogs.shown.isEmpty());
}

// A picture too large to keep a spare buffer for is given back once the preview shows the
// next: the window does not stay at the size of the largest picture it has shown.
TEST(SourcePreview, ALargePictureIsGivenBackOnceTheNextIsShown) {
    PreviewFixture f;
    {
        QImage large(6000, 5600, QImage::Format_RGB32); // 34 megapixels, 134 MB
        large.fill(Qt::darkBlue);
        f.selected = f.source("large.jpg", large);
    }
    const long before = sc::test::statusKilobytes("VmRSS:");
    f.run();
    EXPECT_EQ(f.before.image().height(), 124); // the before view holds it as it shows it
    f.selected = f.source("small.bmp", sc::test::stripes());
    f.run();
    EXPECT_TRUE(f.dialogs.shown.isEmpty());
    EXPECT_LT(sc::test::statusKilobytes("VmRSS:") - before, 32 * 1024);
}
