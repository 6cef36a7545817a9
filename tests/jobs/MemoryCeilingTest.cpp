// What a job holds in memory: its budget for pictures in flight, and pictures refused from
// their headers alone. Peaks are measured in a fresh process of this test binary.
#include "JobFixture.h"
#include "PeakMemory.h"
#include "imaging/ByteOrder.h"

#include <QDataStream>

using namespace sc;
using namespace sc::test;

namespace {

constexpr qint64 kMB = 1024 * 1024;
const QString kFailure =
    QStringLiteral("message:非対応フォーマットが含まれていました。処理を中止します。");

// A progressive JPEG of a plain colour, cut inside its second scan: its first scan (every
// block's DC value, a few bytes per row) makes a decoder fill coefficient buffers for the
// whole frame (3000 x 3000 at 4:2:0: about 27 MB) before it finds the rest missing.
QByteArray progressiveBomb() {
    GKitImage plain;
    QImage pixels(3000, 3000, QImage::Format_RGB32);
    pixels.fill(Qt::darkGreen);
    plain.setImage(pixels);
    plain.setSaveCompression(GKitImage::kCompressionProgressive);
    const QByteArray jpeg = plain.encoded();
    const qsizetype secondScan = jpeg.indexOf("\xff\xda", jpeg.indexOf("\xff\xda") + 2);
    EXPECT_GT(secondScan, 0);
    return jpeg.left(secondScan + 40);
}

// A run-length bitmap of `width` x `height` whose every row is one end-of-line code: a few
// kilobytes that decode to width x height pixels (grey 0).
QByteArray runLengthBitmap(int width, int height) {
    QByteArray bits;
    for (int row = 0; row < height; ++row)
        bits.append("\0\0", 2);
    bits.append("\0\1", 2);
    const int offset = 14 + 40 + 256 * 4;
    QByteArray file;
    QDataStream out(&file, QIODevice::WriteOnly);
    out.setByteOrder(QDataStream::LittleEndian);
    out.writeRawData("BM", 2);
    out << quint32(offset + bits.size()) << quint32(0) << quint32(offset);
    out << quint32(40) << qint32(width) << qint32(height) << quint16(1) << quint16(8) << quint32(1)
        << quint32(bits.size()) << qint32(2835) << qint32(2835) << quint32(256) << quint32(0);
    for (int i = 0; i < 256; ++i)
        out << quint32(i * 0x010101);
    out.writeRawData(bits.constData(), int(bits.size()));
    return file;
}

class MemoryCeiling : public JobFixture {
protected:
    MemoryCeiling() { GTEST_FLAG_SET(death_test_style, "threadsafe"); }

    bool runWithin(const jobs::MemoryBudget& budget) {
        jobs::JpegJob job(image, sources, status, dialogs, [] {});
        job.setMemoryBudget(budget);
        return jobs::runGuarded(dialogs, [&] { job.run(plain(0)); });
    }
};

} // namespace

// Six pictures whose coefficients alone fill more than the budget holds beside another: each
// is prepared alone, so the job's peak stays within the budget (two at once would pass it);
// the first ends the job with the failure message.
TEST_F(MemoryCeiling, AJobOverSixBombsPreparesOneAtATimeWithinItsBudget) {
    const jobs::MemoryBudget budget(40 * kMB);
    const QByteArray bomb = progressiveBomb();
    for (int i = 0; i < 6; ++i) {
        folder.writeFile(QStringLiteral("drive_c/bombs/b%1.jpg").arg(i), bomb);
        add(QStringLiteral("C:/bombs/b%1.jpg").arg(i));
    }
    EXPECT_EXIT(exitWithPeakGrowthCheck(budget.bytes(),
                                        [&] {
                                            EXPECT_FALSE(runWithin(budget));
                                            EXPECT_EQ(dialogs.shown.value(1), kFailure);
                                        }),
                ::testing::ExitedWithCode(0), "peak growth");
}

// No JPEG holds a side over 65,500 pixels: a picture wider or taller is refused from its header,
// with the failure message, before anything is decoded (each would take 262 MB decoded); one of
// exactly 65,500 is converted.
TEST_F(MemoryCeiling, APictureWiderOrTallerThanAnyJpegIsRefusedBeforeItIsDecoded) {
    picture("C:/shots/a.bmp");
    folder.writeFile("drive_c/shots/edge_tall.bmp", runLengthBitmap(1, 65'500));
    folder.writeFile("drive_c/shots/edge_wide.bmp", runLengthBitmap(65'500, 1));
    for (const QSize size : {QSize(65'501, 1000), QSize(1000, 65'501)}) {
        folder.writeFile("drive_c/shots/over.bmp", runLengthBitmap(size.width(), size.height()));
        sources.clear();
        for (const char* name : {"a", "edge_tall", "edge_wide", "over"})
            add(QStringLiteral("C:/shots/%1.bmp").arg(QLatin1String(name)));
        EXPECT_EXIT(exitWithPeakGrowthCheck(32 * kMB,
                                            [&] {
                                                EXPECT_FALSE(
                                                    runWithin(jobs::MemoryBudget(512 * kMB)));
                                                EXPECT_EQ(dialogs.shown.value(1), kFailure);
                                                EXPECT_TRUE(exists("C:/shots/edge_tall.jpg"));
                                                EXPECT_TRUE(exists("C:/shots/edge_wide.jpg"));
                                                EXPECT_FALSE(exists("C:/shots/over.jpg"));
                                            }),
                    ::testing::ExitedWithCode(0), "peak growth")
            << size.width() << " x " << size.height();
    }
}
