// Page files: appended to safely, read back page by page.
#include "SmallTmpfs.h"
#include "TempProgramFolder.h"
#include "TestDeadline.h"
#include "TestPictures.h"
#include "platform/Error.h"
#include "platform/FileWrites.h"
#include "printing/TiffPages.h"

#include <QDir>
#include <QFile>
#include <cerrno>
#include <gtest/gtest.h>
#include <tiffio.h>
#include <vector>

using sc::Error;
using sc::printing::appendTiffPage;
using sc::printing::TiffPageReader;
using namespace sc::test;

namespace {

QByteArray bytesOf(const QString& path) {
    QFile f(path);
    f.open(QIODevice::ReadOnly);
    return f.readAll();
}

void writeBytes(const QString& path, const QByteArray& bytes) {
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
    f.write(bytes);
}

quint32 get32(const QByteArray& b, qint64 at) {
    quint32 v = 0;
    for (int i = 3; i >= 0; --i)
        v = v << 8 | uchar(b[qsizetype(at + i)]);
    return v;
}
void put32(QByteArray& b, qint64 at, quint32 v) {
    for (int i = 0; i < 4; ++i)
        b[qsizetype(at + i)] = char(v >> (8 * i));
}
quint16 get16(const QByteArray& b, qint64 at) {
    return quint16(uchar(b[qsizetype(at)]) | uchar(b[qsizetype(at + 1)]) << 8);
}

// Offsets of the directories of a little-endian file, following its chain.
QList<quint32> pageOffsets(const QByteArray& b) {
    QList<quint32> offsets;
    for (quint32 at = get32(b, 4); at != 0 && offsets.size() < 10;
         at = get32(b, at + 2 + 12 * get16(b, at)))
        offsets << at;
    return offsets;
}
qint64 linkOf(const QByteArray& b, quint32 page) {
    return page + 2 + 12 * get16(b, page);
}
// Where the value of `tag` sits in the directory at `page`.
qint64 valueOf(const QByteArray& b, quint32 page, quint16 tag) {
    for (int i = 0; i < get16(b, page); ++i)
        if (get16(b, page + 2 + 12 * i) == tag)
            return page + 2 + 12 * i + 8;
    return -1;
}

// Appending to a broken file raises and leaves it byte for byte as it was; reading it raises.
void expectRefused(const QString& path, const QByteArray& broken) {
    writeBytes(path, broken);
    EXPECT_THROW(appendTiffPage(path, filled(4, 2, qRgb(1, 2, 3))), Error);
    EXPECT_EQ(bytesOf(path), broken);
    EXPECT_THROW(TiffPageReader{path}, Error);
}

} // namespace

TEST(PageFile, PagesAppendedToAnotherWritersBigEndianFileReadBackExactly) {
    TempProgramFolder folder;
    const QString path = folder.host("bg_film.tif");
    // One 5 x 3 grey page written big-endian by libtiff itself.
    TIFF* tif = TIFFOpen(QFile::encodeName(path).constData(), "wb");
    ASSERT_NE(tif, nullptr);
    TIFFSetField(tif, TIFFTAG_IMAGEWIDTH, 5);
    TIFFSetField(tif, TIFFTAG_IMAGELENGTH, 3);
    TIFFSetField(tif, TIFFTAG_BITSPERSAMPLE, 8);
    TIFFSetField(tif, TIFFTAG_SAMPLESPERPIXEL, 1);
    TIFFSetField(tif, TIFFTAG_PHOTOMETRIC, PHOTOMETRIC_MINISBLACK);
    TIFFSetField(tif, TIFFTAG_ROWSPERSTRIP, 3);
    const uchar grey[15] = {0, 10, 20, 30, 40, 50, 60, 70, 80, 90, 100, 110, 120, 130, 140};
    TIFFWriteEncodedStrip(tif, 0, const_cast<uchar*>(grey), 15);
    TIFFClose(tif);
    if (bytesOf(path).size() % 2 == 0) // an odd length, as other writers may leave
        writeBytes(path, bytesOf(path) + "!");

    const QImage second = photoLike(31, 17), third = filled(1063, 1416, qRgb(9, 200, 77));
    appendTiffPage(path, second);
    appendTiffPage(path, third);

    const TiffPageReader reader(path);
    ASSERT_EQ(reader.pageCount(), 3);
    EXPECT_EQ(reader.page(0).pixel(4, 2), qRgb(140, 140, 140));
    EXPECT_EQ(reader.page(1), second);
    EXPECT_EQ(reader.page(2), third);
    tif = TIFFOpen(QFile::encodeName(path).constData(), "r");
    ASSERT_NE(tif, nullptr);
    EXPECT_EQ(TIFFNumberOfDirectories(tif), 3) << "libtiff reads the same chain";
    // Every page and its data start on a word boundary, as TIFF asks, after the odd-length
    // first writer too.
    for (tdir_t page = 0; page < 3; ++page) {
        ASSERT_TRUE(TIFFSetDirectory(tif, page));
        EXPECT_EQ(TIFFCurrentDirOffset(tif) % 2, 0u) << "page " << page;
        EXPECT_EQ(TIFFGetStrileOffset(tif, 0) % 2, 0u) << "page " << page;
    }
    TIFFClose(tif);
    EXPECT_EQ(QDir(folder.path()).entryList(QDir::Files | QDir::Hidden).size(), 1)
        << "no temporary file is left beside it";
}

