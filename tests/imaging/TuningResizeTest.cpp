#include "TestPictures.h"
#include "imaging/GKitImage.h"
#include "imaging/PixelOps.h"
#include "imaging/Tuning.h"

#include <QRandomGenerator>
#include <gtest/gtest.h>

using sc::GKitImage;
using namespace sc::imaging;
using namespace sc::test;

namespace {

QRgb tuned(QRgb colour, const std::function<void(GKitImage&)>& op) {
    GKitImage m;
    m.setImage(filled(2, 2, colour));
    op(m);
    return m.image().pixel(1, 1);
}

// Every 8-bit colour on a 64-step grid plus random ones: what a photograph can hold.
QImage colourSweep() {
    QImage image = photoLike(64, 64, 7);
    int i = 0;
    for (int r = 0; r < 256; r += 17)
        for (int g = 0; g < 256; g += 17)
            for (int b = 0; b < 256; b += 17, ++i)
                image.setPixel(i % 64, i / 64 % 64, qRgb(r, g, b));
    return image;
}

} // namespace

TEST(Tuning, ZeroValuesChangeNothing) {
    const QImage sweep = colourSweep();
    for (int hue : {0, 360, -360}) {
        TuningPlan plan;
        plan.brightnessContrast = plan.balance = plan.hsl = true; // every step runs, at zero
        plan.hue = hue;
        QImage out(sweep.size(), QImage::Format_RGB32);
        applyTuning(sweep, out, plan);
        EXPECT_EQ(maxDifference(out, sweep), 0) << "hue " << hue;
    }
    GKitImage m;
    m.setImage(sweep);
    m.AdjustBrightness(0, 0);
    m.AdjustColorBalance(0, 0, 0);
    m.AdjustHue(0, 0, 0);
    EXPECT_TRUE(m.image() == sweep);
}

TEST(Tuning, KnownPixelsMoveTheDocumentedWay) {
    EXPECT_EQ(tuned(qRgb(100, 100, 100), [](GKitImage& m) { m.AdjustBrightness(50, 0); }),
              qRgb(228, 228, 228));
    EXPECT_EQ(tuned(qRgb(160, 96, 128), [](GKitImage& m) { m.AdjustBrightness(0, 50); }),
              qRgb(192, 64, 128));
    EXPECT_EQ(tuned(qRgb(10, 200, 250), [](GKitImage& m) { m.AdjustBrightness(0, -100); }),
              qRgb(128, 128, 128));
    EXPECT_EQ(tuned(qRgb(100, 100, 100), [](GKitImage& m) { m.AdjustColorBalance(20, 0, -20); }),
              qRgb(151, 100, 49));
    EXPECT_EQ(tuned(qRgb(255, 0, 0), [](GKitImage& m) { m.AdjustHue(120, 0, 0); }),
              qRgb(0, 255, 0));
    EXPECT_EQ(tuned(qRgb(255, 0, 0), [](GKitImage& m) { m.AdjustHue(-120, 0, 0); }),
              qRgb(0, 0, 255));
    EXPECT_EQ(tuned(qRgb(255, 0, 0), [](GKitImage& m) { m.AdjustHue(60, 0, 0); }),
              qRgb(255, 255, 0));
    EXPECT_EQ(tuned(qRgb(255, 0, 128), [](GKitImage& m) { m.AdjustHue(-60, 0, 0); }),
              qRgb(127, 0, 255))
        << "a turn across red, from one end of the circle to the other";
    EXPECT_EQ(tuned(qRgb(200, 100, 50), [](GKitImage& m) { m.AdjustHue(180, 0, 0); }),
              qRgb(50, 150, 200));
    EXPECT_EQ(tuned(qRgb(255, 0, 0), [](GKitImage& m) { m.AdjustHue(0, -100, 0); }),
              qRgb(128, 128, 128));
    EXPECT_EQ(tuned(qRgb(150, 100, 100), [](GKitImage& m) { m.AdjustHue(0, 50, 0); }),
              qRgb(200, 50, 50));
    EXPECT_EQ(tuned(qRgb(200, 100, 0), [](GKitImage& m) { m.AdjustHue(0, 0, -50); }),
              qRgb(100, 50, 0));
    EXPECT_EQ(tuned(qRgb(100, 100, 100), [](GKitImage& m) { m.AdjustHue(0, 0, 50); }),
              qRgb(178, 178, 178));
    EXPECT_EQ(tuned(qRgb(90, 90, 90), [](GKitImage& m) { m.AdjustHue(77, 100, 0); }),
              qRgb(90, 90, 90))
        << "grey has no hue to turn or saturate";
}

