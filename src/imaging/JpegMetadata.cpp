#include "imaging/JpegMetadata.h"

#include "imaging/ByteOrder.h"

#include <QMap>
#include <QSet>
#include <cstring>
#include <optional>

namespace sc::imaging {

namespace {

constexpr char kExifTag[] = "Exif\0\0"; // 6 bytes
constexpr qsizetype kExifTagSize = 6;
constexpr char kIccTag[] = "ICC_PROFILE"; // with its terminating zero: 12 bytes
constexpr qsizetype kIccTagSize = 12;
constexpr qsizetype kMaxSegmentPayload = 65535 - 2;
constexpr qsizetype kMaxIccChunk = kMaxSegmentPayload - kIccTagSize - 2;

constexpr quint16 kOrientationTag = 0x0112;
constexpr quint16 kShortType = 3;

// Checks the structure of an EXIF (TIFF) block: every IFD, every value stored outside its
// entry and every sub-IFD lie inside the block, and no IFD is visited twice.
class ExifCheck {
public:
    ExifCheck(const uchar* tiff, qsizetype size, bool le) : t_(tiff), size_(size), le_(le) {}

    bool ifd(quint32 offset, bool followNext) {
        constexpr int kMaxIfds = 32;
        if (offset < 8 || qsizetype(offset) + 2 > size_ || seen_.contains(offset) ||
            seen_.size() >= kMaxIfds)
            return false;
        seen_.insert(offset);
        const qsizetype end = qsizetype(offset) + 2 + qsizetype(get16(t_ + offset, le_)) * 12;
        if (end > size_)
            return false;
        for (qsizetype at = offset + 2; at < end; at += 12) {
            if (!entry(at))
                return false;
        }
        if (!followNext || end + 4 > size_)
            return true;
        const quint32 next = get32(t_ + end, le_);
        return next == 0 || ifd(next, true);
    }

private:
    bool entry(qsizetype at) {
        // Bytes per value of the TIFF field types 1 … 12; unknown types are skipped by readers.
        static constexpr int kTypeSize[] = {0, 1, 1, 2, 4, 8, 1, 1, 2, 4, 8, 4, 8};
        const quint16 tag = get16(t_ + at, le_);
        const quint16 type = get16(t_ + at + 2, le_);
        const quint64 count = get32(t_ + at + 4, le_);
        const quint32 value = get32(t_ + at + 8, le_);
        if (type >= 1 && type <= 12) {
            const quint64 bytes = count * kTypeSize[type];
            if (bytes > 4 && quint64(value) + bytes > quint64(size_))
                return false;
        }
        // Exif, GPS and interoperability sub-IFDs.
        if (tag == 0x8769 || tag == 0x8825 || tag == 0xa005)
            return ifd(value, false);
        return true;
    }

