#include <algorithm>
#include <cmath>
#include <deque>

#include "audio.h"

namespace {

struct Biquad {
    double b0, b1, b2, a1, a2;
    double z1 = 0, z2 = 0;
    double run(double x) {
        double y = b0 * x + z1;
        z1 = b1 * x - a1 * y + z2;
        z2 = b2 * x - a2 * y;
        return y;
    }
};

// The two K-weighting stages (a high shelf for the head, then a high-pass),
// derived for any sample rate from their analogue prototypes.
Biquad shelf(double rate) {
    const double f0 = 1681.974450955533, gain = 3.999843853973347, q = 0.7071752369554196;
    double k = std::tan(M_PI * f0 / rate);
    double vh = std::pow(10.0, gain / 20.0);
    double vb = std::pow(vh, 0.4996667741545416);
    double a0 = 1.0 + k / q + k * k;
    return {(vh + vb * k / q + k * k) / a0, 2.0 * (k * k - vh) / a0, (vh - vb * k / q + k * k) / a0,
            2.0 * (k * k - 1.0) / a0, (1.0 - k / q + k * k) / a0};
}

Biquad highPass(double rate) {
    const double f0 = 38.13547087602444, q = 0.5003270373238773;
    double k = std::tan(M_PI * f0 / rate);
    double a0 = 1.0 + k / q + k * k;
    return {1.0, -2.0, 1.0, 2.0 * (k * k - 1.0) / a0, (1.0 - k / q + k * k) / a0};
}

}  // namespace

double toDecibels(double amplitude) {
    return 20.0 * std::log10(std::max(amplitude, 1e-12));
}
double fromDecibels(double decibels) {
    return std::pow(10.0, decibels / 20.0);
}

double integratedLoudness(const Stereo& audio) {
    const size_t step = static_cast<size_t>(audio.rate) / 10;  // 100 ms
    const size_t n = audio.frames();
    // Energy of each 100 ms step after K-weighting, summed over both channels.
    std::vector<double> stepEnergy(n / step, 0.0);
    for (const std::vector<float>* channel : {&audio.left, &audio.right}) {
        Biquad a = shelf(audio.rate), b = highPass(audio.rate);
        for (size_t i = 0; i < stepEnergy.size() * step; ++i) {
            double y = b.run(a.run((*channel)[i]));
            stepEnergy[i / step] += y * y;
        }
    }
    std::vector<double> blocks;  // mean square of each 400 ms block
    for (size_t s = 0; s + 4 <= stepEnergy.size(); ++s) {
        double e = stepEnergy[s] + stepEnergy[s + 1] + stepEnergy[s + 2] + stepEnergy[s + 3];
        blocks.push_back(e / (4.0 * step));
    }
    auto loudness = [](double energy) {
        return -0.691 + 10.0 * std::log10(std::max(energy, 1e-20));
    };
    auto gatedMean = [&](double gate) {
        double sum = 0;
        size_t count = 0;
        for (double e : blocks) {
            if (loudness(e) > gate) {
                sum += e;
                ++count;
            }
        }
        return count == 0 ? 0.0 : sum / count;
    };
    double absolute = gatedMean(-70.0);
    if (absolute <= 0) {
        return -70.0;
    }
    double relative = gatedMean(loudness(absolute) - 10.0);
    return loudness(relative);
}

float samplePeak(const Stereo& audio) {
    float peak = 0;
    for (size_t i = 0; i < audio.frames(); ++i) {
        peak = std::max({peak, std::fabs(audio.left[i]), std::fabs(audio.right[i])});
    }
    return peak;
}

void limitPeaks(Stereo& audio, float ceiling, double lookahead, double release) {
    const size_t n = audio.frames();
    if (n == 0) {
        return;
    }
    const int reach = std::max(1, static_cast<int>(lookahead * audio.rate));
    // Gain each sample needs on its own.
    std::vector<float> need(n);
    for (size_t i = 0; i < n; ++i) {
        float p = std::max(std::fabs(audio.left[i]), std::fabs(audio.right[i]));
        need[i] = p > ceiling ? ceiling / p : 1.0f;
    }
    // Minimum over a window of +-reach samples (monotonic deque), so the gain
    // is already down when a peak arrives.
    std::vector<float> held(n);
    std::deque<size_t> window;
    size_t next = 0;
    for (size_t i = 0; i < n; ++i) {
        while (next < n && next <= i + reach) {
            while (!window.empty() && need[window.back()] >= need[next]) {
                window.pop_back();
            }
            window.push_back(next++);
        }
        while (window.front() + reach < i) {
            window.pop_front();
        }
        held[i] = need[window.front()];
    }
    // Slow recovery: the gain may fall at once but rises only gradually. It
    // stays at or below the held gain, which keeps the guarantee below.
    const float rise = static_cast<float>(1.0 / (release * audio.rate));
    for (size_t i = 1; i < n; ++i) {
        held[i] = std::min(held[i], held[i - 1] + rise);
    }
    // Average over the same window: every term is at most the gain the centre
    // sample needs, so the smoothed gain never lets a peak through.
    double sum = 0;
    const size_t width = 2 * static_cast<size_t>(reach) + 1;
    auto term = [&](long j) { return j < 0 ? 1.0 : (j >= static_cast<long>(n) ? 1.0 : held[j]); };
    for (long j = -reach; j <= reach; ++j) {
        sum += term(j);
    }
    for (size_t i = 0; i < n; ++i) {
        float gain = static_cast<float>(sum / width);
        gain = std::min(gain, need[i]);  // guard against rounding in the running sum
        audio.left[i] *= gain;
        audio.right[i] *= gain;
        sum += term(static_cast<long>(i) + reach + 1) - term(static_cast<long>(i) - reach);
    }
}
