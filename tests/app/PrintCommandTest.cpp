// The print page and its job through the window, printing to a PDF file.
#include "ScriptedDialogs.h"
#include "SmallTmpfs.h"
#include "TempProgramFolder.h"
#include "app/Changewindow1.h"
#include "app/LookAndFeel.h"
#include "controls/TShadowLabel.h"
#include "controls/TShineSpeedButton.h"
#include "imaging/TGKitImageEdit.h"
#include "platform/FileWrites.h"
#include "platform/RunMark.h"
#include "printing/CaptionBitmap.h"
#include "printing/SheetLayout.h"
#include "printing/TGKitImagePrint.h"
#include "printing/TiffPages.h"

#include <QClipboard>
#include <QComboBox>
#include <QCryptographicHash>
#include <QEvent>
#include <QGuiApplication>
#include <QLineEdit>
#include <QMimeData>
#include <QProcess>
#include <cerrno>

using sc::app::TConvertForm1;
using sc::controls::TShadowLabel;
using sc::controls::TShineSpeedButton;

namespace {

using sc::printing::sheet::Point;

const QRgb kVerticalPaper = qRgb(250, 250, 245);
const QRgb kFilmPaper = qRgb(30, 30, 36);

QRgb colourOf(int i) {
    return qRgb((i * 37 + 20) % 256, (i * 91 + 50) % 256, (i * 53 + 100) % 256);
}

bool near(QRgb a, QRgb b, int tolerance = 6) {
    return std::abs(qRed(a) - qRed(b)) <= tolerance &&
           std::abs(qGreen(a) - qGreen(b)) <= tolerance &&
           std::abs(qBlue(a) - qBlue(b)) <= tolerance;
}

QString run(const QString& program, const QStringList& arguments) {
    QProcess p;
    p.start(program, arguments);
    p.waitForFinished(60000);
    return QString::fromUtf8(p.readAllStandardOutput());
}

// Records the status line each time it is painted, as the user sees it change.
class StatusRecorder : public QObject {
public:
    explicit StatusRecorder(TShadowLabel* label) : label_(label) {
        label->installEventFilter(this);
    }
    QStringList seen;
    bool eventFilter(QObject*, QEvent* event) override {
        if (event->type() == QEvent::Paint && (seen.isEmpty() || seen.last() != label_->text()))
            seen << label_->text();
        return false;
    }

private:
    TShadowLabel* label_;
};

struct PrintWindow {
    sc::test::TempProgramFolder folder;
    sc::test::ScriptedDialogs dialogs;
    std::unique_ptr<TConvertForm1> form;
    QString pdf;