TEST(Tuning, ExtremesClampInsteadOfWrapping) {
    EXPECT_EQ(tuned(qRgb(200, 10, 255), [](GKitImage& m) { m.AdjustBrightness(100, 0); }),
              qRgb(255, 255, 255));
    EXPECT_EQ(tuned(qRgb(200, 10, 255), [](GKitImage& m) { m.AdjustBrightness(-100, 0); }),
              qRgb(0, 0, 0));
    EXPECT_EQ(tuned(qRgb(127, 128, 250), [](GKitImage& m) { m.AdjustBrightness(0, 100); }),
              qRgb(0, 255, 255));
    EXPECT_EQ(tuned(qRgb(240, 20, 128), [](GKitImage& m) { m.AdjustColorBalance(100, -100, 0); }),
              qRgb(255, 0, 128));
    EXPECT_EQ(tuned(qRgb(240, 20, 128), [](GKitImage& m) { m.AdjustHue(0, 0, 100); }),
              qRgb(255, 255, 255));
    EXPECT_EQ(tuned(qRgb(240, 20, 128), [](GKitImage& m) { m.AdjustHue(0, 0, -100); }),
              qRgb(0, 0, 0));
    EXPECT_EQ(tuned(qRgb(250, 20, 128), [](GKitImage& m) { m.AdjustBrightness(500, -500); }),
              qRgb(128, 128, 128))
        << "values beyond the range act as the range's end";
    // Saturation at its extreme stays a valid colour of the same lightness.
    const QRgb vivid = tuned(qRgb(180, 120, 140), [](GKitImage& m) { m.AdjustHue(0, 100, 0); });
    EXPECT_EQ(qRed(vivid) + qGreen(vivid) + qBlue(vivid) > 0, true);
    EXPECT_EQ(std::max({qRed(vivid), qGreen(vivid), qBlue(vivid)}) +
                  std::min({qRed(vivid), qGreen(vivid), qBlue(vivid)}),
              180 + 120);
}

TEST(Tuning, EachValueIsMonotone) {
    // A ramp of every grey level, and one of a colour, through each value in steps of 5.
    QImage ramp(256, 2, QImage::Format_RGB32);
    for (int v = 0; v < 256; ++v) {
        ramp.setPixel(v, 0, qRgb(v, v, v));
        ramp.setPixel(v, 1, qRgb(v, v / 2, 255 - v));
    }
    auto tunedRamp = [&](int which, int value) {
        TuningPlan plan;
        plan.brightnessContrast = which < 2;
        plan.balance = which == 2;
        plan.hsl = which >= 3;
        (which == 0   ? plan.brightness
         : which == 1 ? plan.contrast
         : which == 2 ? plan.red
         : which == 3 ? plan.saturation
                      : plan.lightness) = value;
        QImage out(ramp.size(), QImage::Format_RGB32);
        applyTuning(ramp, out, plan);
        return out;
    };
    for (int which = 0; which < 5; ++which) {
        QImage previous = tunedRamp(which, -100);
        for (int value = -95; value <= 100; value += 5) {
            const QImage next = tunedRamp(which, value);
            for (int v = 0; v < 256; ++v) {
                const QRgb a = previous.pixel(v, 0), b = next.pixel(v, 0);
                if (which == 1 && v < 128) { // more contrast moves dark levels down
                    ASSERT_GE(qRed(a), qRed(b)) << which << " " << value << " " << v;
                } else if (which != 3) { // saturation leaves greys alone
                    ASSERT_LE(qRed(a), qRed(b)) << which << " " << value << " " << v;
                }
                if (v > 0 && which != 3) { // and each result still rises with the level
                    ASSERT_LE(qRed(next.pixel(v - 1, 0)), qRed(b)) << which << " " << value;
                }
            }
            if (which == 3) { // saturation: the spread of a colour only grows
                for (int v = 0; v < 256; ++v) {
                    auto spread = [](QRgb p) {
                        return std::max({qRed(p), qGreen(p), qBlue(p)}) -
                               std::min({qRed(p), qGreen(p), qBlue(p)});
                    };
                    ASSERT_LE(spread(previous.pixel(v, 1)), spread(next.pixel(v, 1)) + 1)
                        << value << " " << v;
                }
            }
            previous = next;
        }
    }
}

