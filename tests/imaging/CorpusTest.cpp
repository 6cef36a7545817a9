#include "TempProgramFolder.h"
#include "TestPictures.h"
#include "imaging/GKitImage.h"
#include "platform/Error.h"

#include <QElapsedTimer>
#include <QFile>
#include <gtest/gtest.h>

#ifdef Q_OS_UNIX
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>
#endif

using sc::GKitImage;
using namespace sc::test;

namespace {

// Rows of an EXPECT.tsv as column name → value.
QList<QHash<QString, QString>> expectations(const QString& file) {
    QFile f(file);
    QList<QHash<QString, QString>> rows;
    if (!f.open(QIODevice::ReadOnly))
        return rows;
    const QStringList lines = QString::fromUtf8(f.readAll()).split(u'\n', Qt::SkipEmptyParts);
    const QStringList header = lines.value(0).split(u'\t');
    for (qsizetype i = 1; i < lines.size(); ++i) {
        const QStringList cells = lines[i].split(u'\t');
        QHash<QString, QString> row;
        for (qsizetype c = 0; c < header.size(); ++c)
            row[header[c]] = cells.value(c);
        rows.append(row);
    }
    return rows;
}

enum class Outcome { Loaded, Refused };

Outcome tryLoad(const QString& path, QImage* image = nullptr) {
    GKitImage m;
    try {
        m.Load(path);
    } catch (const sc::Error&) {
        return Outcome::Refused;
    }
    if (image)
        *image = m.image();
    return Outcome::Loaded;
}

#define REQUIRE_CORPUS()                                                                           \
    const QString corpus = corpusDir();                                                            \
    if (corpus.isEmpty())                                                                          \
    GTEST_SKIP() << "no picture corpus beside the checkout"

} // namespace

TEST(Corpus, GoodBitmapsDecodeToTheReferencePixels) {
    REQUIRE_CORPUS();
    int checked = 0;
    for (const auto& row : expectations(corpus + "/bmpsuite/EXPECT.tsv")) {
        const QString path = corpus + "/bmpsuite/" + row["class"] + "/" + row["name"];
        QImage image;
        const Outcome outcome = tryLoad(path, &image);
        if (row["class"] == "g") {
            ASSERT_EQ(outcome, Outcome::Loaded) << row["name"].toStdString();
            EXPECT_EQ(image.size(), QSize(row["width"].toInt(), row["height"].toInt()))
                << row["name"].toStdString();
            const QImage ref(corpus + "/bmpsuite/" + row["ref"]);
            ASSERT_FALSE(ref.isNull());
            // 16-bit fields scale with rounding, one level apart from the reference at most (a
            // reader that shifts instead gives 248 for white, 7 levels off).
            const int tolerance = row["header"].contains("16 bpp") ? 1 : 0;
            EXPECT_LE(maxDifference(image, ref.convertToFormat(QImage::Format_RGB32)), tolerance)
                << row["name"].toStdString();
            ++checked;
        } else if (row["class"] == "q" && outcome == Outcome::Loaded) {
            EXPECT_EQ(image.size(), QSize(row["width"].toInt(), row["height"].toInt()))
                << row["name"].toStdString();
        } else if (row["class"] == "b" && outcome == Outcome::Loaded) {
            EXPECT_LE(qint64(image.width()) * image.height(),
                      qAbs(row["width"].toLongLong() * row["height"].toLongLong()))
                << row["name"].toStdString();
        }
    }
    EXPECT_GE(checked, 27);
}

