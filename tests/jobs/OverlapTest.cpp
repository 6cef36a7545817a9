#include "CameraJpeg.h"
#include "JobFixture.h"
#include "jobs/AlbumJob.h"
#include "jobs/PicturePipeline.h"
#include "jobs/PrintJob.h"
#include "printing/CaptionBitmap.h"
#include "printing/TGKitImagePrint.h"

#include <QCryptographicHash>
#include <QDirIterator>
#include <QRandomGenerator>

#include <atomic>
#include <chrono>
#include <mutex>
#include <thread>

using namespace sc;
using namespace sc::test;
using jobs::kOnWindowThread;
using jobs::PicturePipeline;

namespace {

// What happened, in order, across threads.
struct Journal {
    std::mutex guard;
    QStringList events;
    void note(const QString& event) {
        std::lock_guard lock(guard);
        events << event;
    }
    QStringList all() {
        std::lock_guard lock(guard);
        return events;
    }
};

// Worker counts a job must give the same results for: this machine's, fewer and more.
const int kWorkerCounts[] = {1, 2, 3, 4, 8};

// Waits up to five seconds for `done`; a test fails rather than hangs.
bool waitFor(const std::function<bool()>& done) {
    for (int i = 0; i < 500 && !done(); ++i)
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    return done();
}

} // namespace

TEST(PicturePipeline, PreparesTheNextPictureWhileTheFirstIsSlowAndDropsWorkAheadOfAFailure) {
    std::atomic<bool> secondStarted = false;
    std::atomic<int> alive = 0; // prepared results not yet destroyed
    {
        PicturePipeline<std::shared_ptr<int>> pipeline(4, 2, [&](int i) {
            if (i == 0) { // slow: it ends only once picture 1 is being prepared
                EXPECT_TRUE(waitFor([&] { return secondStarted.load(); }));
            }
            if (i == 1)
                secondStarted = true;
            if (i == 2)
                throw std::runtime_error("unreadable");
            ++alive;
            return std::shared_ptr<int>(new int(i), [&](int* p) {
                --alive;
                delete p;
            });
        });
        EXPECT_EQ(*pipeline.take(0), 0);
        EXPECT_EQ(*pipeline.take(1), 1);
        EXPECT_THROW(pipeline.take(2), std::runtime_error);
    }
    EXPECT_EQ(alive, 0); // picture 3, prepared ahead of the failure, was dropped
}

TEST(PicturePipeline, APictureThatWaitsForEarlierOnesAndTheOneThreadRunStartOnlyWhenTaken) {
    for (const int workers : {kOnWindowThread, 1, 2, 8}) {
        Journal journal;
        const auto caller = std::this_thread::get_id();
        PicturePipeline<int> pipeline(
            3, workers,
            [&](int i) {
                journal.note(QStringLiteral("start %1").arg(i));
                if (workers == kOnWindowThread) {
                    EXPECT_EQ(std::this_thread::get_id(), caller);
                }
                return i;
            },
            [](int i) { return i == 1; });
        for (int i = 0; i < 3; ++i) {
            EXPECT_EQ(pipeline.take(i), i);
            journal.note(QStringLiteral("took %1").arg(i));
        }
        const QStringList events = journal.all();
        EXPECT_LT(events.indexOf("took 0"), events.indexOf("start 1"));
        if (workers == kOnWindowThread) {
            EXPECT_EQ(events.join(u','), "start 0,took 0,start 1,took 1,start 2,took 2");
        }
    }
}

// The workers go exactly `picturesAhead` pictures per worker beyond the one the window thread
// holds: so far while it writes, and no further (each picture ahead holds memory).
TEST(PicturePipeline, ReadsAheadAsFarAsAskedAndNoFurther) {
    for (const auto& [workers, ahead] : {std::pair{1, 1}, {2, 1}, {2, 3}, {3, 1}}) {
        std::atomic<int> furthest = -1;
        PicturePipeline<int> pipeline(
            12, workers,
            [&](int i) {
                for (int seen = furthest; seen < i && !furthest.compare_exchange_weak(seen, i);) {
                }
                return i;
            },
            {}, ahead);
        for (int i = 0; i < 12; ++i) {
            EXPECT_EQ(pipeline.take(i), i);
            const int reach = std::min(i + ahead * workers, 11);
            ASSERT_TRUE(waitFor([&] { return furthest >= reach; })) << "holding " << i;
            std::this_thread::sleep_for(std::chrono::milliseconds(30)); // the window writing it
            EXPECT_EQ(furthest, reach)
                << "holding " << i << ", " << workers << " workers, " << ahead << " ahead each";
        }
    }
}