TEST(Tuning, StepsRunInTheDocumentedOrderWhateverTheCallOrder) {
    // Brightness after hue: the pending hue pass must be applied first.
    const QRgb a = tuned(qRgb(200, 100, 50), [](GKitImage& m) {
        m.AdjustHue(180, 0, 0);
        m.AdjustBrightness(10, 0);
    });
    EXPECT_EQ(a, qRgb(76, 176, 226));
    // Twice the same call adds up.
    const QRgb b = tuned(qRgb(100, 100, 100), [](GKitImage& m) {
        m.AdjustColorBalance(10, 0, 0);
        m.AdjustColorBalance(10, 0, 0);
    });
    EXPECT_EQ(b, qRgb(152, 100, 100));
}

TEST(Tuning, ResetReturnsToThePictureAsLoaded) {
    GKitImage m;
    const QImage original = photoLike(50, 40);
    m.setImage(original);
    m.AdjustBrightness(30, 40);
    m.AdjustColorBalance(10, -20, 30);
    m.AdjustHue(45, 20, -10);
    m.ResizeImage(16, 12);
    m.ChangeColorDepth(GKitImage::kDepthMono);
    EXPECT_EQ(m.ColorDepth(), GKitImage::kDepthMono);
    m.Reset();
    EXPECT_TRUE(m.image() == original);
    EXPECT_EQ(m.ColorDepth(), GKitImage::kDepthFull);
    m.Delete();
    m.Reset();
    EXPECT_TRUE(m.isEmpty()) << "nothing to return to after Delete";

    // Without an original, Reset changes nothing: tuning not yet applied is not lost.
    m.setImage(original);
    m.dropOriginal();
    m.AdjustBrightness(30, 0);
    m.Reset();
    EXPECT_FALSE(m.image() == original);
}

TEST(Resize, GivesTheExactSizeAndKeepsTheMeanOfAFineCheckerboard) {
    for (const QSize source : {QSize(640, 480), QSize(333, 247), QSize(4000, 3000)}) {
        QImage board(source, QImage::Format_RGB32);
        for (int y = 0; y < board.height(); ++y)
            for (int x = 0; x < board.width(); ++x)
                board.setPixel(x, y, (x + y) % 2 ? qRgb(255, 255, 255) : qRgb(0, 0, 0));
        GKitImage m;
        m.setImage(board);
        m.ResizeImage(160, 120);
        ASSERT_EQ(m.image().size(), QSize(160, 120));
        int lo = 255, hi = 0;
        for (int y = 0; y < 120; ++y)
            for (int x = 0; x < 160; ++x) {
                lo = std::min(lo, qGray(m.image().pixel(x, y)));
                hi = std::max(hi, qGray(m.image().pixel(x, y)));
            }
        // Every thumbnail pixel averages at least two source pixels each way: mid-grey,
        // give or take the one half-covered cell at an edge.
        EXPECT_GE(lo, 100) << source.width();
        EXPECT_LE(hi, 155) << source.width();
    }
    GKitImage m;
    m.setImage(filled(40, 30, qRgb(10, 20, 30)));
    m.ResizeImage(160, 120); // enlarging
    EXPECT_EQ(m.image().size(), QSize(160, 120));
    EXPECT_EQ(m.image().pixel(80, 60), qRgb(10, 20, 30));
    m.ResizeImage(3, 200); // one side down, one up
    EXPECT_EQ(m.image().size(), QSize(3, 200));
}

TEST(Resize, AreaAveragingWeighsEverySourcePixel) {
    // 3 → 2: the middle pixel counts half for each target.
    QImage row(3, 1, QImage::Format_RGB32);
    row.setPixel(0, 0, qRgb(0, 0, 0));
    row.setPixel(1, 0, qRgb(200, 200, 200));
    row.setPixel(2, 0, qRgb(100, 100, 100));
    const QImage out = resized(row, 2, 1);
    EXPECT_EQ(qRed(out.pixel(0, 0)), 67);  // (0·2 + 200·1) / 3
    EXPECT_EQ(qRed(out.pixel(1, 0)), 133); // (200·1 + 100·2) / 3
}

