// The after view of the preview is the file the JPEG job writes: the same bytes for the same
// source and settings, at every quality item, tuned, for BMP and JPEG sources.
#include "JobFixture.h"
#include "PreviewFixture.h"

#include <QFile>

using namespace sc;
using namespace sc::test;

TEST(PreviewAndJob, TheAfterViewIsByteForByteTheFileTheJobWrites) {
    PreviewFixture f;
    RecordingStatusLine status;
    GKitImage jobImage;
    QStringList sources = {f.source("shot.bmp", stripes(120, 90)),
                           f.source("shot2.jpg", stripes(90, 120))};
    if (!corpusDir().isEmpty()) { // a camera-like JPEG with an EXIF block
        sources << f.folder.host("exif.jpg");
        QFile::copy(corpusDir() + "/jpeg/exif-orientation-6.jpg", sources.last());
    }
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
            f.preview.run();

            TSourceList list;
            list.add(source);
            jobs::JpegJob(jobImage, list, status, f.dialogs, [] {}).run(s);
            QFile written(*jobs::outputPathFor(source, s));
            ASSERT_TRUE(written.open(QIODevice::ReadOnly)) << written.fileName().toStdString();
            const QByteArray job = written.readAll();
            ASSERT_EQ(f.encoded.size(), 1);
            EXPECT_TRUE(f.encoded[0] == job) << "item " << item << " " << source.toStdString();
            EXPECT_EQ(f.afterText, TSourcePreview::afterSizeText(job.size()));
        }
    }
}
