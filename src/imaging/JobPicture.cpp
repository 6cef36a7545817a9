#include "imaging/JobPicture.h"

#include "imaging/GKitImage.h"

namespace sc::imaging {

std::optional<int> saveQualityFor(int qualityIndex) {
    static constexpr int kQualities[] = {1, 4, 7, 10};
    if (qualityIndex < 0 || qualityIndex > 3)
        return std::nullopt;
    return kQualities[qualityIndex];
}

void setJobSaveSettings(GKitImage& image, int qualityIndex) {
    image.setSaveMediaFormat(GKitImage::kFormatJpeg);
    if (const auto quality = saveQualityFor(qualityIndex))
        image.setSaveQuality(*quality);
    image.setSaveCompression(GKitImage::kCompressionBaseline);
}

void tuneLikeTheJob(GKitImage& image, const TuningValues& t) {
    if (t.brightness != 0 || t.contrast != 0)
        image.AdjustBrightness(t.brightness, t.contrast);
    if (t.red != 0 || t.green != 0 || t.blue != 0)
        image.AdjustColorBalance(t.red, t.green, t.blue);
    if (t.hue != 0 || t.saturation != 0 || t.lightness != 0)
        image.AdjustHue(t.hue, t.saturation, t.lightness);
}

} // namespace sc::imaging