    explicit PrintWindow(bool show = true) {
        sc::app::installLookAndFeel();
        writeBackground("bg_tate.bmp", sc::printing::sheet::kVerticalSheetSize, kVerticalPaper);
        writeBackground("bg_film.bmp", sc::printing::sheet::kFilmSheetSize, kFilmPaper);
        pdf = folder.host("printed.pdf");
        dialogs.pdfOutput = pdf;
        form = std::make_unique<TConvertForm1>(folder.path(), dialogs);
        if (show) {
            form->show();
            form->choosePrintJob();
        }
    }
    void writeBackground(const char* name, Point size, QRgb colour) {
        QImage sheet(size.x, size.y, QImage::Format_RGB32);
        sheet.fill(colour);
        ASSERT_TRUE(sheet.save(folder.host(QLatin1String(name)), "BMP"));
    }
    template <typename T = QWidget> T* get(const char* name) {
        return form->findChild<T*>(QString::fromLatin1(name));
    }
    sc::GKitImage& preview() { return get<sc::TGKitImageEdit>("ImageEdit4")->model(); }
    sc::printing::TGKitImagePrint& printer() { return form->printControl(); }
    void chooseLayout(int index) {
        get<QComboBox>("C5_01")->setCurrentIndex(index);
        form->settingChanged(sc::settings::Key::PrintLayout);
    }
    // `count` small pictures p/000.bmp ... in colourOf(i); `broken` is not a picture.
    void dropPictures(int count, int broken = -1) {
        QStringList paths;
        QDir().mkpath(folder.host("p"));
        for (int i = 0; i < count; ++i) {
            const QString host = folder.host(QStringLiteral("p/%1.bmp").arg(i, 3, 10, QChar(u'0')));
            QImage img(16, 12, QImage::Format_RGB32);
            img.fill(colourOf(i));
            if (i == broken)
                folder.writeFile(host.mid(folder.path().size() + 1), "not a picture");
            else
                EXPECT_TRUE(img.save(host, "BMP"));
            paths << host;
        }
        form->dropFiles(paths);
    }
    // The page files of the program folder: each job's own, "bg_tate.<job>.tif".
    QStringList pageFiles(const char* stem = "bg_tate") const {
        return QDir(folder.path()).entryList({QLatin1String(stem) + ".*.tif"}, QDir::Files);
    }
    bool pageFileExists(const char* stem = "bg_tate") const { return !pageFiles(stem).isEmpty(); }
    // The page pictures inside the printed PDF, in page order.
    QList<QImage> printedPages() {
        const QString prefix = folder.host("page");
        run(QStringLiteral("pdfimages"), {QStringLiteral("-png"), pdf, prefix});
        QList<QImage> pages;
        for (const QString& name :
             QDir(folder.path()).entryList({"page-*.png"}, QDir::Files, QDir::Name)) {
            pages << QImage(folder.host(name)).convertToFormat(QImage::Format_RGB32);
            QFile::remove(folder.host(name));
        }
        return pages;
    }
    QString pdfInfo() { return run(QStringLiteral("pdfinfo"), {pdf}); }
};

// The thumbnail of frame `i` sits whole at `slot`: near its corners and at its centre it has
// its colour. (The PDF holds the pages JPEG-compressed: edges ring within their 16-pixel blocks.)
void expectFrame(const QImage& page, int i, Point slot) {
    for (const QPoint at : {QPoint(16, 16), QPoint(80, 60), QPoint(143, 103)})
        EXPECT_TRUE(near(page.pixel(slot.x + at.x(), slot.y + at.y()), colourOf(i)))
            << "frame " << i << " at " << slot.x << "," << slot.y << " +" << at.x() << "," << at.y()
            << ": " << std::hex << page.pixel(slot.x + at.x(), slot.y + at.y()) << " not "
            << colourOf(i);
    EXPECT_FALSE(near(page.pixel(slot.x - 1, slot.y - 1), colourOf(i)));
}

// Ink under a thumbnail: its caption.
int captionInk(const QImage& page, Point slot) {
    int ink = 0;
    for (int y = 0; y < 15; ++y)
        for (int x = 0; x < 143; ++x)
            ink += qGray(page.pixel(slot.x + 18 + x, slot.y + 120 + y)) < 64;
    return ink;
}

} // namespace

TEST(PrintCommand, VerticalFramesAndCaptionsLandAtTheirSlotsFiftyToASheet) {
    PrintWindow w;
    w.dropPictures(51);
    w.form->runVisiblePageJob();
    const QList<QImage> pages = w.printedPages();
    ASSERT_EQ(pages.size(), 2);
    ASSERT_EQ(pages[0].size(), QSize(1063, 1416));
    expectFrame(pages[0], 0, {18, 39});
    expectFrame(pages[0], 9, {18, 1281});
    expectFrame(pages[0], 10, {239, 39});
    expectFrame(pages[0], 49, {902, 1281});
    for (const Point slot : {Point{18, 39}, Point{18, 1281}, Point{902, 1281}})
        EXPECT_GT(captionInk(pages[0], slot), 20);
    expectFrame(pages[1], 50, {18, 39});
    EXPECT_GT(captionInk(pages[1], {18, 39}), 20);
    EXPECT_TRUE(near(pages[1].pixel(239 + 80, 39 + 60), kVerticalPaper)) << "one frame only";
    EXPECT_EQ(w.dialogs.shown, QStringList{"print"});
}

