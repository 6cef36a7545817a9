#pragma once

#include <QImage>

namespace sc::imaging {

// The tuning steps that one pass over the pixels applies, in this order: brightness and
// contrast, colour balance, then hue, saturation and lightness. Formulas: GKitImage's
// Adjust… members. A step that is not `on` is skipped.
struct TuningPlan {
    bool brightnessContrast = false;
    int brightness = 0, contrast = 0;
    bool balance = false;
    int red = 0, green = 0, blue = 0;
    bool hsl = false;
    int hue = 0, saturation = 0, lightness = 0;

    bool empty() const { return !brightnessContrast && !balance && !hsl; }
};

// Writes the tuned `source` into `target` (same size, Format_RGB32; may be `source` itself).
// Each step clamps its result to 0 … 255; the result is rounded to whole levels once, at
// the end.
void applyTuning(const QImage& source, QImage& target, const TuningPlan& plan);

// For tests: the copies of the pixel loop this CPU can run, one per vector width, the widest
// (which applyTuning uses) first and the portable one last; and applyTuning through copy `loop`.
int tuningLoopCount();
void applyTuning(const QImage& source, QImage& target, const TuningPlan& plan, int loop);

} // namespace sc::imaging