TEST(PageFile, ANewFileHoldsEachPictureAsAnUncompressedRgbPageThatLibtiffReads) {
    TempProgramFolder folder;
    const QString path = folder.host("bg_tate.tif");
    const QList<QSize> sizes{{1063, 1416}, {160, 120}, {31, 17}};
    for (const QSize& s : sizes)
        appendTiffPage(path, filled(s.width(), s.height(), qRgb(s.width() % 256, 20, 200)));
    EXPECT_EQ(sc::printing::tiffPageSizes(path), sizes);

    TIFF* tif = TIFFOpen(QFile::encodeName(path).constData(), "r");
    ASSERT_NE(tif, nullptr);
    EXPECT_EQ(TIFFNumberOfDirectories(tif), 3);
    TIFFSetDirectory(tif, 2);
    quint16 compression = 0, samples = 0;
    TIFFGetField(tif, TIFFTAG_COMPRESSION, &compression);
    TIFFGetField(tif, TIFFTAG_SAMPLESPERPIXEL, &samples);
    EXPECT_EQ(compression, COMPRESSION_NONE);
    EXPECT_EQ(samples, 3);
    std::vector<uchar> row(size_t(TIFFScanlineSize(tif)));
    TIFFReadScanline(tif, row.data(), 5, 0);
    EXPECT_EQ(row[3], 31);
    EXPECT_EQ(row[4], 20);
    EXPECT_EQ(row[5], 200);
    TIFFClose(tif);

    expectRefused(folder.host("notes.tif"), "not a tiff");
}

TEST(PageFile, AChainThatLoopsIsRefusedAtOnce) {
    sc::test::TestDeadline::limitCurrentTest(std::chrono::seconds(5)); // not followed for ever
    TempProgramFolder folder;
    const QString path = folder.host("bg_tate.tif");
    for (int i = 0; i < 2; ++i)
        appendTiffPage(path, filled(6, 4, qRgb(i, 0, 0)));
    const QByteArray good = bytesOf(path);
    const QList<quint32> pages = pageOffsets(good);
    ASSERT_EQ(pages.size(), 2);

    QByteArray onItself = good, backToFirst = good;
    put32(onItself, linkOf(good, pages[1]), pages[1]);
    put32(backToFirst, linkOf(good, pages[1]), pages[0]);
    expectRefused(path, onItself);
    expectRefused(path, backToFirst);
}

