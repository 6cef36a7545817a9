// What a photo carries beside its pixels survives a load and a JPEG save.
#include "imaging/JpegMetadata.h"
#include "CameraJpeg.h"
#include "TempProgramFolder.h"
#include "TestPictures.h"
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

// Loads `source` and saves it as a JPEG at `out`.
void reencode(GKitImage& m, const QString& source, const QString& out) {
    m.setInputFileName(source);
    m.Load();
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
    back.setInputFileName(out);
    back.Load();
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
    m.setInputFileName(camera);
    m.Load();
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
    m.setInputFileName(camera);
    m.Load();
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
