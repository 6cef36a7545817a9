#include "imaging/GKitImage.h"

#include "platform/Error.h"

namespace sc {

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

void GKitImage::changed() {
    if (m_onChange)
        m_onChange();
}

void GKitImage::requirePicture(const char* operation) const {
    if (m_image.isNull())
        throw Error(QStringLiteral("%1: the control holds no picture").arg(QLatin1String(operation)));
}

void GKitImage::Load() { throw Error(QStringLiteral("Load: not yet available")); }
void GKitImage::Save(const QString&) { requirePicture("Save"); }
void GKitImage::Delete() {
    m_image = QImage();
    m_loaded = QImage();
    m_colorDepth = m_loadedDepth = 0;
    changed();
}
void GKitImage::ResizeImage(int, int) { requirePicture("ResizeImage"); }
void GKitImage::ChangeColorDepth(int) { requirePicture("ChangeColorDepth"); }
void GKitImage::AdjustBrightness(int, int) { requirePicture("AdjustBrightness"); }
void GKitImage::AdjustColorBalance(int, int, int) { requirePicture("AdjustColorBalance"); }
void GKitImage::AdjustHue(int, int, int) { requirePicture("AdjustHue"); }
void GKitImage::Reset() {}
bool GKitImage::AddPage(const QString&) { return false; }
void GKitImage::CopyToClipboard(int, int, int, int) { requirePicture("CopyToClipboard"); }
void GKitImage::PasteFromClipboard(int, int) { requirePicture("PasteFromClipboard"); }

void GKitImage::setImage(const QImage& picture, int depth) {
    m_image = picture.convertToFormat(QImage::Format_RGB32);
    m_loaded = m_image;
    m_colorDepth = m_loadedDepth = depth;
    changed();
}

} // namespace sc