// Every slot of both layouts at its own pixel, typed out here rather than computed. The sheet
// one frame short of full stays on the preview, where it is read without the PDF's compression.
TEST(PrintCommand, EveryFrameAndCaptionSitsAtItsPixelInBothLayouts) {
    const int verticalX[] = {18, 239, 461, 681, 902};
    const int verticalY[] = {39, 177, 315, 453, 591, 729, 867, 1005, 1143, 1281};
    const int filmX[] = {16, 186, 356, 526, 696, 866, 1036, 1206, 1376, 1546, 1716};
    const int filmY[] = {22, 245, 468, 691, 914, 1137};
    const QRgb white = qRgb(255, 255, 255);
    for (const bool film : {false, true}) {
        PrintWindow w;
        w.chooseLayout(film ? 1 : 0);
        const int frames = film ? 65 : 49;
        w.dropPictures(frames);
        w.form->runVisiblePageJob();
        const QImage sheet = w.preview().image().convertToFormat(QImage::Format_RGB32);
        const QRgb paper = film ? kFilmPaper : kVerticalPaper;
        // Paper, or the sheet's edge: the backgrounds end where the last slots do.
        const auto paperAt = [&](int px, int py) {
            return !sheet.valid(px, py) || sheet.pixel(px, py) == paper;
        };
        for (int i = 0; i < frames; ++i) {
            // Down each column in the vertical layout, along each row in the film layout.
            const int x = film ? filmX[i % 11] : verticalX[i / 10];
            const int y = film ? filmY[i / 11] : verticalY[i % 10];
            const QRgb c = colourOf(i);
            SCOPED_TRACE(testing::Message() << (film ? "film" : "vertical") << " frame " << i);
            // 160 x 120 pixels from (x, y), the paper around it.
            EXPECT_EQ(sheet.pixel(x, y), c);
            EXPECT_EQ(sheet.pixel(x + 159, y + 119), c);
            EXPECT_NE(sheet.pixel(x - 1, y), c);
            EXPECT_NE(sheet.pixel(x, y - 1), c);
            EXPECT_TRUE(paperAt(x + 160, y + 119));
            EXPECT_TRUE(paperAt(x + 10, y + 120));
            if (!film) {
                // The caption's white 143 x 15 pixels from (x + 18, y + 120).
                EXPECT_EQ(sheet.pixel(x + 18, y + 120), white);
                EXPECT_EQ(sheet.pixel(x + 160, y + 134), white);
                EXPECT_TRUE(paperAt(x + 17, y + 120));
                EXPECT_TRUE(paperAt(x + 161, y + 134));
                EXPECT_TRUE(paperAt(x + 18, y + 135));
            }
        }
    }
}

TEST(PrintCommand, CaptionsShowTheNamesWithoutExtensionsInJapaneseToo) {
    PrintWindow w;
    const QStringList names{"IMG_0001.JPG", "a.b.jpg", QStringLiteral("写真.bmp"),
                            "12:30 a\\b.jpg"};
    QStringList paths;
    for (const QString& name : names) {
        QImage img(16, 12, QImage::Format_RGB32);
        img.fill(Qt::darkGreen);
        paths << w.folder.host(name);
        ASSERT_TRUE(img.save(paths.last(), name.endsWith("bmp") ? "BMP" : "JPG"));
    }
    w.form->dropFiles(paths);
    w.form->runVisiblePageJob();
    const QList<QImage> pages = w.printedPages();
    ASSERT_EQ(pages.size(), 1);
    // The list sorts without regard to case; ':' and '\\' are ordinary characters of a name.
    const QStringList captions{"12:30 a\\b", "a.b", "IMG_0001", QStringLiteral("写真")};
    const Point captionAt[] = {{36, 159}, {36, 297}, {36, 435}, {36, 573}};
    for (int k = 0; k < 4; ++k) {
        sc::printing::CaptionBitmap expected;
        expected.setFontSize(12);
        expected.draw(captions[k]);
        const Point at = captionAt[k];
        const QImage printed = pages[0].copy(at.x, at.y, 143, 15);
        EXPECT_EQ(printed.convertToFormat(QImage::Format_Mono, Qt::ThresholdDither),
                  expected.image().convertToFormat(QImage::Format_Mono, Qt::ThresholdDither))
            << qPrintable(captions[k]);
    }
    EXPECT_EQ(w.form->captionBitmap().image().size(), QSize(143, 15));
}