TEST(Corpus, JpegVariantsLoadUprightOrAreRefused) {
    REQUIRE_CORPUS();
    int loaded = 0;
    for (const auto& row : expectations(corpus + "/jpeg/EXPECT.tsv")) {
        const std::string name = row["name"].toStdString();
        QImage image;
        const Outcome outcome = tryLoad(corpus + "/jpeg/" + row["name"], &image);
        if (row["content"] == "bmp") { // a bitmap named .jpg: read as what it is
            EXPECT_EQ(outcome, Outcome::Loaded) << name;
            continue;
        }
        if (row["content"] != "jpeg" || row["djpeg"] == "no") {
            EXPECT_EQ(outcome, Outcome::Refused) << name;
            continue;
        }
        if (row["djpeg"] == "warn") {
            if (outcome == Outcome::Loaded) {
                EXPECT_FALSE(image.isNull()) << name;
            }
            continue;
        }
        ASSERT_EQ(outcome, Outcome::Loaded) << name;
        ++loaded;
        const QStringList shown = row["display_width_x_height"].split(u'x');
        ASSERT_EQ(image.size(), QSize(shown.value(0).toInt(), shown.value(1).toInt())) << name;
        if (image.size() != QSize(640, 480) || row["frame"].contains("1c"))
            continue;
        // The four corner patches, upright whatever the stored orientation.
        const struct {
            QPoint at;
            QRgb colour;
        } patches[] = {{{48, 48}, qRgb(255, 0, 0)},
                       {{591, 48}, qRgb(0, 255, 0)},
                       {{48, 431}, qRgb(0, 0, 255)},
                       {{591, 431}, qRgb(255, 255, 0)}};
        for (const auto& p : patches) {
            const QRgb got = image.pixel(p.at);
            EXPECT_LE(std::max({std::abs(qRed(got) - qRed(p.colour)),
                                std::abs(qGreen(got) - qGreen(p.colour)),
                                std::abs(qBlue(got) - qBlue(p.colour))}),
                      12)
                << name << " at " << p.at.x() << "," << p.at.y();
        }
    }
    EXPECT_GE(loaded, 30);
}

TEST(Corpus, ColourDepthFollowsTheFile) {
    REQUIRE_CORPUS();
    GKitImage m;
    const struct {
        const char* file;
        int depth;
    } cases[] = {{"/jpeg/baseline-420.jpg", 12},   {"/jpeg/grayscale.jpg", 10},
                 {"/jpeg/cmyk-adobe.jpg", 12},     {"/bmpsuite/g/pal1.bmp", 1},
                 {"/bmpsuite/g/pal4.bmp", 4},      {"/bmpsuite/g/pal8.bmp", 8},
                 {"/bmpsuite/g/pal8gs.bmp", 10},   {"/bmpsuite/g/rgb24.bmp", 12},
                 {"/bmpsuite/g/rgb16-565.bmp", 12}};
    for (const auto& c : cases) {
        m.Load(corpus + c.file);
        EXPECT_EQ(m.ColorDepth(), c.depth) << c.file;
    }
    m.ChangeColorDepth(12);
    EXPECT_EQ(m.ColorDepth(), 12);
}

#ifdef Q_OS_UNIX
// Decompression bombs must fail quickly without allocating for the claimed size; the honest
// 100-megapixel pictures must load. Each runs in a child process under a 2 GB address-space
// limit, so a loader that tried to allocate tens of gigabytes fails instead of swamping us.
TEST(Corpus, BombsAreRefusedAndHundredMegapixelPicturesLoad) {
    REQUIRE_CORPUS();
    for (const auto& row : expectations(corpus + "/bombs/EXPECT.tsv")) {
        const QString path = corpus + "/bombs/" + row["name"];
        const bool refuse = row["expected"] == "refuse";
        QElapsedTimer timer;
        timer.start();
        const pid_t child = fork();
        ASSERT_GE(child, 0);
        if (child == 0) {
#ifndef __SANITIZE_ADDRESS__ // the address sanitizer reserves far more address space itself
            rlimit limit{2048ull << 20, 2048ull << 20};
            setrlimit(RLIMIT_AS, &limit);
#endif
            alarm(20);
            QImage image;
            const Outcome outcome = tryLoad(path, &image);
            int code;
            if (refuse)
                code = outcome == Outcome::Refused ? 0 : 1;
            else
                code = outcome == Outcome::Loaded && image.size() == QSize(10000, 10000) ? 0 : 2;
            _exit(code);
        }
        int status = 0;
        waitpid(child, &status, 0);
        EXPECT_TRUE(WIFEXITED(status)) << row["name"].toStdString() << " crashed or hung";
        EXPECT_EQ(WEXITSTATUS(status), 0) << row["name"].toStdString();
        if (refuse) {
            EXPECT_LT(timer.elapsed(), 2000) << row["name"].toStdString() << " refused slowly";
        }
    }
}
#endif
