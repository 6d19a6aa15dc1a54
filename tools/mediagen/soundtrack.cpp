#include "soundtrack.h"

#include <algorithm>
#include <cmath>
#include <cstdint>

#include "noise.h"

namespace soundtrack {
namespace {

constexpr double twoPi = 6.283185307179586;
constexpr double stepMs = beatMs / 4;  // a sixteenth note
// Cuts further than this from the sixteenth grid get a tom fill.
constexpr double offGridMs = 12;
// Hats closer than this before a cut give way to its hit.
constexpr double hatClearMs = 70;
// A cut this close after a step, off the grid, makes that step a short break.
constexpr double breakMs = 56;

enum Section {
    Intro,      // opening pictures: pads and a rising noise
    Credits,    // kick, bass and hats come in
    PillarA,    // full beat with snare
    PillarB,    // the lead enters
    Spike,      // driving, open hats and a fast arpeggio
    Interlude,  // breakdown: pads and a soft lead, no kick
    Room,       // groove back on a second chord cycle
    Box,        // second lead line
    Spheres,    // half-time
    Tunnel,     // everything
    Closing,    // theme once more
    Outro,      // calm, fading out
};

Section sectionAt(double ms) {
    int s = 0;
    for (double change : sceneChangesMs) {
        if (ms >= change) {
            ++s;
        }
    }
    return static_cast<Section>(s);
}

size_t sampleAt(double ms) {
    return static_cast<size_t>(std::lround(ms * sampleRate / 1000.0));
}

double midiHz(double note) {
    return 440.0 * std::pow(2.0, (note - 69) / 12.0);
}

// Adds a mono sound to both channels with equal-power panning (-1 left .. 1 right).
struct Mixer {
    Stereo& out;
    void add(size_t i, float v, float pan) {
        if (i >= out.frames()) {
            return;
        }
        float l = std::cos((pan + 1) * 0.785398f), r = std::sin((pan + 1) * 0.785398f);
        out.left[i] += v * l * 1.41421f;
        out.right[i] += v * r * 1.41421f;
    }
};

// Without its click the kick is felt more than heard as an attack, which
// leaves the attack to a cut that follows closely.
void kick(Mixer& m, size_t start, float level, bool click) {
    double phase = 0;
    size_t length = sampleRate * 35 / 100;
    for (size_t i = 0; i < length; ++i) {
        double t = static_cast<double>(i) / sampleRate;
        double f = 45 + 110 * std::exp(-t * 30);
        phase += twoPi * f / sampleRate;
        double env = std::exp(-t * 9) * std::min(1.0, i / 20.0);
        double attack = click ? std::exp(-t * 400) * 0.3 : 0.0;
        m.add(start + i, static_cast<float>(level * (std::sin(phase) * env + attack)), 0);
    }
}

void snare(Mixer& m, size_t start, float level, Noise& noise) {
    size_t length = sampleRate / 4;
    float low = 0, band = 0;
    double phase = 0;
    for (size_t i = 0; i < length; ++i) {
        double t = static_cast<double>(i) / sampleRate;
        float n = noise.next();
        // Chamberlin state-variable band-pass around 2 kHz.
        low += 0.28f * band;
        float high = n - low - 0.6f * band;
        band += 0.28f * high;
        phase += twoPi * 185 / sampleRate;
        double body = std::sin(phase) * std::exp(-t * 30) * 0.5;
        double v = (band * 0.9 * std::exp(-t * 16) + body) * level;
        m.add(start + i, static_cast<float>(v), 0.05f);
    }
}

void hat(Mixer& m, size_t start, float level, bool open, Noise& noise, float pan) {
    size_t length = sampleRate * (open ? 30 : 6) / 100;
    double decay = open ? 12 : 70;
    float previous = 0;
    for (size_t i = 0; i < length; ++i) {
        double t = static_cast<double>(i) / sampleRate;
        float n = noise.next();
        float high = n - previous;  // first difference: a bright high-pass
        previous = n;
        m.add(start + i, static_cast<float>(high * level * std::exp(-t * decay)), pan);
    }
}

// Saw bass through a resonant low-pass whose cutoff follows an envelope.
void bass(Mixer& m, size_t start, size_t length, double note, float level, float brightness) {
    double f = midiHz(note);
    double phase = 0, phase2 = 0;
    float low = 0, band = 0, sub = 0;
    for (size_t i = 0; i < length + sampleRate / 50; ++i) {
        double t = static_cast<double>(i) / sampleRate;
        phase += f / sampleRate;
        phase2 += f * 1.004 / sampleRate;
        double saw = (phase - std::floor(phase)) * 2 - 1 + (phase2 - std::floor(phase2)) - 0.5;
        double cutoff = 120 + brightness * 1400 * std::exp(-t * 14);
        float k = static_cast<float>(2 * std::sin(M_PI * std::min(cutoff, 8000.0) / sampleRate));
        low += k * band;
        float high = static_cast<float>(saw) - low - 0.5f * band;
        band += k * high;
        double env = std::min(1.0, i / 60.0) *
                     (i < length ? 1.0 : 1.0 - static_cast<double>(i - length) / (sampleRate / 50));
        // A gentle high-pass keeps the sub-bass for the kick.
        sub += 0.008f * (low - sub);
        m.add(start + i, static_cast<float>((low - sub) * env * level), 0);
    }
}

// Detuned saw pad with slow attack and release, one voice per note.
void pad(Mixer& m, size_t start, size_t length, double note, float level, float pan) {
    double f = midiHz(note);
    double phases[3] = {0, 0.33, 0.67};
    const double detune[3] = {0.996, 1.0, 1.005};
    float low = 0;
    size_t attack = sampleRate * 3 / 10, releaseLength = sampleRate / 2;
    for (size_t i = 0; i < length + releaseLength; ++i) {
        double v = 0;
        for (int d = 0; d < 3; ++d) {
            phases[d] += f * detune[d] / sampleRate;
            v += (phases[d] - std::floor(phases[d])) * 2 - 1;
        }
        low += 0.06f * (static_cast<float>(v / 3) - low);
        double env = std::min(1.0, static_cast<double>(i) / attack);
        if (i >= length) {
            env *= 1.0 - static_cast<double>(i - length) / releaseLength;
        }
        m.add(start + i, static_cast<float>(low * env * level), pan);
    }
}

// Pulse-wave lead with vibrato and a plucked envelope.
void lead(Mixer& m, size_t start, size_t length, double note, float level, float pan) {
    double f = midiHz(note);
    double phase = 0;
    float low = 0;
    for (size_t i = 0; i < length; ++i) {
        double t = static_cast<double>(i) / sampleRate;
        double vib = 1 + 0.004 * std::sin(twoPi * 5.5 * t) * std::min(1.0, t * 4);
        phase += f * vib / sampleRate;
        double frac = phase - std::floor(phase);
        float v = frac < 0.3 ? 1.0f : -0.45f;
        low += 0.25f * (v - low);
        double env = std::min(1.0, i / 80.0) * (0.55 + 0.45 * std::exp(-t * 8)) *
                     std::min(1.0, static_cast<double>(length - i) / 400);
        m.add(start + i, static_cast<float>(low * env * level), pan);
    }
}

// Chord cycles, one chord per bar: roots for the bass, three notes for pads.
struct Chord {
    int root;
    int notes[3];
};
constexpr Chord cycleA[4] = {
    {45, {57, 60, 64}}, {41, {57, 60, 65}}, {48, {55, 60, 64}}, {43, {55, 59, 62}}};
constexpr Chord cycleB[4] = {
    {41, {57, 60, 65}}, {43, {55, 59, 62}}, {45, {57, 60, 64}}, {40, {56, 59, 64}}};

const Chord& chordAt(int bar, Section s) {
    const int index = ((bar % 4) + 4) % 4;
    if (s == Room || s == Box || s == Spheres) {
        return cycleB[index];
    }
    return cycleA[index];
}

// Lead melody over four bars, in sixteenths; 0 is a rest, otherwise a MIDI
// note held until the next entry.
constexpr int theme[64] = {
    76, 0, 0, 74, 72, 0, 69, 0, 72, 0, 74, 0, 76, 0, 0,  0,  //
    77, 0, 0, 76, 74, 0, 72, 0, 69, 0, 72, 0, 74, 0, 0,  0,  //
    79, 0, 0, 76, 72, 0, 76, 0, 79, 0, 81, 0, 79, 0, 76, 0,  //
    74, 0, 0, 72, 71, 0, 67, 0, 71, 0, 74, 0, 71, 0, 0,  0,
};
constexpr int themeB[64] = {
    72, 0, 76, 0, 77, 0, 0,  0, 76, 0, 72, 0, 69, 0, 0, 0,  //
    74, 0, 71, 0, 67, 0, 0,  0, 71, 0, 74, 0, 79, 0, 0, 0,  //
    76, 0, 72, 0, 69, 0, 72, 0, 76, 0, 81, 0, 76, 0, 0, 0,  //
    76, 0, 0,  0, 71, 0, 68, 0, 71, 0, 76, 0, 80, 0, 0, 0,
};

int themeLength(const int* line, int step) {
    int length = 1;
    while (step + length < 64 && line[step + length] == 0 && length < 4) {
        ++length;
    }
    return length;
}

// Feedback echo on the lead, three sixteenths apart, alternating sides.
constexpr int echoSteps = 3;
void echo(Stereo& dry, Stereo& out) {
    size_t delay = sampleAt(stepMs * echoSteps);
    std::vector<float> l = dry.left, r = dry.right;
    for (size_t i = delay; i < l.size(); ++i) {
        l[i] += 0.42f * r[i - delay];
        r[i] += 0.42f * l[i - delay];
    }
    for (size_t i = 0; i < l.size(); ++i) {
        out.left[i] += l[i];
        out.right[i] += r[i];
    }
}

// What a step of the grid gives up for a cut near it. An onset detector,
// like the ear, takes one attack in about 50 ms, so an attack on the grid just
// before a cut would swallow the cut's hit.
struct Yield {
    bool hat = false;         // a cut follows within hatClearMs or falls on the step
    bool everything = false;  // a cut follows off the grid, a little later: no
                              // hat, bass or melody note, the kick keeps its
                              // place but not its click, and the bar's chord
                              // waits for the cut
    bool melody = false;      // as everything, or its echo would land on such a step
    double cutMs = 0;
};

std::vector<Yield> stepYields(std::span<const CutMark> cuts, int steps) {
    std::vector<Yield> yields(static_cast<size_t>(steps));
    for (const CutMark& cut : cuts) {
        const int last = static_cast<int>((cut.ms - firstBeatMs + 15) / stepMs);
        for (int step = std::max(0, last - 1); step <= last && step < steps; ++step) {
            const double ms = firstBeatMs + step * stepMs;
            Yield& y = yields[static_cast<size_t>(step)];
            y.hat = y.hat || (ms > cut.ms - hatClearMs && ms < cut.ms + 15);
            if (ms + offGridMs < cut.ms && ms + breakMs > cut.ms) {
                y.everything = y.melody = true;
                y.cutMs = cut.ms;
                if (step >= echoSteps) {
                    yields[static_cast<size_t>(step - echoSteps)].melody = true;
                }
            }
        }
    }
    return yields;
}

}  // namespace

bool kickPlays(double ms) {
    Section s = sectionAt(ms);
    return s != Intro && s != Interlude;
}

Stereo cutHits(std::span<const CutMark> cuts) {
    Stereo hits;
    hits.left.assign(sampleAt(lengthSeconds * 1000), 0);
    hits.right = hits.left;
    uint32_t seed = 0x9e3779b9u;
    int index = 0;
    for (const CutMark& cut : cuts) {
        const double step = std::round((cut.ms - firstBeatMs) / stepMs);
        const bool offGrid = std::fabs(cut.ms - (firstBeatMs + step * stepMs)) > offGridMs;
        const Section s = sectionAt(cut.ms);
        const Chord& chord = chordAt(static_cast<int>(step) / 16, s);
        const bool calm = s == Intro || s == Interlude || s == Outro;
        float level = cut.accent == Accent::Scene    ? 0.6f
                      : cut.accent == Accent::Camera ? 0.5f
                                                     : 0.4f;
        HitSound sound{cut.accent, offGrid, midiHz(chord.root + 24), calm ? level * 0.7f : level};
        addHit(hits, sampleAt(cut.ms), sound, (index++ % 2 == 0) ? 0.12f : -0.12f, seed);
        seed = seed * 1664525u + 1013904223u;
    }
    // The lowest band belongs to the kick: two one-pole high-passes at 150 Hz
    // keep the hits out of it, so a kick right after a hit still starts clean.
    // A one-pole low-pass at 9 kHz takes off the top the encoder would cut
    // anyway; left in, its removal makes the decoded peaks overshoot.
    const float k = 1 - std::exp(-static_cast<float>(twoPi) * 150 / sampleRate);
    const float top = 1 - std::exp(-static_cast<float>(twoPi) * 9000 / sampleRate);
    for (std::vector<float>* channel : {&hits.left, &hits.right}) {
        for (int pass = 0; pass < 2; ++pass) {
            float low = 0;
            for (float& v : *channel) {
                low += k * (v - low);
                v -= low;
            }
        }
        float smooth = 0;
        for (float& v : *channel) {
            smooth += top * (v - smooth);
            v = smooth;
        }
    }
    return hits;
}

Stereo synthesise(std::span<const CutMark> cuts) {
    Stereo out;
    size_t frames = sampleAt(lengthSeconds * 1000);
    out.left.assign(frames, 0);
    out.right.assign(frames, 0);
    Stereo leadBus = out;
    Mixer mix{out}, leadMix{leadBus};
    Noise noise{0x1234567u};

    const int steps = static_cast<int>((lengthSeconds * 1000 - firstBeatMs) / stepMs) + 1;
    const std::vector<Yield> yields = stepYields(cuts, steps);
    for (int step = 0; step < steps; ++step) {
        double ms = firstBeatMs + step * stepMs;
        size_t at = sampleAt(ms);
        Section s = sectionAt(ms);
        int beat = step / 4, inBeat = step % 4, bar = beat / 4, inBar = step % 16;
        const Chord& chord = chordAt(bar, s);
        bool calm = s == Intro || s == Interlude || s == Outro;
        const Yield& yield = yields[static_cast<size_t>(step)];

        // Drums.
        if (inBeat == 0 && kickPlays(ms)) {
            bool halfTime = s == Spheres;
            if (!halfTime || beat % 2 == 0) {
                float level = s == Outro ? 0.55f : 0.8f;
                kick(mix, at, level, !yield.everything);
            }
        }
        bool snareOn = s == PillarA || s == PillarB || s == Spike || s == Room || s == Box ||
                       s == Tunnel || s == Closing;
        if (snareOn && inBeat == 0 && beat % 2 == 1) {
            snare(mix, at, s == Spike ? 0.26f : 0.36f, noise);
        }
        if (s == Spheres && inBar == 8) {
            snare(mix, at, 0.5f, noise);
        }
        if (s == Tunnel && inBar == 14 && bar % 4 == 3) {
            snare(mix, at, 0.3f, noise);
        }
        if (!yield.hat && !calm) {
            bool sixteenths = s == PillarA || s == PillarB || s == Tunnel || s == Box;
            if (inBeat == 2) {
                // Open only in the tunnel: in the spike scene, where the cuts
                // come fastest, a long hat would cover them.
                hat(mix, at, s == Tunnel ? 0.07f : 0.1f, s == Tunnel, noise, 0.25f);
            } else if (sixteenths || (s != Credits && inBeat == 0)) {
                hat(mix, at, 0.045f, false, noise, -0.2f);
            }
        } else if (!yield.hat && s == Outro && inBeat == 2) {
            hat(mix, at, 0.05f, false, noise, 0.2f);
        }

        // Bass: eighths off the kick, sixteenth runs in the busier parts.
        if (s != Intro && s != Interlude && !yield.everything) {
            bool busy = s == PillarA || s == PillarB || s == Spike || s == Tunnel;
            bool play = busy ? inBeat != 0 : inBeat == 2;
            if (s == Outro) {
                play = inBeat == 0 && beat % 2 == 0;
            }
            if (play) {
                // An octave up where the kick is sparse, so that the lowest
                // band belongs to the kick alone.
                int octave = (s == Spike && inBeat == 3) || s == Spheres || s == Outro ? 12 : 0;
                size_t length = sampleAt(stepMs * (s == Outro ? 7 : 1) * 0.9);
                bass(mix, at, length, chord.root + octave, 0.32f,
                     s == Spike || s == Tunnel ? 1.0f : 0.6f);
            }
        }

        // Pads: one chord per bar.
        if (inBar == 0) {
            size_t length = sampleAt(beatMs * 4);
            // Held back to the cut when one follows closely.
            size_t from = yield.everything ? sampleAt(yield.cutMs) : at;
            float level = calm ? 0.075f : 0.05f;
            for (int v = 0; v < 3; ++v) {
                pad(mix, from, length, chord.notes[v], level, -0.6f + 0.6f * v);
            }
        }

        // Lead.
        const int* line = (s == Box || s == Room) ? themeB : theme;
        int themeStep = (bar % 4) * 16 + inBar;
        bool leadOn = s == PillarB || s == Box || s == Tunnel || s == Closing || s == Interlude;
        if (leadOn && line[themeStep] != 0 && !yield.melody) {
            size_t length = sampleAt(stepMs * themeLength(line, themeStep) * 0.95);
            float level = s == Interlude ? 0.08f : 0.11f;
            lead(leadMix, at, length, line[themeStep], level, 0.15f);
        }
        if ((s == Spike || s == Spheres || s == Intro) && !yield.melody) {
            // Arpeggio over the chord, in sixteenths (eighths in the intro).
            if (s != Intro || inBeat % 2 == 0) {
                int note = chord.notes[step % 3] + 12 * ((step / 3) % 2);
                lead(leadMix, at, sampleAt(stepMs * 0.8), note, s == Intro ? 0.06f : 0.08f, -0.3f);
            }
        }
    }

    // A noise swell leading into the first beat of the credits.
    {
        size_t from = sampleAt(1000), to = sampleAt(3650);
        float low = 0;
        for (size_t i = from; i < to; ++i) {
            float t = static_cast<float>(i - from) / (to - from);
            low += (0.02f + 0.3f * t) * (noise.next() - low);
            mix.add(i, low * 0.25f * t * t, 0);
        }
    }

    echo(leadBus, out);
    Stereo hits = cutHits(cuts);

    // Fade out towards the end.
    size_t fadeFrom = sampleAt(123000), fadeTo = sampleAt(130800);
    for (size_t i = fadeFrom; i < frames; ++i) {
        float g =
            i >= fadeTo ? 0.0f : 1.0f - static_cast<float>(i - fadeFrom) / (fadeTo - fadeFrom);
        out.left[i] *= g * g;
        out.right[i] *= g * g;
        // The hits fade more gently, so that the last cuts are still heard.
        hits.left[i] *= g;
        hits.right[i] *= g;
    }
    for (size_t i = 0; i < frames; ++i) {
        out.left[i] += hits.left[i];
        out.right[i] += hits.right[i];
    }
    return out;
}

double master(Stereo& audio, double ceilingDecibels) {
    Stereo original = audio;
    double gainDb = targetLufs - integratedLoudness(audio);
    double reached = 0;
    // Limiting lowers the loudness a little, so measure again and correct.
    for (int round = 0; round < 4; ++round) {
        audio = original;
        float g = static_cast<float>(fromDecibels(gainDb));
        for (size_t i = 0; i < audio.frames(); ++i) {
            audio.left[i] *= g;
            audio.right[i] *= g;
        }
        // A short release: a kick right after a loud hit must not start held
        // down, or it would seem to come late.
        limitPeaks(audio, static_cast<float>(fromDecibels(ceilingDecibels)), 0.002, 0.03);
        reached = integratedLoudness(audio);
        if (std::fabs(reached - targetLufs) < 0.05) {
            break;
        }
        gainDb += targetLufs - reached;
    }
    return reached;
}

}  // namespace soundtrack
