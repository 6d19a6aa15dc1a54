#pragma once

// The demo's soundtrack, synthesised: drums, bass, pads and a lead, arranged
// to the demo's beat grid and scene changes.

#include "audio.h"

namespace soundtrack {

constexpr int sampleRate = 44100;
constexpr double lengthSeconds = 131.0;
// Beats fall at firstBeatMs + beatMs * k; cuts also fall on quarter beats.
constexpr double firstBeatMs = 30.0;
constexpr double beatMs = 444.0;
constexpr double targetLufs = -14.0;
// Sample peak aimed for before encoding; the decoded MP3 must stay at or
// below -1 dBFS, and the margin absorbs the encoder's overshoot.
constexpr double ceilingDb = -1.6;

// The arrangement changes at these moments (ms), where the pictures cut.
constexpr double sceneChangesMs[] = {3650,  10125, 17777, 32000,  46157, 53312,
                                     67522, 81679, 88840, 110150, 117000};

// Whether the kick drum plays on beats at time ms.
bool kickPlays(double ms);

// Synthesises the whole piece, unnormalised.
Stereo synthesise();

// Scales to the loudness target and limits peaks to ceiling (dBFS). Returns
// the integrated loudness reached.
double master(Stereo& audio, double ceilingDecibels);

}  // namespace soundtrack