// The plainest exact area average: every source pixel weighed by how much of it a target
// pixel covers, in units where a source pixel is `dst` wide and a target pixel `src` wide.
QImage referenceAreaAverage(const QImage& in, int width, int height) {
    auto overlap = [](int t, int s, int src, int dst) {
        const qint64 lo = std::max<qint64>(qint64(t) * src, qint64(s) * dst);
        const qint64 hi = std::min<qint64>(qint64(t + 1) * src, qint64(s + 1) * dst);
        return std::max<qint64>(0, hi - lo);
    };
    QImage out(width, height, QImage::Format_RGB32);
    const quint64 total = quint64(in.width()) * quint64(in.height());
    for (int ty = 0; ty < height; ++ty)
        for (int tx = 0; tx < width; ++tx) {
            quint64 sum[3] = {};
            for (int sy = ty * in.height() / height; sy < in.height(); ++sy) {
                const qint64 wy = overlap(ty, sy, in.height(), height);
                if (wy == 0)
                    break;
                for (int sx = tx * in.width() / width; sx < in.width(); ++sx) {
                    const qint64 wx = overlap(tx, sx, in.width(), width);
                    if (wx == 0)
                        break;
                    const QRgb p = in.pixel(sx, sy);
                    sum[0] += quint64(qRed(p) * wx * wy);
                    sum[1] += quint64(qGreen(p) * wx * wy);
                    sum[2] += quint64(qBlue(p) * wx * wy);
                }
            }
            auto mean = [&](int c) { return int((sum[c] + total / 2) / total); };
            out.setPixel(tx, ty, qRgb(mean(0), mean(1), mean(2)));
        }
    return out;
}

// Shrinking gives exactly the rounded mean of what each target pixel covers, for cells of a
// few pixels, of many (the thumbnail of a photograph), and of more rows than a running sum of
// bytes holds without being emptied: pure white, the largest sum, stays white.
TEST(Resize, ShrinkingGivesTheExactRoundedMeanOfEachCoveredArea) {
    struct Case {
        QSize from, to;
    };
    for (const Case& c : {Case{{333, 247}, {160, 120}}, Case{{1000, 750}, {160, 120}},
                          Case{{41, 1300}, {3, 2}}, Case{{7, 5}, {7, 1}}, Case{{9, 9}, {1, 1}}}) {
        const QImage picture = photoLike(c.from.width(), c.from.height(), 7);
        EXPECT_TRUE(resized(picture, c.to.width(), c.to.height()) ==
                    referenceAreaAverage(picture, c.to.width(), c.to.height()))
            << c.from.width() << " x " << c.from.height();
    }
    for (const QSize from : {QSize(41, 258), QSize(41, 1300), QSize(5, 600)})
        EXPECT_TRUE(resized(filled(from.width(), from.height(), qRgb(255, 255, 255)), 3, 1) ==
                    filled(3, 1, qRgb(255, 255, 255)))
            << from.width() << " x " << from.height();
}

TEST(Tuning, EveryVectorWidthGivesTheSamePicture) {
    // An odd width, so each row ends in a part block; the threshold contrast takes its own path.
    QImage sweep = colourSweep().copy(0, 0, 61, 64);
    QRandomGenerator rng(5);
    for (int round = 0; round < 40; ++round) {
        TuningPlan plan;
        plan.brightnessContrast = round % 4 != 1;
        plan.balance = round % 3 != 0;
        plan.hsl = round % 4 != 2;
        auto value = [&] { return int(rng.bounded(-100, 101)); };
        plan.brightness = value(), plan.red = value(), plan.green = value(), plan.blue = value();
        plan.contrast = round % 5 == 0 ? 100 : value();
        plan.hue = int(rng.bounded(-180, 181)), plan.saturation = value(), plan.lightness = value();
        QImage widest(sweep.size(), QImage::Format_RGB32);
        applyTuning(sweep, widest, plan, 0);
        for (int loop = 1; loop < tuningLoopCount(); ++loop) {
            QImage other(sweep.size(), QImage::Format_RGB32);
            applyTuning(sweep, other, plan, loop);
            // Fused or separate multiply-adds may round a level's half the other way.
            ASSERT_LE(maxDifference(widest, other), 1) << "round " << round << " loop " << loop;
        }
    }
}