TEST(PrintCommand, FilmFramesFillRowsSixtySixToALandscapeSheet) {
    PrintWindow w;
    w.chooseLayout(1);
    w.dropPictures(67);
    w.form->runVisiblePageJob();
    QList<QImage> pages = w.printedPages();
    ASSERT_EQ(pages.size(), 2);
    expectFrame(pages[0], 10, {1716, 22});
    expectFrame(pages[0], 11, {16, 245});
    expectFrame(pages[0], 65, {1716, 1137});
    expectFrame(pages[1], 66, {16, 22});
    EXPECT_TRUE(near(pages[0].pixel(16 + 90, 22 + 128), kFilmPaper)) << "and no caption";
    EXPECT_FALSE(w.pageFileExists("bg_film"));

    // 66 pictures fill one sheet exactly: one landscape page, and the preview is left empty.
    w.form->clearSourceList();
    w.dropPictures(66);
    w.form->runVisiblePageJob();
    pages = w.printedPages();
    ASSERT_EQ(pages.size(), 1);
    EXPECT_TRUE(w.pdfInfo().contains(QRegularExpression("Page size: +842(\\.\\d+)? x 595")))
        << qPrintable(w.pdfInfo());
    EXPECT_TRUE(w.preview().isEmpty());
}

TEST(PrintCommand, ProgressIsJapaneseAndTheIdlePromptFollowsTheCaptions) {
    PrintWindow w;
    w.get<TShineSpeedButton>("ShineSpeedButton6")->setDown(true);
    w.chooseLayout(1);
    w.dropPictures(3);
    StatusRecorder status(w.get<TShadowLabel>("ShadowLabel21"));
    const QString before = w.get<TShadowLabel>("ShadowLabel21")->text();
    w.form->runVisiblePageJob();
    EXPECT_EQ(status.seen, QStringList({before, "1/3 枚目の印刷準備中です。",
                                        "2/3 枚目の印刷準備中です。", "3/3 枚目の印刷準備中です。",
                                        "Drop source files or a source folder here."}));
    const QList<QImage> pages = w.printedPages();
    ASSERT_EQ(pages.size(), 1);
    for (int i = 0; i < 3; ++i)
        expectFrame(pages[0], i, sc::printing::sheet::filmSlot(i));
    EXPECT_TRUE(near(pages[0].pixel(526 + 80, 22 + 60), kFilmPaper));
}

// Also after a job that left a full sheet (an empty canvas) or a partial one on the preview.
TEST(PrintCommand, AnEmptyListPrintsOnePageOfTheBareBackground) {
    PrintWindow w;
    const auto expectBarePage = [&](const char* after) {
        const QList<QImage> pages = w.printedPages();
        ASSERT_EQ(pages.size(), 1) << after;
        EXPECT_TRUE(near(pages[0].pixel(18 + 80, 39 + 60), kVerticalPaper)) << after;
        EXPECT_TRUE(near(pages[0].pixel(1000, 1400), kVerticalPaper)) << after;
        EXPECT_FALSE(w.pageFileExists());
    };
    const QString before = w.get<TShadowLabel>("ShadowLabel21")->text();
    w.form->runVisiblePageJob();
    EXPECT_EQ(w.get<TShadowLabel>("ShadowLabel21")->text(), before);
    expectBarePage("at the start");

    for (const int count : {50, 3}) {
        w.dropPictures(count);
        w.form->runVisiblePageJob();
        w.printedPages();
        w.form->clearSourceList();
        QFile::remove(w.pdf);
        w.form->runVisiblePageJob();
        expectBarePage(count == 50 ? "after a full sheet" : "after a partial sheet");
    }
    EXPECT_EQ(w.dialogs.shown.count("print"), 5);
}

