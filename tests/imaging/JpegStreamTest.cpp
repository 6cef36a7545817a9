// The encoding decoded along the way gives encodeJpeg's bytes and decodeJpeg's picture of them,
// whatever the picture, quality, colours, marker segments and scale.
#include "imaging/JpegStream.h"
#include "CameraJpeg.h"
#include "TestPictures.h"
#include "imaging/GKitImage.h"

#include <gtest/gtest.h>

using namespace sc::imaging;

namespace {

QByteArray segment(uchar marker, const QByteArray& payload) {
    const qsizetype length = payload.size() + 2;
    return QByteArray("\xff") + char(marker) + char(length >> 8) + char(length & 0xff) + payload;
}

void expectSameAsOneAfterTheOther(const QImage& picture, const JpegSettings& s, DecodeScale scale,
                                  const std::string& what) {
    const EncodedAndDecoded both = encodeJpegDecodingAlong(picture, s, scale);
    const QByteArray bytes = encodeJpeg(picture, s);
    EXPECT_TRUE(both.bytes == bytes)
        << what << ": " << both.bytes.size() << " bytes, not " << bytes.size();
    const Decoded decoded =
        decodeJpeg(reinterpret_cast<const uchar*>(bytes.constData()), bytes.size(), scale);
    EXPECT_EQ(both.decoded.image.size(), decoded.image.size()) << what;
    EXPECT_TRUE(both.decoded.image == decoded.image) << what;
    EXPECT_EQ(both.decoded.depth, decoded.depth) << what;
}

} // namespace

TEST(JpegStream, GivesTheBytesAndPictureOfEncodingThenDecoding) {
    const QByteArray exif =
        segment(0xe1, QByteArray("Exif\0\0", 6) +
                          sc::test::cameraExif("Make", "Model", "2004:01:02 09:05:06", 1));
    const QByteArray profile =
        segment(0xe2, QByteArray("ICC_PROFILE\0\x01\x01", 14) + QByteArray(3000, 'p'));
    const DecodeScale view{QSize(164, 124), DecodeScale::Mode::Fit};
    for (const QSize size : {QSize(1, 1), QSize(17, 33), QSize(121, 91), QSize(1000, 750)}) {
        const QImage picture = sc::test::photoLike(size.width(), size.height());
        for (const int level : {1, 4, 7, 10}) {
            JpegSettings s;
            s.level = level;
            const std::string what = std::to_string(size.width()) + "x" +
                                     std::to_string(size.height()) + " level " +
                                     std::to_string(level);
            expectSameAsOneAfterTheOther(picture, s, view, what);
            s.segments = exif + profile;
            expectSameAsOneAfterTheOther(picture, s, {}, what + " with segments, whole");
        }
        JpegSettings grey;
        grey.gray = true;
        expectSameAsOneAfterTheOther(picture, grey, view, "grey");
        JpegSettings progressive;
        progressive.progressive = true;
        expectSameAsOneAfterTheOther(picture, progressive, view, "progressive");
    }
}

// Told through the environment, TurboJPEG encodes otherwise; the bytes still follow it. An
// EXIF orientation other than a copy's turns the decoded picture as decodeJpeg turns it.
TEST(JpegStream, FollowsTheEncoderWhereTheEnvironmentChangesItAndTheDecoderWhereItTurns) {
    const QImage picture = sc::test::photoLike(300, 200);
    const DecodeScale view{QSize(164, 124), DecodeScale::Mode::Fit};
    qputenv("TJ_OPTIMIZE", "1");
    expectSameAsOneAfterTheOther(picture, {}, view, "optimised");
    qunsetenv("TJ_OPTIMIZE");
    JpegSettings turned;
    turned.segments =
        segment(0xe1, QByteArray("Exif\0\0", 6) +
                          sc::test::cameraExif("Make", "Model", "2004:01:02 09:05:06", 6));
    expectSameAsOneAfterTheOther(picture, turned, view, "turned");
}

// Asked between rows, an encoding no longer wanted stops there and gives nothing.
TEST(JpegStream, AnEncodingNoLongerWantedStopsAndGivesNothing) {
    const QImage picture = sc::test::photoLike(640, 480);
    int asked = 0;
    const EncodedAndDecoded stopped = encodeJpegDecodingAlong(
        picture, {}, {QSize(164, 124), DecodeScale::Mode::Fit}, [&] { return ++asked < 3; });
    EXPECT_TRUE(stopped.bytes.isEmpty());
    EXPECT_TRUE(stopped.decoded.image.isNull());
    EXPECT_EQ(asked, 3);
}
