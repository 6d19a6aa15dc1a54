#pragma once

// The percussion that marks the demo's cuts: one hit per cut, each starting
// on the cut's own sample with a sharp attack, so that the ear (and an onset
// detector) hears the picture change.

#include <cstddef>
#include <cstdint>

#include "audio.h"

namespace soundtrack {

// How much a cut weighs, and so which drum marks it.
enum class Accent {
    Scene,    // a scene starts or ends: snare with a short crash
    Camera,   // the camera jumps: a snare
    Picture,  // a picture is replaced: a metal hit
};

struct HitSound {
    Accent accent;
    // Off the sixteenth grid: a tuned tom instead of the snare or metal, so
    // that the hit sounds like a fill rather than a sloppy backbeat.
    bool offGrid;
    double toneHz;  // the tom's pitch, from the chord of the moment
    float level;
};

// Adds the hit to out from sample at on, panned pan (-1 left .. 1 right).
// seed makes its noise: the same seed gives the same samples.
void addHit(Stereo& out, size_t at, const HitSound& sound, float pan, uint32_t seed);

}  // namespace soundtrack