// The picture was fine: the user is told which printer (here: PDF file) failed, not that a
// picture had an unknown format.
TEST(PrintCommand, APdfThatCannotBeCreatedNamesItsFileAndCause) {
    PrintWindow w;
    w.dialogs.pdfOutput = w.folder.host("missing-folder/out.pdf");
    w.dropPictures(1);
    w.form->runVisiblePageJob();
    EXPECT_EQ(w.dialogs.shown,
              QStringList({"print", "beep",
                           "message:" + w.dialogs.pdfOutput +
                               " を書き込めませんでした。\nファイルまたはフォルダが見つかりません。"
                               "\n処理を中止します。"}));
}

TEST(PrintCommand, ThreeVerticalSheetsPrintPortraitWithHeaderAndFooter) {
    PrintWindow w;
    w.get<QLineEdit>("C5_02")->setText(QStringLiteral("旅行 2004 header"));
    w.get<QLineEdit>("C5_03")->setText(QStringLiteral("footer line"));
    EXPECT_EQ(w.printer().HeaderFont().family(), QStringLiteral("ＭＳ Ｐゴシック"));
    EXPECT_EQ(w.printer().HeaderFont().pointSize(), 9);
    w.dropPictures(120);
    w.form->runVisiblePageJob();
    const QString info = w.pdfInfo();
    EXPECT_TRUE(info.contains(QRegularExpression("Pages: +3\\n"))) << qPrintable(info);
    EXPECT_TRUE(info.contains(QRegularExpression("Page size: +595(\\.\\d+)? x 842")));
    const QString text = run(QStringLiteral("pdftotext"), {w.pdf, QStringLiteral("-")});
    EXPECT_EQ(text.count(QStringLiteral("旅行 2004 header")), 3) << qPrintable(text);
    EXPECT_EQ(text.count(QStringLiteral("footer line")), 3);
    EXPECT_FALSE(w.pageFileExists());

    // The preview keeps the third sheet: frames 100 to 119.
    const QImage sheet = w.preview().image();
    const Point last = sc::printing::sheet::verticalSlot(19),
                after = sc::printing::sheet::verticalSlot(20);
    EXPECT_TRUE(near(sheet.pixel(last.x + 80, last.y + 60), colourOf(119), 0));
    EXPECT_TRUE(near(sheet.pixel(after.x + 80, after.y + 60), kVerticalPaper, 0));
}

TEST(PrintCommand, ChoosingALayoutAfterAJobShowsItsBackgroundAndSetsThePaper) {
    PrintWindow w;
    EXPECT_EQ(w.preview().image().pixel(500, 500), kVerticalPaper);
    EXPECT_EQ(w.printer().PaperOrientation(), 1);
    w.dropPictures(2);
    w.form->runVisiblePageJob();
    EXPECT_EQ(w.preview().image().pixel(18 + 80, 39 + 60), colourOf(0));
    w.chooseLayout(1);
    EXPECT_EQ(w.preview().image().size(), QSize(1876, 1257));
    EXPECT_EQ(w.preview().image().pixel(16 + 80, 22 + 60), kFilmPaper);
    EXPECT_EQ(w.printer().PaperOrientation(), 2);
    w.chooseLayout(0);
    EXPECT_EQ(w.preview().image().pixel(18 + 80, 39 + 60), kVerticalPaper);
    EXPECT_EQ(w.printer().PaperOrientation(), 1);
}

