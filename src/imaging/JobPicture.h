#pragma once

#include <optional>

namespace sc {
class GKitImage;
}

// What the JPEG job does to each picture, shared with the preview so that the preview shows
// exactly what the job will write.
namespace sc::imaging {

// The eight tuning values of the JPEG page.
struct TuningValues {
    int brightness = 0, contrast = 0;
    int red = 0, green = 0, blue = 0;
    int hue = 0, saturation = 0, lightness = 0;
};

// The save quality of a quality item index: 0 … 3 give 1, 4, 7, 10; empty for an index outside
// the list.
std::optional<int> saveQualityFor(int qualityIndex);

// The JPEG job's save settings on `image`: JPEG, the quality of the item (an index outside the
// list keeps the quality the instance has), baseline compression.
void setJobSaveSettings(GKitImage& image, int qualityIndex);

// Tunes `image` as the job does: each group only when one of its values is not 0, in the order
// brightness and contrast, colour balance, hue.
void tuneLikeTheJob(GKitImage& image, const TuningValues& values);

} // namespace sc::imaging