TEST(PageFile, ADamagedPageIsRefusedNotBuriedUnderTheNewOne) {
    TempProgramFolder folder;
    const QString path = folder.host("bg_tate.tif");
    for (int i = 0; i < 2; ++i)
        appendTiffPage(path, filled(4, 2, qRgb(0, i, 0)));
    const QByteArray good = bytesOf(path);
    const QList<quint32> pages = pageOffsets(good);
    ASSERT_EQ(pages.size(), 2);

    QByteArray linkOutside = good, entriesOutside = good, dataOutside = good, noEntries = good;
    put32(linkOutside, linkOf(good, pages[1]), quint32(good.size() + 64));
    entriesOutside[qsizetype(pages[1])] = char(0xff);
    entriesOutside[qsizetype(pages[1] + 1)] = char(0x7f);
    // The last page a directory of no entries, its link (right after the count) ending the chain.
    noEntries.replace(qsizetype(pages[1]), 6, QByteArray(6, '\0'));
    const qint64 strip = valueOf(good, pages[0], TIFFTAG_STRIPOFFSETS);
    ASSERT_GT(strip, 0);
    put32(dataOutside, strip, quint32(good.size() - 2));
    // What libtiff reads past but the next page would change: the first page's data over the
    // last page's link, a value (a page name) beyond the file's end, byte counts left out (and
    // so guessed from the file's size).
    QByteArray overLink = good, valueOutside = good, noByteCounts = good;
    put32(overLink, strip, quint32(linkOf(good, pages[1]) - 20));
    const qint64 orientation = valueOf(good, pages[1], TIFFTAG_ORIENTATION) - 8;
    ASSERT_GT(orientation, 0);
    const QByteArray pageName("\x1d\x01\x02\x00\x14\x00\x00\x00", 8); // tag 285, ASCII, 20
    valueOutside.replace(orientation, 8, pageName);
    put32(valueOutside, orientation + 8, quint32(good.size() - 10));
    const qint64 byteCounts = valueOf(good, pages[1], TIFFTAG_STRIPBYTECOUNTS) - 8;
    ASSERT_GT(byteCounts, 0);
    noByteCounts.replace(byteCounts, 2, QByteArray("\xff\xff", 2)); // a tag nobody knows
    const QByteArray* broken[] = {&linkOutside, &entriesOutside, &dataOutside, &noEntries,
                                  &overLink,    &valueOutside,   &noByteCounts};
    for (int i = 0; i < 7; ++i) {
        SCOPED_TRACE(i);
        expectRefused(path, *broken[i]);
    }
    expectRefused(path, good.left(good.size() - 20));
    expectRefused(path, QByteArray("II*\0\0\x10\0\0short", 13));

    writeBytes(path, good);
    appendTiffPage(path, filled(4, 2, qRgb(0, 0, 9)));
    EXPECT_EQ(TiffPageReader(path).pageCount(), 3) << "the sound file still takes a page";
}

// The disk fails while a page is added: the message names the page file and the cause, and the
// file keeps the pages it had.
TEST(PageFile, AFailedWriteWhileAddingAPageNamesThePageFileAndItsCause) {
    TempProgramFolder folder;
    SmallTmpfs disk(folder.host("small"), 64 * 1024);
    if (!disk.mounted())
        GTEST_SKIP() << "mounting a tmpfs needs root";
    const QString path = folder.host("small/pages.tif");
    appendTiffPage(path, filled(4, 2, qRgb(1, 2, 3)));
    const QByteArray before = bytesOf(path);
    disk.fillLeaving(0);
    try {
        appendTiffPage(path, filled(100, 100, qRgb(4, 5, 6)));
        ADD_FAILURE() << "the page was added to a full disk";
    } catch (const Error& e) {
        EXPECT_EQ(e.shownText(), path +
                                     " を書き込めませんでした。\nディスクの空き容量が足りません。\n"
                                     "処理を中止します。");
    }
    EXPECT_EQ(bytesOf(path), before);
    EXPECT_EQ(QDir(folder.host("small")).entryList(QDir::Files | QDir::Hidden),
              QStringList({".ballast", "pages.tif"}));

    // The last step, the rename over the old file, refused.
    const QString other = folder.host("pages.tif");
    appendTiffPage(other, filled(4, 2, qRgb(1, 2, 3)));
    try {
        const sc::fileops::WriteFaults faults(sc::fileops::WriteStep::Rename, 1, EACCES);
        appendTiffPage(other, filled(4, 2, qRgb(4, 5, 6)));
        ADD_FAILURE() << "the page was added although its file could not be replaced";
    } catch (const Error& e) {
        EXPECT_EQ(e.shownText(), other + " を書き込めませんでした。\nアクセスが拒否されました。\n"
                                         "処理を中止します。");
    }
    EXPECT_EQ(TiffPageReader(other).pageCount(), 1);

    // A new page file that cannot even be created.
    const sc::fileops::WriteFaults faults(sc::fileops::WriteStep::Create, 1, EROFS);
    try {
        appendTiffPage(folder.host("new.tif"), filled(4, 2, qRgb(1, 2, 3)));
        ADD_FAILURE() << "the page was added on a read-only drive";
    } catch (const Error& e) {
        EXPECT_EQ(e.shownText(), folder.host("new.tif") +
                                     " を書き込めませんでした。\n書き込みできないドライブです。\n"
                                     "処理を中止します。");
    }
}