TEST(PrintCommand, ALayoutChoiceBeforeTheFirstShowChangesNothing) {
    PrintWindow w(false);
    w.get<QComboBox>("C5_01")->setCurrentIndex(1);
    w.form->settingChanged(sc::settings::Key::PrintLayout);
    EXPECT_TRUE(w.preview().isEmpty());
    EXPECT_EQ(w.printer().PaperOrientation(), 1);
    w.form->show();
    EXPECT_EQ(w.preview().image().size(), QSize(1063, 1416)) << "the reset chose vertical";
}

TEST(PrintCommand, AFailedJobLeavesItsPagesAndTheNextJobPrintsOnlyItsOwn) {
    PrintWindow w;
    w.dropPictures(53, 52); // the third picture of the second sheet is no picture
    w.form->runVisiblePageJob();
    EXPECT_EQ(
        w.dialogs.shown,
        QStringList({"beep", "message:非対応フォーマットが含まれていました。処理を中止します。"}));
    EXPECT_EQ(w.get<TShadowLabel>("ShadowLabel21")->text(), "52/53 枚目の印刷準備中です。");
    EXPECT_TRUE(w.pageFileExists()) << "the full first sheet stays in the page file";

    // Another copy of the program printing on this program folder, and two that were killed.
    const sc::fileops::RunMark printing(w.folder.path());
    const QString othersPages = printing.name("bg_tate", ".tif");
    w.folder.writeFile(QFileInfo(othersPages).fileName(), "another copy's pages");
    for (const char* left : {".sc-run.dead1.lock", "bg_tate.dead1.tif", "bg_film.dead2.tif"})
        w.folder.writeFile(left);

    w.form->clearSourceList();
    w.dropPictures(2);
    w.form->runVisiblePageJob();
    const QList<QImage> pages = w.printedPages();
    ASSERT_EQ(pages.size(), 1) << "the failed job's sheet is not printed again";
    expectFrame(pages[0], 1, {18, 177});
    EXPECT_EQ(w.pageFiles(), QStringList{QFileInfo(othersPages).fileName()});
    EXPECT_FALSE(w.pageFileExists("bg_film"));
    QFile others(othersPages);
    ASSERT_TRUE(others.open(QIODevice::ReadOnly));
    EXPECT_EQ(others.readAll(), "another copy's pages");
    EXPECT_EQ(QDir(w.folder.path()).entryList({".sc-run.*"}, QDir::Files | QDir::Hidden).size(), 1)
        << "only the live copy's mark";
}

TEST(PrintCommand, CancellingThePrintDialogPrintsNothingAndRemovesThePages) {
    PrintWindow w;
    w.dialogs.pdfOutput.clear();
    w.dropPictures(1);
    w.form->runVisiblePageJob();
    EXPECT_EQ(w.dialogs.shown, QStringList{"print"});
    EXPECT_FALSE(QFileInfo::exists(w.pdf));
    EXPECT_FALSE(w.pageFileExists());
}

TEST(PrintCommand, AMissingBackgroundEmptiesThePreviewQuietlyAndFailsTheJobNamingIt) {
    PrintWindow w;
    w.dropPictures(1);
    QFile::remove(w.folder.host("bg_film.bmp"));
    w.chooseLayout(1);
    EXPECT_TRUE(w.preview().isEmpty()) << "no stale sheet poses as the film layout";
    EXPECT_EQ(w.printer().PaperOrientation(), 2);
    EXPECT_TRUE(w.dialogs.shown.isEmpty());
    w.form->runVisiblePageJob();
    const QString failure =
        w.folder.host("bg_film.bmp") +
        " を読み込めませんでした。\nファイルまたはフォルダが見つかりません。\n処理を中止します。";
    EXPECT_EQ(w.dialogs.shown, QStringList({"beep", "message:" + failure}));
}