// A picture too large for the budget beside others starts only once every picture before it
// is written (taken and let go); small ones run ahead together.
TEST(PicturePipeline, APictureOverTheBudgetStartsOnlyOnceThoseBeforeItAreWritten) {
    Journal journal;
    std::atomic<bool> secondStarted = false;
    const std::vector<qint64> costs = {10, 10, 100, 10};
    PicturePipeline<int> pipeline(
        4, 2,
        [&](int i) {
            journal.note(QStringLiteral("start %1").arg(i));
            if (i == 1)
                secondStarted = true;
            if (i == 0) {
                EXPECT_TRUE(waitFor([&] { return secondStarted.load(); }));
            }
            return i;
        },
        {}, 2, {jobs::MemoryBudget(50), [&](int i) { return costs[size_t(i)]; }});
    for (int i = 0; i < 4; ++i) {
        EXPECT_EQ(pipeline.take(i), i);
        journal.note(QStringLiteral("took %1").arg(i));
        std::this_thread::sleep_for(std::chrono::milliseconds(20)); // the window writing it
    }
    const QStringList events = journal.all();
    EXPECT_LT(events.indexOf("took 1"), events.indexOf("start 2"));
    EXPECT_LT(events.indexOf("took 2"), events.indexOf("start 3"));
}

namespace {

// Everything a user can see of the drives after a job: each file's name and bytes, and its
// time where the job sets it.
QStringList driveContents(const TempProgramFolder& folder, bool withTimes) {
    QStringList lines;
    QDirIterator it(folder.path(), QDir::Files, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString path = it.next();
        if (!path.contains(QStringLiteral("/drive_")))
            continue;
        QFile file(path);
        EXPECT_TRUE(file.open(QIODevice::ReadOnly));
        QString line = path.mid(folder.path().size()) + u' ' +
                       QCryptographicHash::hash(file.readAll(), QCryptographicHash::Md5).toHex();
        if (withTimes)
            line += u' ' + QFileInfo(path).lastModified().toString(Qt::ISODate);
        lines << line;
    }
    lines.sort();
    return lines;
}

// A picture large enough that its preparation outlasts a small one's.
QImage busyPicture() {
    QImage image(1600, 1200, QImage::Format_RGB32);
    QRandomGenerator rng(7);
    for (int y = 0; y < image.height(); ++y) {
        auto* row = reinterpret_cast<quint32*>(image.scanLine(y));
        for (int x = 0; x < image.width(); ++x)
            row[x] = 0xff000000u | (rng.generate() & 0x3f3f3f) | quint32(x * 255 / 1600) << 16;
    }
    return image;
}

const QDateTime kTaken(QDate(2004, 1, 2), QTime(9, 5, 6));

} // namespace

// Each scenario runs on the window thread alone and then on each count of workers from the same
// files; every observable must agree.
class JobOverlap : public JobFixture {
protected:
    struct Seen {
        bool succeeded = false, pictureLeft = false;
        QStringList files, texts, shown;
    };

    Seen runOn(int workers, const std::function<void()>& makeSources,
               const std::function<bool()>& runJob, bool withTimes) {
        QDir(folder.host("drive_c")).removeRecursively();
        QDir(folder.host("drive_d")).removeRecursively();
        sources.clear();
        status.texts.clear();
        dialogs.shown.clear();
        dialogs.yesNoAnswers = {false};
        makeSources();
        this->workers = workers;
        Seen seen;
        seen.succeeded = runJob();
        seen.files = driveContents(folder, withTimes);
        seen.texts = status.texts;
        seen.shown = dialogs.shown;
        seen.pictureLeft = !image.isEmpty();
        return seen;
    }

    void expectSameOnEveryWorkerCount(const std::function<void()>& makeSources,
                                      const std::function<bool()>& runJob, bool withTimes) {
        const Seen alone = runOn(kOnWindowThread, makeSources, runJob, withTimes);
        for (const int workers : kWorkerCounts) {
            const Seen seen = runOn(workers, makeSources, runJob, withTimes);
            EXPECT_EQ(alone.succeeded, seen.succeeded) << workers << " workers";
            EXPECT_EQ(alone.files, seen.files) << workers << " workers";
            EXPECT_EQ(alone.texts, seen.texts) << workers << " workers";
            EXPECT_EQ(alone.shown, seen.shown) << workers << " workers";
            EXPECT_EQ(alone.pictureLeft, seen.pictureLeft) << workers << " workers";
        }
    }
    void expectSameJpegJob(const std::function<void()>& makeSources,
                           const jobs::JpegJobSettings& settings, bool withTimes) {
        expectSameOnEveryWorkerCount(
            makeSources, [&] { return run(settings); }, withTimes);
    }

