// The preview run on plain picture models: what it shows, what it writes, how it fails, and
// how runs for held keys and batches join.
#include "PeakMemory.h"
#include "PreviewFixture.h"
#include "QStringPrinting.h"

#include <QCoreApplication>
#include <QTest>

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
    m.setInputFileName(path);
    m.Load();
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
    f.preview.run();
    EXPECT_EQ(f.beforeText, "1 KB  ");
    ASSERT_EQ(f.encoded.size(), 1);
    EXPECT_EQ(f.afterText, TSourcePreview::afterSizeText(f.encoded[0].size()));
    EXPECT_EQ(f.before.image().pixel(5, 5), qRgb(90, 90, 90)); // the tuning is undone
    EXPECT_GT(qRed(f.after.image().pixel(5, 5)), 180);         // and encoded: 90 + 102
    EXPECT_EQ(QDir(f.folder.path()).entryList(QDir::Files | QDir::Hidden),
              QStringList{"small.bmp"});
    EXPECT_TRUE(f.dialogs.shown.isEmpty());

    f.selected = f.source("large.bmp", grey(90, 8, 6), 12'345);
    f.preview.run();
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
        f.preview.run();
        ASSERT_EQ(f.encoded.size(), 1);
        EXPECT_EQ(f.encoded[0], encodedAt(*f.selected, level, reference)) << "item " << item;
    }
    f.settings.qualityIndex = 0;
    f.preview.run();
    EXPECT_EQ(f.before.image(), sc::test::stripes());
    EXPECT_NE(f.after.image(), f.before.image()); // the encoding alone shows
}

TEST(SourcePreview, AFailureBeepsAndLeavesTheViewsEmptyAndTheLabelsAsTheRunLeftThem) {
    PreviewFixture f;
    f.selected = f.source("good.bmp", grey(90, 8, 6), 4'000);
    f.preview.run();
    const QString afterText = f.afterText;
    f.selected = f.folder.writeFile("bad.jpg", "not a picture at all");
    f.preview.run();
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
    f.preview.run();
    f.selected.reset();
    f.preview.run();
    EXPECT_TRUE(f.before.isEmpty() && f.after.isEmpty());
    EXPECT_EQ(f.beforeText, "4 KB  ");
    EXPECT_TRUE(f.dialogs.shown.isEmpty());

    // While the window is hidden a run does nothing at all.
    f.visible = false;
    f.selected = f.source("other.bmp", grey(90, 8, 6), 7'000);
    f.preview.run();
    EXPECT_EQ(f.runs, 4);
    EXPECT_EQ(f.beforeText, "4 KB  ");
}

TEST(SourcePreview, RunsForHeldKeysAndBatchesJoinIntoOneWithTheLastValues) {
    PreviewFixture f;
    f.selected = f.source("grey.bmp", grey(100));
    for (int b = 5; b <= 50; b += 5) {
        f.settings.tuning.brightness = -b * 2;
        f.preview.runSoon();
    }
    EXPECT_EQ(f.runs, 0);
    QCoreApplication::processEvents();
    EXPECT_EQ(f.runs, 1);
    EXPECT_LT(qRed(f.after.image().pixel(5, 5)), 8); // brightness -100 of the last change

    // A run now makes a waiting one needless.
    f.preview.runSoon();
    f.preview.run();
    QCoreApplication::processEvents();
    EXPECT_EQ(f.runs, 2);

    // A held key repeating faster than a run: the run waits for its release.
    f.settings.tuning.brightness = 0;
    f.preview.runForHeldKey(-1);
    QCoreApplication::processEvents();
    EXPECT_EQ(f.runs, 2);
    f.preview.runOwed();
    QCoreApplication::processEvents();
    EXPECT_EQ(f.runs, 3);
    EXPECT_NEAR(qRed(f.after.image().pixel(5, 5)), 100, 2);
    f.preview.runOwed(); // nothing owed any more
    QCoreApplication::processEvents();
    EXPECT_EQ(f.runs, 3);

    // A deferred run waits for a job or a dialog to end.
    f.idle = false;
    f.preview.runSoon();
    QTest::qWait(50);
    EXPECT_EQ(f.runs, 3);
    f.idle = true;
    QTest::qWait(250);
    EXPECT_EQ(f.runs, 4);

    f.preview.beginBatch();
    for (int i = 0; i < 9; ++i)
        f.preview.run();
    EXPECT_EQ(f.runs, 4);
    f.preview.endBatch();
    EXPECT_EQ(f.runs, 5);
    // A batch in which nothing asked for a preview runs none.
    f.preview.beginBatch();
    f.preview.endBatch();
    QCoreApplication::processEvents();
    EXPECT_EQ(f.runs, 5);
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
    f.preview.run();
    ASSERT_EQ(f.before.image().size(), QSize(6000, 5600));
    f.selected = f.source("small.bmp", sc::test::stripes());
    f.preview.run();
    EXPECT_TRUE(f.dialogs.shown.isEmpty());
    EXPECT_LT(sc::test::statusKilobytes("VmRSS:") - before, 32 * 1024);
}
