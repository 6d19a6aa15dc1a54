#pragma once

// The demo's soundtrack, synthesised: drums, bass, pads and a lead, arranged
// to the demo's beat grid and scene changes, with a hit on every cut.

#include <span>

#include "audio.h"
#include "cut_hits.h"

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

// The arrangement's sections begin at these moments (ms), at scene changes.
constexpr double sceneChangesMs[] = {3650,  10125, 17777, 32000,  46157, 53312,
                                     67522, 81679, 88840, 110150, 117000};

// Whether the kick drum plays on beats at time ms.
bool kickPlays(double ms);

// A moment at which the picture changes at once, and what kind of change.
struct CutMark {
    double ms;
    Accent accent;
};

// Synthesises the whole piece, unnormalised, with a hit starting on the
// sample of every cut; the hats and notes right before a cut make way for it.
Stereo synthesise(std::span<const CutMark> cuts);

// The hits alone, the length of the piece: each cut's hit starts on the cut's
// own sample; scene changes weigh most, then camera cuts, then picture
// changes, and cuts off the sixteenth grid get a tom tuned to the chord.
Stereo cutHits(std::span<const CutMark> cuts);

// Scales to the loudness target and limits peaks to ceiling (dBFS). Returns
// the integrated loudness reached.
double master(Stereo& audio, double ceilingDecibels);

}  // namespace soundtrack
