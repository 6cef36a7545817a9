#pragma once

#include <QBuffer>
#include <QByteArray>
#include <QImage>

namespace sc::test {

// The EXIF block a camera writes (big-endian): make, model and orientation in IFD0, the time
// taken in the Exif sub-IFD, and an embedded thumbnail in IFD1 when one is given.
inline QByteArray cameraExif(const QByteArray& make, const QByteArray& model,
                             const QByteArray& taken, quint16 orientation,
                             const QByteArray& thumbnail = {}) {
    QByteArray ifd0, data, exifIfd;
    auto be16 = [](QByteArray& out, quint32 v) { out += char(v >> 8), out += char(v); };
    auto be32 = [&](QByteArray& out, quint32 v) { be16(out, v >> 16), be16(out, v & 0xffff); };
    auto entry = [&](QByteArray& out, quint16 tag, quint16 type, quint32 count, quint32 value) {
        be16(out, tag), be16(out, type), be32(out, count), be32(out, value);
    };
    constexpr quint32 kIfd0 = 8, kData = kIfd0 + 2 + 4 * 12 + 4;
    auto text = [&](const QByteArray& s) { // ASCII value stored in the data area
        const quint32 at = kData + quint32(data.size());
        data += s + '\0';
        return at;
    };
    be16(ifd0, 4);
    entry(ifd0, 0x010f, 2, make.size() + 1, text(make));
    entry(ifd0, 0x0110, 2, model.size() + 1, text(model));
    entry(ifd0, 0x0112, 3, 1, quint32(orientation) << 16);
    const quint32 exifAt = kData + quint32(data.size());
    const quint32 takenAt = exifAt + 2 + 12 + 4;
    entry(ifd0, 0x8769, 4, 1, exifAt);
    const quint32 ifd1At = takenAt + quint32(taken.size()) + 1;
    be32(ifd0, thumbnail.isEmpty() ? 0 : ifd1At);
    be16(exifIfd, 1);
    entry(exifIfd, 0x9003, 2, taken.size() + 1, takenAt);
    be32(exifIfd, 0);
    QByteArray ifd1;
    if (!thumbnail.isEmpty()) { // JPEGInterchangeFormat and its length
        be16(ifd1, 2);
        entry(ifd1, 0x0201, 4, 1, ifd1At + 2 + 2 * 12 + 4);
        entry(ifd1, 0x0202, 4, 1, quint32(thumbnail.size()));
        be32(ifd1, 0);
    }
    return QByteArray("MM\0\x2a\0\0\0\x08", 8) + ifd0 + data + exifIfd + taken + '\0' + ifd1 +
           thumbnail;
}

// The IFD0 link to IFD1 (the embedded thumbnail) of a big-endian EXIF block of cameraExif.
inline quint32 thumbnailLink(const QByteArray& exif) {
    constexpr int kLinkAt = 8 + 2 + 4 * 12;
    const auto* p = reinterpret_cast<const uchar*>(exif.constData()) + kLinkAt;
    return exif.size() < kLinkAt + 4 ? 0 : quint32(p[0]) << 24 | p[1] << 16 | p[2] << 8 | p[3];
}

// A JPEG of `picture` carrying `exif` in an APP1 segment right after SOI.
inline QByteArray jpegWithExif(const QImage& picture, const QByteArray& exif) {
    QByteArray jpeg;
    QBuffer buffer(&jpeg);
    buffer.open(QIODevice::WriteOnly);
    picture.save(&buffer, "JPG", 95);
    const QByteArray payload = QByteArray("Exif\0\0", 6) + exif;
    const qsizetype length = payload.size() + 2;
    QByteArray segment("\xff\xe1");
    segment += char(length >> 8);
    segment += char(length & 0xff);
    return jpeg.insert(2, segment + payload);
}

} // namespace sc::test
