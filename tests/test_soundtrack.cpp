// The generated soundtrack and the audio measurements the generator relies on.

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <vector>

#include "asset_names.h"
#include "audio.h"
#include "mp3.h"

namespace {

// The demo's cuts fall on this grid, independently of how the music is made.
constexpr double gridStartMs = 30.0;
constexpr double gridBeatMs = 444.0;

Stereo sine(double seconds, double hz, double leftAmplitude, double rightAmplitude) {
    Stereo s;
    size_t n = static_cast<size_t>(seconds * s.rate);
    for (size_t i = 0; i < n; ++i) {
        double v = std::sin(2 * M_PI * hz * i / s.rate);
        s.left.push_back(static_cast<float>(leftAmplitude * v));
        s.right.push_back(static_cast<float>(rightAmplitude * v));
    }
    return s;
}

void append(Stereo& a, const Stereo& b) {
    a.left.insert(a.left.end(), b.left.begin(), b.left.end());
    a.right.insert(a.right.end(), b.right.begin(), b.right.end());
}

TEST(Loudness, MatchesReferenceLevelsAndGates) {
    struct Case {
        const char* name;
        Stereo audio;
        double lufs;
    };
    Stereo withSilence = sine(10, 997, 0.1, 0.1);
    append(withSilence, sine(10, 997, 0, 0));
    Stereo withQuietTail = sine(10, 997, 0.1, 0.1);
    append(withQuietTail, sine(10, 997, 0.001, 0.001));
    const Case cases[] = {
        // A full-scale 997 Hz sine in both channels reads 0 LUFS, in one -3 LUFS.
        {"full scale, both channels", sine(5, 997, 1, 1), 0.0},
        {"full scale, left only", sine(5, 997, 1, 0), -3.01},
        {"-20 dB, both channels", sine(5, 997, 0.1, 0.1), -20.0},
        // Silence is gated away absolutely, a much quieter stretch relatively.
        {"half silence", withSilence, -20.0},
        {"quiet tail", withQuietTail, -20.0},
    };
    for (const Case& c : cases) {
        EXPECT_NEAR(integratedLoudness(c.audio), c.lufs, 0.1) << c.name;
    }
    EXPECT_LE(integratedLoudness(sine(5, 997, 0, 0)), -70.0);
    EXPECT_LE(integratedLoudness(sine(0.2, 997, 1, 1)), -70.0) << "shorter than one block";
}

TEST(Limiter, HoldsTheCeilingAndLeavesQuietPassagesAlone) {
    struct Case {
        const char* name;
        Stereo audio;
        float ceiling;
    };
    Stereo spike = sine(2, 220, 0.3, 0.3);
    spike.left[44100] = 3.0f;
    const Case cases[] = {
        {"loud sine", sine(1, 110, 2.0, 1.5), 0.8f},
        {"one spike", spike, 0.5f},
        {"already below", sine(1, 440, 0.4, 0.2), 0.5f},
    };
    for (const Case& c : cases) {
        Stereo out = c.audio;
        limitPeaks(out, c.ceiling);
        EXPECT_LE(samplePeak(out), c.ceiling * 1.0001f) << c.name;
        // Far from any over, the signal passes unchanged.
        for (size_t i = 0; i < out.frames(); i += 97) {
            bool nearOver = false;
            for (size_t j = (i > 6000 ? i - 6000 : 0); j < std::min(out.frames(), i + 6000); ++j) {
                nearOver = nearOver || std::fabs(c.audio.left[j]) > c.ceiling ||
                           std::fabs(c.audio.right[j]) > c.ceiling;
            }
            if (!nearOver) {
                ASSERT_EQ(out.left[i], c.audio.left[i]) << c.name << " at " << i;
            }
        }
    }
}

class Soundtrack : public testing::Test {
protected:
    static void SetUpTestSuite() {
        std::string error;
        decoded_ = decodeMp3(VELMORRA_BUILD_DIR "/data/" + std::string(assets::musicFile), audio_,
                             channels_, error);
        error_ = error;
    }
    static bool decoded_;
    static Stereo audio_;
    static int channels_;
    static std::string error_;
};
bool Soundtrack::decoded_ = false;
Stereo Soundtrack::audio_;
int Soundtrack::channels_ = 0;
std::string Soundtrack::error_;

TEST_F(Soundtrack, IsStereo44kHzOf131SecondsWithinPeakAndLoudness) {
    ASSERT_TRUE(decoded_) << error_;
    EXPECT_EQ(channels_, 2);
    EXPECT_EQ(audio_.rate, 44100);
    EXPECT_NEAR(audio_.frames() / 44100.0, 131.0, 0.5);
    EXPECT_LE(toDecibels(samplePeak(audio_)), -1.0);
    EXPECT_NEAR(integratedLoudness(audio_), -14.0, 1.0);
}

// Low band (below about 80 Hz) of the mix, filtered forwards and backwards so
// that it is not delayed, as an amplitude envelope in 1 ms steps that holds
// each value for 12 ms (longer than a period of the kick's body).
std::vector<float> lowEnvelope(const Stereo& audio) {
    std::vector<float> x(audio.frames());
    for (size_t i = 0; i < x.size(); ++i) {
        x[i] = 0.5f * (audio.left[i] + audio.right[i]);
    }
    const float k = 1 - std::exp(-2 * static_cast<float>(M_PI) * 80 / audio.rate);
    for (int pass = 0; pass < 2; ++pass) {
        float y = 0;
        for (float& v : x) {
            y += k * (v - y);
            v = y;
        }
        y = 0;
        for (size_t i = x.size(); i-- > 0;) {
            y += k * (x[i] - y);
            x[i] = y;
        }
    }
    const size_t step = audio.rate / 1000;
    std::vector<float> peak(x.size() / step), env(x.size() / step);
    for (size_t m = 0; m < peak.size(); ++m) {
        for (size_t i = m * step; i < (m + 1) * step; ++i) {
            peak[m] = std::max(peak[m], std::fabs(x[i]));
        }
        for (size_t j = m >= 12 ? m - 12 : 0; j <= m; ++j) {
            env[m] = std::max(env[m], peak[j]);
        }
    }
    return env;
}

TEST_F(Soundtrack, KickOnsetsFallOnTheBeatGrid) {
    ASSERT_TRUE(decoded_) << error_;
    std::vector<float> env = lowEnvelope(audio_);
    // An onset: the low band is loud and more than twice what it was 25 ms
    // before. After one, the next 150 ms are skipped.
    std::vector<double> onsets;
    for (size_t m = 25; m < env.size(); ++m) {
        if (env[m] > 0.06f && env[m] > 2.5f * env[m - 25]) {
            onsets.push_back(m * (audio_.rate / 1000) * 1000.0 / audio_.rate);
            m += 150;
        }
    }
    ASSERT_GT(onsets.size(), 200u) << "too few kicks found";
    int offGrid = 0;
    for (double ms : onsets) {
        double k = std::round((ms - gridStartMs) / gridBeatMs);
        double distance = std::fabs(ms - (gridStartMs + k * gridBeatMs));
        if (distance > 10) {
            ++offGrid;
            ADD_FAILURE() << "onset at " << ms << " ms is " << distance << " ms off the grid";
        }
    }
    EXPECT_EQ(offGrid, 0);
}

double rms(const Stereo& audio, double fromMs, double toMs) {
    size_t a = static_cast<size_t>(fromMs * audio.rate / 1000);
    size_t b = std::min(audio.frames(), static_cast<size_t>(toMs * audio.rate / 1000));
    double sum = 0;
    for (size_t i = a; i < b; ++i) {
        sum += audio.left[i] * audio.left[i] + audio.right[i] * audio.right[i];
    }
    return std::sqrt(sum / (2.0 * std::max<size_t>(1, b - a)));
}

TEST_F(Soundtrack, ArrangementFollowsTheScenesAndFadesOut) {
    ASSERT_TRUE(decoded_) << error_;
    double full = rms(audio_, 88840, 110150);
    // The opening, the interlude between the spike and room scenes, and the
    // outro are calmer than the full parts.
    EXPECT_LT(rms(audio_, 500, 3500), 0.5 * full);
    EXPECT_LT(rms(audio_, 46800, 52500), 0.7 * full);
    EXPECT_LT(rms(audio_, 126000, 129000), 0.5 * full);
    EXPECT_LT(toDecibels(rms(audio_, 130850, 131000)), -50.0) << "not faded out by the end";
    // The low end drops out in the interlude, where the kick pauses.
    std::vector<float> env = lowEnvelope(audio_);
    auto lowPeak = [&](int from, int to) {
        return *std::max_element(env.begin() + from, env.begin() + to);
    };
    EXPECT_LT(lowPeak(46800, 52500), 0.5f * lowPeak(33000, 45000));
}

}  // namespace