    // The album into D:/album; its files carry the time they were written, so only names and
    // bytes are compared.
    void expectSameAlbum(const std::function<void()>& makeSources) {
        expectSameOnEveryWorkerCount(
            makeSources,
            [&] {
                dialogs.folderAnswers = {QStringLiteral("D:/album")};
                jobs::AlbumJob job(image, sources, status, dialogs);
                job.setPictureWorkers(workers);
                return jobs::runGuarded(dialogs, [&] { job.run({2, QStringLiteral("SCC")}); });
            },
            false);
    }

    void writeBusyBmp(const QString& path) {
        QDir().mkpath(QFileInfo(winpath::hostPath(path)).absolutePath());
        ASSERT_TRUE(busyPicture().save(winpath::hostPath(path), "BMP"));
        fileops::setLastWriteTime(path, kTaken.addSecs(60));
        add(path);
    }
    void writeJpeg(const QString& path, const QByteArray& bytes) {
        QDir().mkpath(QFileInfo(winpath::hostPath(path)).absolutePath());
        QFile file(winpath::hostPath(path));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(bytes);
        file.close();
        fileops::setLastWriteTime(path, kTaken.addSecs(120));
        add(path);
    }
    void writeCameraJpeg(const QString& path) {
        const QByteArray exif = cameraExif("Maker", "Model", "2004:01:02 09:05:06", 6);
        writeJpeg(path, jpegWithExif(busyPicture().scaled(320, 240), exif));
    }
};

using JpegJobOverlap = JobOverlap;
using AlbumJobOverlap = JobOverlap;
using PrintJobOverlap = JobOverlap;

TEST_F(JpegJobOverlap, TunedRenamedOutputsAreTheSameBytesNamesDatesAndTextsAsOnTheWindowThread) {
    jobs::JpegJobSettings s = plain(1);
    s.brightness = 10, s.contrast = 15, s.red = 5, s.green = -5, s.blue = 8;
    s.hue = 20, s.saturation = 10, s.lightness = -5;
    const auto makeSources = [&] {
        writeBusyBmp("C:\\shots\\big.bmp");
        writeCameraJpeg("C:\\shots\\camera.jpg");
        // Listed twice and converted in place: the second conversion reads the first's output.
        add("C:\\shots\\camera.jpg");
        add(picture("C:\\shots\\small.bmp", kTaken.addSecs(180)));
    };
    expectSameJpegJob(makeSources, s, true);

    // The tuned picture is what one control loading, tuning and saving it writes.
    GKitImage reference;
    reference.Load(winpath::hostPath("C:/shots/big.bmp"));
    reference.AdjustBrightness(s.brightness, s.contrast);
    reference.AdjustColorBalance(s.red, s.green, s.blue);
    reference.AdjustHue(s.hue, s.saturation, s.lightness);
    QFile written(winpath::hostPath("C:/shots/sc_20040102_0906_06.jpg"));
    ASSERT_TRUE(written.open(QIODevice::ReadOnly));
    EXPECT_EQ(written.readAll(), reference.encoded());
}

TEST_F(JpegJobOverlap, AFailingPictureBehindASlowOneLeavesWhatOneThreadLeaves) {
    // Unreadable second picture (found while the first is still being prepared), then a
    // read-only output (found when writing, with the next picture already prepared).
    const auto unreadable = [&] {
        writeBusyBmp("C:\\f\\1.bmp");
        folder.writeFile("drive_c/f/2.bmp", "not a picture");
        add("C:\\f\\2.bmp");
        add(picture("C:\\f\\3.bmp"));
    };
    expectSameJpegJob(unreadable, plain(1), false);
    EXPECT_TRUE(exists("C:/f/1.jpg"));
    EXPECT_FALSE(exists("C:/f/3.jpg"));
    EXPECT_EQ(status.texts, QStringList({"1/3 枚目の変換処理中です。"}));
    EXPECT_EQ(
        dialogs.shown,
        QStringList(
            {"beep",
             QStringLiteral("message:非対応フォーマットが含まれていました。処理を中止します。")}));

    const auto readOnlyOutput = [&] {
        writeBusyBmp("C:\\r\\1.bmp");
        add(picture("C:\\r\\2.bmp"));
        picture("C:\\r\\2.jpg");
        fileops::setReadOnly("C:/r/2.jpg", true);
        add(picture("C:\\r\\3.bmp"));
    };
    expectSameJpegJob(readOnlyOutput, plain(0), false);
    EXPECT_TRUE(exists("C:/r/1.jpg"));
    EXPECT_FALSE(exists("C:/r/3.jpg"));
    EXPECT_EQ(status.last(), "1/3 枚目の変換処理中です。");
}

