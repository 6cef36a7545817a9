#include "imaging/GKitImage.h"

#include "imaging/Buffers.h"
#include "imaging/Codecs.h"
#include "imaging/PixelOps.h"
#include "imaging/Tuning.h"
#include "platform/Error.h"
#include "platform/FileFailure.h"
#include "platform/FileKinds.h"
#include "platform/FileOps.h"
#include "platform/FileWrites.h"
#include "platform/WinPath.h"

#include <QBuffer>
#include <QClipboard>
#include <QFile>
#include <QGuiApplication>
#include <QPainter>

#include <climits>

namespace sc {

namespace {

// The clipboard exists only inside a GUI application; a console tool gets a failure.
QClipboard* systemClipboard() {
    QClipboard* clipboard = qobject_cast<QGuiApplication*>(QCoreApplication::instance())
                                ? QGuiApplication::clipboard()
                                : nullptr;
    if (!clipboard)
        throw Error(QStringLiteral("No clipboard is available"));
    return clipboard;
}

} // namespace

GKitImage::GKitImage() = default;
GKitImage::~GKitImage() = default;

void GKitImage::setSaveMediaFormat(int format) {
    if (format != kFormatJpeg && format != kFormatBmp)
        throw Error(QStringLiteral("Unknown save format %1").arg(format));
    m_saveMediaFormat = format;
}

void GKitImage::setSaveQuality(int level) {
    if (level < 1 || level > 10)
        throw Error(QStringLiteral("Save quality %1 is outside 1 to 10").arg(level));
    m_saveQuality = level;
}

void GKitImage::setSaveCompression(int compression) {
    if (compression != kCompressionBaseline && compression != kCompressionProgressive)
        throw Error(QStringLiteral("Unknown save compression %1").arg(compression));
    m_saveCompression = compression;
}

void GKitImage::setSaveSettings(const SaveSettings& settings) {
    setSaveMediaFormat(settings.format);
    setSaveQuality(settings.quality);
    setSaveCompression(settings.compression);
}

void GKitImage::changed() {
    if (m_onChange)
        m_onChange();
}

void GKitImage::requirePicture(const char* operation) const {
    if (m_image.isNull())
        throw Error(
            QStringLiteral("%1: the control holds no picture").arg(QLatin1String(operation)));
}

void GKitImage::Load(const QString& fileName) {
    load(fileName, {m_loadSizeHint, imaging::DecodeScale::Mode::Cover});
}

void GKitImage::LoadScaled(const QString& fileName, int width, int height) {
    load(fileName,
         {QSize(std::max(1, width), std::max(1, height)), imaging::DecodeScale::Mode::Fit});
}

void GKitImage::load(const QString& name, const imaging::DecodeScale& scale) {
    if (name.isEmpty())
        throw Error(QStringLiteral("No file name to load"));
    QFile file;
    // A missing file, a folder, a pipe or a device under a picture's name is no question of its
    // format: the failure names the file and why, and the open never waits.
    if (const int failure = fileops::openRegularFile(name, file))
        throw fileFailure(FileAction::Read, name, failure);
    const QByteArray head = file.peek(4);
    switch (imaging::sniff(reinterpret_cast<const uchar*>(head.constData()), head.size())) {
    case imaging::FileKind::Jpeg: {
        const qint64 size = file.size();
        if (const uchar* mapped = file.map(0, size))
            return holdDecoded(imaging::decodeJpeg(mapped, size, scale));
        const QByteArray bytes = file.readAll();
        return holdDecoded(imaging::decodeJpeg(reinterpret_cast<const uchar*>(bytes.constData()),
                                               bytes.size(), scale));
    }
    case imaging::FileKind::Bmp:
        return holdDecoded(imaging::decodeBmp(file));
    default:
        throw Error(QStringLiteral("%1 is not a JPEG or bitmap picture").arg(name));
    }
}

void GKitImage::loadScaledFrom(const QByteArray& bytes, int width, int height) {
    const auto* data = reinterpret_cast<const uchar*>(bytes.constData());
    switch (imaging::sniff(data, bytes.size())) {
    case imaging::FileKind::Jpeg:
        return holdDecoded(imaging::decodeJpeg(
            data, bytes.size(),
            {QSize(std::max(1, width), std::max(1, height)), imaging::DecodeScale::Mode::Fit}));
    case imaging::FileKind::Bmp: {
        QBuffer buffer;
        buffer.setData(bytes);
        buffer.open(QIODevice::ReadOnly);
        return holdDecoded(imaging::decodeBmp(buffer));
    }
    default:
        throw Error(QStringLiteral("The bytes are not a JPEG or bitmap picture"));
    }
}

void GKitImage::holdDecoded(imaging::Decoded decoded) {
    m_pending = {};
    imaging::recycle(m_image);
    imaging::recycle(m_loaded);
    m_image = std::move(decoded.image);
    m_loaded = m_image;
    m_colorDepth = m_loadedDepth = decoded.depth;
    m_metadata = m_loadedMetadata = std::move(decoded.metadata);
    changed();
}

std::optional<GKitImage::Claim> GKitImage::claimOf(const QString& fileName, QSize loadSizeHint) {
    QFile file;
    if (fileops::openRegularFile(fileName, file) != 0)
        return std::nullopt;
    const qint64 size = file.size();
    const uchar* mapped = file.map(0, size);
    const QByteArray head = mapped ? QByteArray() : file.read(256 * 1024);
    const auto header = mapped ? imaging::readPictureHeader(mapped, size)
                               : imaging::readPictureHeader(
                                     reinterpret_cast<const uchar*>(head.constData()), head.size());
    if (!header)
        return std::nullopt;
    return Claim{QSize(int(std::min<qint64>(header->width, INT_MAX)),
                       int(std::min<qint64>(header->height, INT_MAX))),
                 imaging::workingBytes(*header, {loadSizeHint, imaging::DecodeScale::Mode::Cover})};
}

void GKitImage::requireJpegSize(const QString& fileName) {
    const auto claim = claimOf(fileName);
    if (claim && (claim->size.width() > kMaxJpegSide || claim->size.height() > kMaxJpegSide))
        throw Error(QStringLiteral("%1 is larger than a JPEG can hold (%2 x %3)")
                        .arg(fileName)
                        .arg(claim->size.width())
                        .arg(claim->size.height()));
}

void GKitImage::Save(const QString& fileName) {
    writeEncoded(fileName, encoded());
}

QByteArray GKitImage::encoded() const {
    requirePicture("Save");
    applyPending();
    if (m_saveMediaFormat != kFormatJpeg)
        return imaging::encodeBmp(m_image);
    imaging::JpegSettings settings;
    settings.level = m_saveQuality;
    settings.progressive = m_saveCompression == kCompressionProgressive;
    settings.gray = m_colorDepth == kDepthGray;
    settings.segments = imaging::metadataSegments(m_metadata, settings.gray);
    return imaging::encodeJpeg(m_image, settings);
}

void GKitImage::writeEncoded(const QString& fileName, const QByteArray& bytes) {
    fileops::writeFileReplacing(fileName, bytes);
}

void GKitImage::Delete() {
    m_pending = {};
    imaging::recycle(m_image);
    imaging::recycle(m_loaded);
    m_colorDepth = m_loadedDepth = 0;
    m_metadata = m_loadedMetadata = {};
    changed();
}

void GKitImage::ResizeImage(int width, int height) {
    requirePicture("ResizeImage");
    applyPending();
    if (width < 1 || height < 1 || qint64(width) * height > kMaxPixels)
        throw Error(QStringLiteral("Cannot resize to %1 x %2").arg(width).arg(height));
    QImage scaled = imaging::resized(m_image, width, height);
    imaging::recycle(m_image);
    m_image = std::move(scaled);
    m_metadata = {}; // a thumbnail or a sheet carries no camera data
    // Averaging makes new colours; only greys stay within their depth.
    if (m_colorDepth != kDepthGray)
        m_colorDepth = kDepthFull;
    changed();
}

void GKitImage::ChangeColorDepth(int depth) {
    requirePicture("ChangeColorDepth");
    applyPending();
    switch (depth) {
    case kDepthFull:
        break;
    case kDepthMono:
    case kDepthPalette16:
    case kDepthPalette256:
    case kDepthGray:
        imaging::reduceColours(m_image, depth);
        break;
    default:
        throw Error(QStringLiteral("Unknown colour depth %1").arg(depth));
    }
    m_colorDepth = depth;
    changed();
}

// Tuning is collected and applied in one pass when the pixels are next needed, so the three
// calls of a job cost one trip through memory. A step that cannot join the pending pass
// (it would come after a later step of the fixed order) first applies what is pending.
void GKitImage::AdjustBrightness(int brightness, int contrast) {
    requirePicture("AdjustBrightness");
    if (brightness == 0 && contrast == 0)
        return;
    if (m_pending.brightnessContrast || m_pending.balance || m_pending.hsl)
        applyPending();
    m_pending.brightnessContrast = true;
    m_pending.brightness = brightness;
    m_pending.contrast = contrast;
    changed();
}

void GKitImage::AdjustColorBalance(int red, int green, int blue) {
    requirePicture("AdjustColorBalance");
    if (red == 0 && green == 0 && blue == 0)
        return;
    if (m_pending.balance || m_pending.hsl)
        applyPending();
    m_pending.balance = true;
    m_pending.red = red;
    m_pending.green = green;
    m_pending.blue = blue;
    // Unequal shifts colour a grey picture. A palette picture keeps its count of colours:
    // every tuning maps each colour to one colour.
    if (m_colorDepth == kDepthGray && !(red == green && green == blue))
        m_colorDepth = kDepthFull;
    changed();
}

void GKitImage::AdjustHue(int hue, int saturation, int lightness) {
    requirePicture("AdjustHue");
    if (hue % 360 == 0 && saturation == 0 && lightness == 0)
        return;
    if (m_pending.hsl)
        applyPending();
    m_pending.hsl = true;
    m_pending.hue = hue;
    m_pending.saturation = saturation;
    m_pending.lightness = lightness;
    changed();
}

void GKitImage::applyPending() const {
    if (m_pending.empty())
        return;
    // Tuning the picture as loaded writes into a new buffer instead of copying it first.
    if (m_image.isDetached()) {
        imaging::applyTuning(m_image, m_image, m_pending);
    } else {
        QImage target = imaging::takeBuffer(m_image.width(), m_image.height());
        if (target.isNull())
            throw Error(QStringLiteral("Not enough memory to tune the picture"));
        imaging::applyTuning(m_image, target, m_pending);
        m_image = std::move(target);
    }
    m_pending = {};
}

const QImage& GKitImage::image() const {
    applyPending();
    return m_image;
}

void GKitImage::Reset() {
    if (m_loaded.isNull()) // empty, or the original was dropped: tuning still pending stays
        return;
    m_pending = {};
    imaging::recycle(m_image);
    m_image = m_loaded;
    m_colorDepth = m_loadedDepth;
    m_metadata = m_loadedMetadata;
    changed();
}

void GKitImage::CopyToClipboard(int left, int top, int right, int bottom) {
    requirePicture("CopyToClipboard");
    applyPending();
    QImage part;
    if (left == 0 && top == 0 && right == 0 && bottom == 0) {
        part = m_image;
    } else {
        const QRect rect =
            QRect(QPoint(left, top), QPoint(right - 1, bottom - 1)).intersected(m_image.rect());
        if (rect.isEmpty())
            throw Error(QStringLiteral("Nothing to copy in %1,%2 - %3,%4")
                            .arg(left)
                            .arg(top)
                            .arg(right)
                            .arg(bottom));
        part = m_image.copy(rect);
    }
    systemClipboard()->setImage(part);
}

void GKitImage::PasteFromClipboard(int x, int y) {
    requirePicture("PasteFromClipboard");
    const QImage pasted = systemClipboard()->image();
    if (pasted.isNull())
        throw Error(QStringLiteral("The clipboard holds no picture"));
    paste(pasted, x, y);
}

void GKitImage::paste(const QImage& pasted, int x, int y) {
    requirePicture("paste");
    if (pasted.isNull())
        throw Error(QStringLiteral("No picture to paste"));
    applyPending();
    {
        QPainter painter(&m_image);
        painter.drawImage(QPoint(x, y), pasted);
    }
    if (m_colorDepth != kDepthFull) {
        const bool greyPaste = pasted.isGrayscale();
        if (!(m_colorDepth == kDepthGray && greyPaste))
            m_colorDepth = kDepthFull;
    }
    changed();
}

void GKitImage::takePicture(GKitImage& other) {
    if (&other == this)
        return;
    imaging::recycle(m_image);
    imaging::recycle(m_loaded);
    m_pending = std::exchange(other.m_pending, {});
    m_image = std::exchange(other.m_image, QImage());
    m_loaded = std::exchange(other.m_loaded, QImage());
    m_colorDepth = std::exchange(other.m_colorDepth, 0);
    m_loadedDepth = std::exchange(other.m_loadedDepth, 0);
    m_metadata = std::exchange(other.m_metadata, {});
    m_loadedMetadata = std::exchange(other.m_loadedMetadata, {});
    other.changed();
    changed();
}

void GKitImage::setImage(const QImage& picture, int depth) {
    m_pending = {};
    m_image = picture.convertToFormat(QImage::Format_RGB32);
    m_loaded = m_image;
    m_colorDepth = m_loadedDepth = m_image.isNull() ? 0 : depth;
    m_metadata = m_loadedMetadata = {};
    changed();
}

} // namespace sc