// The second sheet cannot be added: the page file keeps the first, no temporary is left, the
// message names the page file and why, and nothing is printed.
TEST(PrintCommand, APageFileThatCannotGrowKeepsItsPagesAndNamesTheCause) {
    PrintWindow w;
    w.dropPictures(51);
    {
        sc::fileops::WriteFaults faults(sc::fileops::WriteStep::Rename, 2, ENOSPC);
        w.form->runVisiblePageJob();
    }
    ASSERT_EQ(w.pageFiles().size(), 1);
    const QString pages = w.folder.host(w.pageFiles().first());
    EXPECT_EQ(w.dialogs.shown,
              QStringList({"beep", "message:" + pages +
                                       " を書き込めませんでした。\nディスクの空き容量が足りません。"
                                       "\n処理を中止します。"}));
    EXPECT_EQ(sc::printing::tiffPageSizes(pages).size(), 1);
    EXPECT_FALSE(
        QDir(w.folder.path()).entryList(QDir::Hidden | QDir::Files).join(u'|').contains(".sc-"));
}

// On a real file system filled to the brim, printing to a PDF is not called done: the
// failure names the file and its cause, and no cut-short file is left under its name.
TEST(PrintCommand, APdfThatDoesNotFitOnTheDiskIsNamedWithItsCause) {
    PrintWindow w;
    const sc::test::SmallTmpfs disk(w.folder.host("small"), 1 << 20);
    if (!disk.mounted())
        GTEST_SKIP() << "mounting a tmpfs needs root";
    disk.fillLeaving(16 * 1024);
    w.dialogs.pdfOutput = w.folder.host("small/out.pdf");
    w.dropPictures(1);
    w.form->runVisiblePageJob();
    EXPECT_EQ(w.dialogs.messages(),
              QStringList({"message:" + w.dialogs.pdfOutput +
                           " を書き込めませんでした。\nディスクの空き容量が足りません。"
                           "\n処理を中止します。"}));
    EXPECT_FALSE(QFile::exists(w.dialogs.pdfOutput));
}

// Sheets are composed in the program's own memory: whatever the desktop's clipboard held
// before a print job, it holds after, and the sheet has the pixels it always had (the sum was
// taken from sheets composed through the clipboard).
TEST(PrintCommand, TheClipboardIsLeftAloneAndTheSheetKeepsItsPixels) {
    PrintWindow w;
    QStringList paths;
    const QStringList names{"IMG_0001.JPG", "a.b.bmp", QStringLiteral("写真 12:30.bmp"),
                            "long name that is cut at the edge.bmp"};
    for (int i = 0; i < names.size(); ++i) {
        QImage img(64 + 8 * i, 48, QImage::Format_RGB32);
        for (int y = 0; y < img.height(); ++y)
            for (int x = 0; x < img.width(); ++x)
                img.setPixel(x, y, qRgb((x * 4 + i * 40) % 256, (y * 5) % 256, (x * y) % 256));
        paths << w.folder.host(names[i]);
        ASSERT_TRUE(img.save(paths.last(), names[i].endsWith("JPG") ? "JPG" : "BMP"));
    }
    w.form->dropFiles(paths);
    auto* sentinel = new QMimeData;
    sentinel->setText(QStringLiteral("the user's own words"));
    QGuiApplication::clipboard()->setMimeData(sentinel);

    w.form->runVisiblePageJob();
    ASSERT_EQ(w.printedPages().size(), 1);
    EXPECT_EQ(QGuiApplication::clipboard()->text(), QStringLiteral("the user's own words"));
    EXPECT_TRUE(QGuiApplication::clipboard()->image().isNull());
    const QImage sheet = w.preview().image();
    ASSERT_EQ(sheet.format(), QImage::Format_RGB32);
    QCryptographicHash sum(QCryptographicHash::Sha1);
    for (int y = 0; y < sheet.height(); ++y)
        sum.addData(QByteArrayView(reinterpret_cast<const char*>(sheet.constScanLine(y)),
                                   sheet.width() * 4));
    EXPECT_EQ(sum.result().toHex().toStdString(), "8988a750204c8588a4145fac39c6c9c6ccd0d884");
}
