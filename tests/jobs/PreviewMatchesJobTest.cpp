// The after view of the preview is the file the JPEG job writes: the same bytes for the same
// source and settings, at every quality item, tuned, for BMP and JPEG sources.
#include "CameraJpeg.h"
#include "JobFixture.h"
#include "PreviewFixture.h"

#include <QFile>

using sc::sources::TSourceList;
using sc::sources::TSourcePreview;

using namespace sc;
using namespace sc::test;

TEST(PreviewAndJob, TheAfterViewIsByteForByteTheFileTheJobWrites) {
    PreviewFixture f;
    RecordingStatusLine status;
    GKitImage jobImage;
    const QStringList sources = {
        f.source("shot.bmp", stripes(120, 90)), f.source("shot2.jpg", stripes(90, 120)),
        f.folder.writeFile(
            "camera.jpg",
            jpegWithExif(stripes(120, 90), cameraExif("Make", "Model", "2004:01:02 09:05:06", 6)))};
    QDir().mkpath(f.folder.host("out"));
    for (int item = 0; item < 4; ++item) {
        for (const QString& source : sources) {
            jobs::JpegJobSettings s;
            s.qualityIndex = item;
            s.brightness = 10, s.contrast = -20, s.red = 5, s.green = -5, s.blue = 15;
            s.hue = 30, s.saturation = 20, s.lightness = -10;
            s.renaming = 0;
            s.destination = 1;
            s.destinationFolder = f.folder.host("out");
            f.settings = {item, s.tuning()};
            f.selected = source;
            f.encoded.clear();
            f.run();

            ASSERT_EQ(f.encoded.size(), 1);
            EXPECT_EQ(f.afterText, TSourcePreview::afterSizeText(f.encoded[0].size()));

            TSourceList list;
            list.add(source);
            for (const int workers : {jobs::kOnWindowThread, 1, 2, 3, 4, 8}) {
                jobs::JpegJob job(jobImage, list, status, f.dialogs, [] {});
                job.setPictureWorkers(workers);
                job.run(s);
                QFile written(*jobs::outputPathFor(source, s));
                ASSERT_TRUE(written.open(QIODevice::ReadOnly)) << written.fileName().toStdString();
                EXPECT_TRUE(f.encoded[0] == written.readAll())
                    << "item " << item << " " << source.toStdString() << " " << workers
                    << " workers";
            }
        }
    }
}
