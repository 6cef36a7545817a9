// What a photo carries beside its pixels survives a load and a JPEG save.
#include "imaging/JpegMetadata.h"
#include "CameraJpeg.h"
#include "TempProgramFolder.h"
#include "TestPictures.h"
#include "imaging/Codecs.h"
#include "imaging/GKitImage.h"

#include <QColorSpace>
#include <QFile>
#include <gtest/gtest.h>

using sc::GKitImage;
using sc::imaging::JpegMetadata;
using namespace sc::test;

namespace {

QByteArray bytesOf(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

JpegMetadata metadataOf(const QString& path) {
    const QByteArray bytes = bytesOf(path);
    return sc::imaging::readJpegMetadata(reinterpret_cast<const uchar*>(bytes.constData()),
                                         bytes.size());
}

// A JPEG header of APP segments (marker, payload) up to the start of a scan.
JpegMetadata metadataOfHeaders(const QList<std::pair<uchar, QByteArray>>& segments) {
    QByteArray bytes("\xff\xd8");
    for (const auto& [marker, payload] : segments) {
        const int length = int(payload.size()) + 2;
        bytes += char(0xff);
        bytes += char(marker);
        bytes += char(length >> 8);
        bytes += char(length & 0xff);
        bytes += payload;
    }
    bytes += QByteArray("\xff\xda\x00\x02", 4);
    return sc::imaging::readJpegMetadata(reinterpret_cast<const uchar*>(bytes.constData()),
                                         bytes.size());
}

// An ICC_PROFILE chunk `sequence` of `count`.
std::pair<uchar, QByteArray> iccChunk(int sequence, int count, const QByteArray& bytes) {
    return {0xe2, QByteArray("ICC_PROFILE", 12) + char(sequence) + char(count) + bytes};
}

// Loads `source` and saves it as a JPEG at `out`.
void reencode(GKitImage& m, const QString& source, const QString& out) {
    m.Load(source);
    m.Save(out);
}

} // namespace

TEST(JpegMetadata, ExifAndProfileSurviveASaveWithTheOrientationUpright) {
    TempProgramFolder folder;
    const QString out = folder.host("out.jpg");
    GKitImage m;

    const QByteArray exif =
        cameraExif("SC Optics", "Model 7", "2004:01:02 09:05:06", 6, "\xff\xd8 thumbnail \xff\xd9");
    ASSERT_NE(thumbnailLink(exif), 0u);
    folder.writeFile("camera.jpg", jpegWithExif(filled(16, 12, qRgb(9, 99, 199)), exif));
    reencode(m, folder.host("camera.jpg"), out);
    const JpegMetadata kept = metadataOf(out);
    EXPECT_EQ(m.image().size(), QSize(12, 16)); // turned upright once, on load
    EXPECT_TRUE(kept.exif.contains("SC Optics"));
    EXPECT_TRUE(kept.exif.contains("Model 7"));
    EXPECT_TRUE(kept.exif.contains("2004:01:02 09:05:06"));
    EXPECT_EQ(kept.exif.size(), exif.size());
    EXPECT_EQ(kept.orientation, 1);
    EXPECT_EQ(thumbnailLink(kept.exif), 0u); // it shows the picture turned: not carried
    GKitImage back;                          // and it is not turned a second time
    back.Load(out);
    EXPECT_EQ(back.image().size(), QSize(12, 16));

    const QString corpus = corpusDir();
    if (corpus.isEmpty())
        GTEST_SKIP() << "no picture corpus beside the checkout";
    for (int n = 1; n <= 8; ++n) {
        reencode(m, corpus + QStringLiteral("/jpeg/exif-orientation-%1.jpg").arg(n), out);
        const JpegMetadata meta = metadataOf(out);
        EXPECT_TRUE(meta.exif.contains(QStringLiteral("2021:06:0%1 10:2%1:3%1").arg(n).toLatin1()))
            << n;
        EXPECT_EQ(meta.orientation, 1) << n;
    }
    for (const char* name : {"icc-profile.jpg", "icc-profile-multichunk.jpg"}) {
        const QString source = corpus + "/jpeg/" + name;
        reencode(m, source, out);
        const QByteArray profile = QImage(source).colorSpace().iccProfile();
        ASSERT_FALSE(profile.isEmpty()) << name;
        EXPECT_EQ(metadataOf(out).icc, profile) << name;
        EXPECT_EQ(QImage(out).colorSpace().iccProfile(), profile) << name;
    }
    // A colour profile never describes a grey stream.
    m.ChangeColorDepth(GKitImage::kDepthGray);
    m.Save(out);
    EXPECT_TRUE(metadataOf(out).icc.isEmpty());
}

TEST(JpegMetadata, ResizeDeleteAndOtherPicturesDropItAndDamagedExifIsDroppedOnLoad) {
    TempProgramFolder folder;
    const QString out = folder.host("out.jpg");
    const QString camera = folder.writeFile(
        "camera.jpg", jpegWithExif(filled(16, 12, qRgb(9, 99, 199)),
                                   cameraExif("SC Optics", "Model 7", "2004:01:02 09:05:06", 1)));
    GKitImage m;
    m.Load(camera);
    m.ResizeImage(8, 6);
    m.Save(out);
    EXPECT_TRUE(metadataOf(out).isEmpty()); // a thumbnail carries none
    m.Reset();
    m.Save(out);
    EXPECT_FALSE(metadataOf(out).exif.isEmpty()); // the picture as loaded carries it again
    m.Delete();
    m.setImage(filled(4, 4, qRgb(1, 2, 3)));
    m.Save(out);
    EXPECT_TRUE(metadataOf(out).isEmpty());
    ASSERT_TRUE(filled(4, 4, qRgb(1, 2, 3)).save(folder.host("plain.bmp"), "BMP"));
    m.Load(camera);
    reencode(m, folder.host("plain.bmp"), out);
    EXPECT_TRUE(metadataOf(out).isEmpty());

    // A block damaged past its first IFD is dropped; the picture it turns still stands upright.
    QByteArray cut = cameraExif("SC Optics", "Model 7", "2004:01:02 09:05:06", 6);
    cut.chop(4);
    reencode(m, folder.writeFile("cut.jpg", jpegWithExif(filled(16, 12, qRgb(1, 2, 3)), cut)), out);
    EXPECT_EQ(m.image().size(), QSize(12, 16));
    EXPECT_TRUE(metadataOf(out).exif.isEmpty());

    const QString corpus = corpusDir();
    if (corpus.isEmpty())
        GTEST_SKIP() << "no picture corpus beside the checkout";
    for (const char* name :
         {"exif-ifd-loop.jpg", "exif-huge-count.jpg", "exif-ifd-out-of-range.jpg"}) {
        reencode(m, corpus + "/jpeg/" + name, out);
        EXPECT_EQ(m.image().size(), QSize(640, 480)) << name;
        EXPECT_TRUE(metadataOf(out).exif.isEmpty()) << name;
    }
}

// A header may hold a second EXIF block (an editor's, or a stray copy): the first one is the
// picture's. A profile is whole only when its chunks 1 … count agree on the count, each once.
TEST(JpegMetadata, TheFirstExifBlockCountsAndAProfileNeedsChunksThatAgree) {
    const QByteArray first = cameraExif("First", "Model 1", "2004:01:02 09:05:06", 6);
    const QByteArray second = cameraExif("Second", "Model 2", "2005:01:02 09:05:06", 3);
    const JpegMetadata both = metadataOfHeaders(
        {{0xe1, QByteArray("Exif\0\0", 6) + first}, {0xe1, QByteArray("Exif\0\0", 6) + second}});
    EXPECT_EQ(both.exif, first);
    EXPECT_EQ(both.orientation, 6);

    EXPECT_EQ(metadataOfHeaders({iccChunk(2, 2, "cd"), iccChunk(1, 2, "ab")}).icc, "abcd");
    const QList<QList<std::pair<uchar, QByteArray>>> broken = {
        {iccChunk(1, 2, "ab"), iccChunk(2, 3, "cd")},                       // counts disagree
        {iccChunk(1, 3, "ab"), iccChunk(2, 2, "cd"), iccChunk(3, 3, "ef")}, // one disagrees
        {iccChunk(1, 2, "ab"), iccChunk(1, 2, "ab")},                       // one repeated
        {iccChunk(1, 2, "ab")},                                             // one missing
        {iccChunk(0, 1, "ab")},                                             // no chunk 0
    };
    for (qsizetype i = 0; i < broken.size(); ++i)
        EXPECT_TRUE(metadataOfHeaders(broken[i]).icc.isEmpty()) << "case " << i;
}

// An EXIF block as large as one segment holds and a profile that takes two are kept whole; a
// block one byte larger is left out. Either way the converted file decodes.
TEST(JpegMetadata, BlocksUpToWhatASegmentHoldsAreKeptAndLargerOnesNeverBreakTheJpeg) {
    TempProgramFolder folder;
    QByteArray exif = cameraExif("SC Optics", "Model 7", "2004:01:02 09:05:06", 1);
    exif += QByteArray(65'527 - exif.size(), 'x'); // with "Exif\0\0": 65,533 bytes, the most
    QByteArray icc(70'000, 'p');
    icc.replace(16, 4, "RGB ");
    QByteArray camera = jpegWithExif(filled(16, 12, qRgb(9, 99, 199)), exif);
    for (const auto& [marker, payload] :
         {iccChunk(1, 2, icc.left(60'000)), iccChunk(2, 2, icc.mid(60'000))}) {
        const int length = int(payload.size()) + 2;
        camera.insert(2, QByteArray("\xff") + char(marker) + char(length >> 8) +
                             char(length & 0xff) + payload);
    }
    const QString out = folder.host("out.jpg");
    GKitImage m;
    reencode(m, folder.writeFile("camera.jpg", camera), out);
    EXPECT_EQ(metadataOf(out).exif, exif);
    EXPECT_EQ(metadataOf(out).icc, icc);
    GKitImage back;
    EXPECT_NO_THROW(back.Load(out));

    JpegMetadata tooLarge;
    tooLarge.exif = exif + 'x';
    sc::imaging::JpegSettings settings;
    settings.segments = sc::imaging::metadataSegments(tooLarge, false);
    const QString large = folder.writeFile(
        "large.jpg", sc::imaging::encodeJpeg(filled(16, 12, qRgb(9, 99, 199)), settings));
    EXPECT_NO_THROW(back.Load(large));
    EXPECT_EQ(back.image().size(), QSize(16, 12));
    EXPECT_TRUE(metadataOf(large).exif.isEmpty());
}