    const uchar* t_;
    qsizetype size_;
    bool le_;
    QSet<quint32> seen_;
};

// Byte order of a TIFF block, or nothing for a block that is not one.
std::optional<bool> littleEndian(const QByteArray& tiff) {
    const auto* t = reinterpret_cast<const uchar*>(tiff.constData());
    if (tiff.size() < 8)
        return std::nullopt;
    bool le;
    if (t[0] == 'I' && t[1] == 'I')
        le = true;
    else if (t[0] == 'M' && t[1] == 'M')
        le = false;
    else
        return std::nullopt;
    if (get16(t + 2, le) != 42)
        return std::nullopt;
    return le;
}

bool exifIsSound(const QByteArray& tiff) {
    const auto le = littleEndian(tiff);
    if (!le)
        return false;
    const auto* t = reinterpret_cast<const uchar*>(tiff.constData());
    return ExifCheck(t, tiff.size(), *le).ifd(get32(t + 4, *le), true);
}

// Calls `visit` with the offset of each orientation entry of IFD0 that lies inside the block.
// Reads IFD0 alone, so a picture still stands upright when a later part of its block is damaged.
template <typename Visit> void forEachOrientationEntry(const QByteArray& tiff, Visit visit) {
    const auto le = littleEndian(tiff);
    if (!le)
        return;
    const auto* t = reinterpret_cast<const uchar*>(tiff.constData());
    const quint32 ifd = get32(t + 4, *le);
    if (ifd < 8 || qsizetype(ifd) + 2 > tiff.size())
        return;
    const int count = get16(t + ifd, *le);
    for (int i = 0; i < count; ++i) {
        const qsizetype at = qsizetype(ifd) + 2 + qsizetype(i) * 12;
        if (at + 12 > tiff.size())
            return;
        if (get16(t + at, *le) == kOrientationTag)
            visit(at, *le);
    }
}

int orientationOf(const QByteArray& tiff) {
    int orientation = 1;
    const auto* t = reinterpret_cast<const uchar*>(tiff.constData());
    forEachOrientationEntry(tiff, [&](qsizetype at, bool le) {
        if (get16(t + at + 2, le) == kShortType) {
            const int value = get16(t + at + 8, le);
            if (value >= 1 && value <= 8)
                orientation = value;
        }
    });
    return orientation;
}

// Joins the chunks of a profile (sequence number → bytes) when all of 1 … count are there.
QByteArray joinedProfile(const QMap<int, QByteArray>& chunks, int count, bool consistent) {
    if (!consistent || chunks.isEmpty() || chunks.size() != count || chunks.firstKey() != 1 ||
        chunks.lastKey() != count)
        return {};
    QByteArray profile;
    for (const QByteArray& chunk : chunks)
        profile += chunk;
    return profile;
}

void appendSegment(QByteArray& out, uchar marker, const QByteArray& payload) {
    const qsizetype length = payload.size() + 2;
    out += char(0xff);
    out += char(marker);
    out += char(length >> 8);
    out += char(length & 0xff);
    out += payload;
}

// The colour space an ICC profile describes (header bytes 16 … 19), such as "RGB " or "GRAY".
QByteArray profileColourSpace(const QByteArray& icc) {
    return icc.size() >= 128 ? icc.mid(16, 4) : QByteArray();
}

} // namespace

JpegMetadata readJpegMetadata(const uchar* data, qsizetype size) {
    JpegMetadata result;
    QMap<int, QByteArray> iccChunks;
    int iccCount = 0;
    bool iccConsistent = true;
    bool exifSeen = false; // only the first EXIF block counts
    qsizetype at = 2;
    while (at + 4 <= size && data[at] == 0xff) {
        const uchar marker = data[at + 1];
        if (marker == 0xff) { // fill byte
            ++at;
            continue;
        }
        if (marker == 0xda || marker == 0xd9) // start of scan, end of image: no more headers
            break;
        const qsizetype length = data[at + 2] << 8 | data[at + 3];
        if (length < 2 || at + 2 + length > size)
            break;
        const uchar* payload = data + at + 4;
        const qsizetype payloadSize = length - 2;
        if (marker == 0xe1 && !exifSeen && payloadSize > kExifTagSize &&
            std::memcmp(payload, kExifTag, kExifTagSize) == 0) {
            exifSeen = true;
            QByteArray exif(reinterpret_cast<const char*>(payload + kExifTagSize),
                            payloadSize - kExifTagSize);
            result.orientation = orientationOf(exif);
            if (exifIsSound(exif))
                result.exif = std::move(exif);
        } else if (marker == 0xe2 && payloadSize > kIccTagSize + 2 &&
                   std::memcmp(payload, kIccTag, kIccTagSize) == 0) {
            const int sequence = payload[kIccTagSize], count = payload[kIccTagSize + 1];
            iccConsistent = iccConsistent && sequence >= 1 &&
                            (iccCount == 0 || count == iccCount) && !iccChunks.contains(sequence);
            iccCount = count;
            iccChunks.insert(sequence,
                             QByteArray(reinterpret_cast<const char*>(payload + kIccTagSize + 2),
                                        payloadSize - kIccTagSize - 2));
        }
        at += 2 + length;
    }
    result.icc = joinedProfile(iccChunks, iccCount, iccConsistent);
    return result;
}

QByteArray exifForCopy(QByteArray exif) {
    if (!exifIsSound(exif))
        return {};
    const bool le = *littleEndian(exif);
    auto* t = reinterpret_cast<uchar*>(exif.data());
    forEachOrientationEntry(exif, [&](qsizetype at, bool) {
        // One SHORT of value 1, held in the entry itself.
        const uchar entry[2][10] = {{0, 3, 0, 0, 0, 1, 0, 1, 0, 0}, {3, 0, 1, 0, 0, 0, 1, 0, 0, 0}};
        std::memcpy(t + at + 2, entry[le ? 1 : 0], 10);
    });
    // IFD0's link to IFD1, the embedded thumbnail, is cut; its bytes stay unreferenced.
    const quint32 ifd0 = get32(t + 4, le);
    const qsizetype next = qsizetype(ifd0) + 2 + qsizetype(get16(t + ifd0, le)) * 12;
    if (next + 4 <= exif.size())
        std::memset(t + next, 0, 4);
    return exif;
}

QByteArray metadataSegments(const JpegMetadata& metadata, bool greyStream) {
    QByteArray out;
    if (!metadata.exif.isEmpty() && metadata.exif.size() + kExifTagSize <= kMaxSegmentPayload)
        appendSegment(out, 0xe1, QByteArray(kExifTag, kExifTagSize) + metadata.exif);
    const QByteArray wanted = greyStream ? QByteArrayLiteral("GRAY") : QByteArrayLiteral("RGB ");
    const qsizetype chunks = (metadata.icc.size() + kMaxIccChunk - 1) / kMaxIccChunk;
    if (profileColourSpace(metadata.icc) != wanted || chunks > 255)
        return out;
    for (qsizetype i = 0; i < chunks; ++i) {
        QByteArray payload(kIccTag, kIccTagSize);
        payload += char(i + 1);
        payload += char(chunks);
        payload += metadata.icc.mid(i * kMaxIccChunk, kMaxIccChunk);
        appendSegment(out, 0xe2, payload);
    }
    return out;
}

} // namespace sc::imaging
