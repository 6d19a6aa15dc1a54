#include "cut_hits.h"

#include <algorithm>
#include <cmath>

#include "noise.h"

namespace soundtrack {
namespace {

constexpr double twoPi = 6.283185307179586;

// The attack reaches full level within a millisecond of the first
// sample; anything slower blurs where the hit starts.
double attack(size_t i, int rate) {
    return std::min(1.0, static_cast<double>(i) / (rate / 1000.0));
}

// Bright band-passed noise over a short pitched body.
void snareHit(std::vector<double>& v, int rate, double bodyHz, double decay, Noise& noise) {
    float low = 0, band = 0;
    double phase = 0;
    for (size_t i = 0; i < v.size(); ++i) {
        double t = static_cast<double>(i) / rate;
        float n = noise.next();
        // Chamberlin state-variable band-pass around 3 kHz.
        low += 0.42f * band;
        float high = n - low - 0.5f * band;
        band += 0.42f * high;
        phase += twoPi * bodyHz * (1 + 0.5 * std::exp(-t * 60)) / rate;
        v[i] += (band * std::exp(-t * decay) + 0.45 * high * std::exp(-t * 90) +
                 0.6 * std::sin(phase) * std::exp(-t * 28)) *
                attack(i, rate);
    }
}

// Six square waves at inharmonic ratios, high-passed around 2 kHz: a small
// cymbal or bell. (A first difference would turn every edge into a spike.)
void metalHit(std::vector<double>& v, int rate, double baseHz, Noise& noise) {
    constexpr double ratios[6] = {1.0, 1.4471, 1.6170, 1.9265, 2.5028, 2.6637};
    double phases[6] = {0, 0.1, 0.2, 0.3, 0.4, 0.5};
    const double k = 1 - std::exp(-twoPi * 2000 / rate);
    double low = 0;
    for (size_t i = 0; i < v.size(); ++i) {
        double t = static_cast<double>(i) / rate;
        double sum = 0;
        for (int p = 0; p < 6; ++p) {
            phases[p] += baseHz * ratios[p] / rate;
            sum += (phases[p] - std::floor(phases[p])) < 0.5 ? 1.0 : -1.0;
        }
        low += k * (sum / 6 - low);
        double high = sum / 6 - low;
        double click = noise.next() * std::exp(-t * 300);
        v[i] += (high * (0.7 * std::exp(-t * 14) + 0.8 * std::exp(-t * 80)) + 0.5 * click) *
                attack(i, rate);
    }
}

// A pitch-dropping sine with a noise stick.
void tomHit(std::vector<double>& v, int rate, double hz, Noise& noise) {
    double phase = 0;
    float previous = 0;
    for (size_t i = 0; i < v.size(); ++i) {
        double t = static_cast<double>(i) / rate;
        phase += twoPi * hz * (1 + 0.6 * std::exp(-t * 35)) / rate;
        float n = noise.next();
        double stick = (n - previous) * std::exp(-t * 60);
        previous = n;
        v[i] += (std::sin(phase) * std::exp(-t * 11) + 3.0 * stick) * attack(i, rate);
    }
}

// A short noise tail, quieter than the hit it follows.
void crashTail(std::vector<double>& v, int rate, Noise& noise) {
    float previous = 0;
    for (size_t i = 0; i < v.size(); ++i) {
        double t = static_cast<double>(i) / rate;
        float n = noise.next();
        v[i] += 0.35 * (n - 0.6f * previous) * std::exp(-t * 4.5) * attack(i, rate);
        previous = n;
    }
}

}  // namespace

void addHit(Stereo& out, size_t at, const HitSound& sound, float pan, uint32_t seed) {
    const int rate = out.rate;
    Noise noise{seed | 1u};
    std::vector<double> v(static_cast<size_t>(rate) * (sound.accent == Accent::Scene ? 9 : 3) / 10);
    if (sound.offGrid) {
        tomHit(v, rate, sound.toneHz, noise);
    } else if (sound.accent == Accent::Picture) {
        metalHit(v, rate, 540.0, noise);
    } else {
        snareHit(v, rate, 190.0, sound.accent == Accent::Scene ? 14 : 22, noise);
    }
    if (sound.accent == Accent::Scene) {
        crashTail(v, rate, noise);
    }
    // A short fade at the end: a hit cut off mid-swing clicks, and the click
    // is an attack of its own.
    const size_t fade = static_cast<size_t>(rate) / 50;
    for (size_t i = 0; i < fade; ++i) {
        v[v.size() - 1 - i] *= static_cast<double>(i) / fade;
    }
    const float l = std::cos((pan + 1) * 0.785398f) * 1.41421f;
    const float r = std::sin((pan + 1) * 0.785398f) * 1.41421f;
    for (size_t i = 0; i < v.size() && at + i < out.frames(); ++i) {
        const float s = static_cast<float>(v[i]) * sound.level;
        out.left[at + i] += s * l;
        out.right[at + i] += s * r;
    }
}

}  // namespace soundtrack