TEST_F(AlbumJobOverlap, CopiesThumbnailsPageAndFailuresAreTheSameAsOnTheWindowThread) {
    expectSameAlbum([&] {
        writeBusyBmp("C:\\a\\big.bmp");
        writeCameraJpeg("C:\\a\\camera.jpg");
        QByteArray grey;
        QBuffer buffer(&grey);
        buffer.open(QIODevice::WriteOnly);
        busyPicture()
            .convertToFormat(QImage::Format_Grayscale8)
            .scaled(200, 150)
            .save(&buffer, "JPG");
        writeJpeg("C:\\a\\grey.jpg", grey);
    });
    EXPECT_TRUE(exists("D:/album/Index.html"));
    EXPECT_TRUE(exists("D:/album/Thumb/th_grey.jpg"));

    expectSameAlbum([&] {
        writeBusyBmp("C:\\f\\1.bmp");
        folder.writeFile("drive_c/f/2.bmp", "not a picture");
        add("C:\\f\\2.bmp");
        add(picture("C:\\f\\3.bmp"));
    });
    EXPECT_TRUE(exists("D:/album/Data/1.jpg"));
    EXPECT_TRUE(exists("D:/album/Thumb/th_1.jpg"));
    EXPECT_FALSE(exists("D:/album/Data/3.jpg"));
    EXPECT_FALSE(exists("D:/album/Index.html"));
    EXPECT_EQ(status.texts, QStringList({"1/3 枚目の処理中です。"}));
}

TEST_F(PrintJobOverlap, SheetsTextsAndFailuresAreTheSameAsOnTheWindowThread) {
    QImage background(1063, 1416, QImage::Format_RGB32);
    background.fill(qRgb(250, 250, 245));
    ASSERT_TRUE(background.save(folder.host("bg_tate.bmp"), "BMP"));
    GKitImage canvas;
    printing::CaptionBitmap caption;
    printing::TGKitImagePrint printer(dialogs); // the print dialog is cancelled: no PDF to compare
    QList<QImage> lastSheets;
    QList<QByteArray> pageFilesLeft;
    const auto runPrint = [&] {
        jobs::PrintJob job({image, canvas, caption, printer}, sources, status, folder.path(),
                           folder.path());
        job.setPictureWorkers(workers);
        const bool done = jobs::runGuarded(dialogs, [&] { job.run([] { return 0; }); });
        lastSheets << canvas.image();
        // What a failed job leaves: its own page file (the next job removes it).
        const QStringList left = QDir(folder.path()).entryList({"bg_tate.*.tif"}, QDir::Files);
        QFile pages(left.isEmpty() ? QString() : folder.host(left.first()));
        pageFilesLeft << (pages.open(QIODevice::ReadOnly) ? pages.readAll() : QByteArray());
        EXPECT_LE(left.size(), 1);
        return done;
    };

    expectSameOnEveryWorkerCount(
        [&] {
            writeBusyBmp("C:\\s\\big.bmp");
            writeCameraJpeg("C:\\s\\camera.jpg");
            add(picture("C:\\s\\small.bmp"));
        },
        runPrint, false);
    const qsizetype runs = 1 + qsizetype(std::size(kWorkerCounts));
    ASSERT_EQ(lastSheets.size(), runs);
    EXPECT_FALSE(lastSheets[0].isNull());
    for (qsizetype i = 1; i < runs; ++i)
        EXPECT_EQ(lastSheets[0], lastSheets[i]) << "run " << i;

    // The 52nd picture is unreadable: the first full sheet stays in the page file.
    expectSameOnEveryWorkerCount(
        [&] {
            for (int i = 0; i < 53; ++i) {
                const QString path = QStringLiteral("C:\\f\\%1.bmp").arg(i, 2, 10, QChar(u'0'));
                if (i == 51) {
                    folder.writeFile(QStringLiteral("drive_c/f/51.bmp"), "not a picture");
                    add(path);
                } else {
                    add(picture(path, kTaken, QColor(i * 4, 100, 200 - i)));
                }
            }
        },
        runPrint, false);
    ASSERT_EQ(pageFilesLeft.size(), 2 * runs);
    EXPECT_FALSE(pageFilesLeft[runs].isEmpty());
    for (qsizetype i = runs + 1; i < 2 * runs; ++i) {
        EXPECT_EQ(pageFilesLeft[runs], pageFilesLeft[i]) << "run " << i;
        EXPECT_EQ(lastSheets[runs], lastSheets[i]) << "run " << i;
    }
    EXPECT_EQ(status.last(), "51/53 枚目の印刷準備中です。");
}
