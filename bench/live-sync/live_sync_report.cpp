// Reads one recording of the rig (see live_sync.sh): the control program's
// flashes and clicks before and after the demo, which give the rig's own
// delays, and between them the demo, whose sound after picture it measures
// for every cut it finds: the figures on standard output, each cut in
// DIR/cuts.txt.
//
//   live_sync_report DIR CONTROL_LOG MUSIC_WAV MUSIC_ONSETS DEMO_START_MICROSECONDS

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <map>
#include <string>
#include <utility>
#include <vector>

#include "recording.h"
#include "sequence/cut_list.h"

namespace {

// What live_sync.sh extracts: 80x60 grey frames and 44.1 kHz stereo sound.
constexpr int frameWidth = 80;
constexpr int frameHeight = 60;

// A whole-picture change: far above the frame-to-frame motion of a scene.
constexpr double cutChange = 12.0;
// Steady: the frames around it change less than this share of it.
constexpr double steadyShare = 0.4;
// The first millisecond from fromMs on that starts a stretch of sound: loud,
// and loud on average over the next 200 ms (a click alone is not enough).
double firstSoundMs(const std::vector<float>& envelope, double fromMs) {
    constexpr size_t stretch = 200;
    for (size_t k = static_cast<size_t>(std::max(0.0, fromMs)); k + stretch < envelope.size();
         ++k) {
        if (envelope[k] > 1000.0f) {
            double sum = 0.0;
            for (size_t i = k; i < k + stretch; ++i) {
                sum += envelope[i];
            }
            if (sum / stretch > 800.0) {
                return static_cast<double>(k);
            }
        }
    }
    return NAN;
}

// How far from the recorded hit a picture change may lie to count as its cut:
// less than the gap between most cuts, more than any delay worth measuring.
constexpr double pictureSearchMs = 150.0;
// The loudness curves must agree this well for a lag to be taken.
constexpr double alignedScore = 0.5;
// A step of more than 200 ms must line up at least this well.
constexpr double leapScore = 0.8;
// How close to where the loudness curve puts it an onset must lie.
constexpr double onsetOnBeatMs = 12.0;
// The recorder stamps its sound with its own idea of the latency, off by
// anything up to a few hundred milliseconds (363 ms has been seen), so the
// rig's delay is looked for this far either side of none...
constexpr double rigSearchMs = 1500.0;
// ...as the one shift that lines up the most events to within this.
constexpr double rigToleranceMs = 20.0;
// The music's own hit must lie this close to the cut to count it.
constexpr double musicHitMs = 15.0;

double nearest(const std::vector<double>& sorted, double ms, double within) {
    auto at = std::lower_bound(sorted.begin(), sorted.end(), ms);
    double best = NAN;
    if (at != sorted.end() && *at - ms <= within) {
        best = *at;
    }
    if (at != sorted.begin() && ms - *(at - 1) <= within &&
        (std::isnan(best) || ms - *(at - 1) < best - ms)) {
        best = *(at - 1);
    }
    return best;
}

// The frames at which the whole picture changes: a large difference to the
// frame before, with the pictures on either side steady. A flickering run
// (the title alternates every millisecond) counts only where it starts or
// ends; the grain's alternation and a scene's motion stay far below.
std::vector<double> pictureChanges(const Recording& r) {
    std::vector<double> changes;
    const std::vector<double>& d = r.changes;
    for (size_t i = 2; i + 2 < d.size(); ++i) {
        const double steady = steadyShare * d[i];
        if (d[i] >= cutChange && d[i - 2] < steady && d[i - 1] < steady && d[i + 1] < steady &&
            d[i + 2] < steady) {
            changes.push_back(r.frameMs[i]);
        }
    }
    return changes;
}

std::vector<double> after(const std::vector<double>& sorted, double ms) {
    return std::vector<double>(std::lower_bound(sorted.begin(), sorted.end(), ms), sorted.end());
}

// Where a stretch of the music lies in the recording. The music is full of
// evenly spaced onsets, so an onset alone cannot say which beat it is; the
// loudness curve two seconds around it can. The lag is recording time minus
// music time, in milliseconds; score is the correlation (up to 1).
class SoundAligner {
public:
    SoundAligner(const std::vector<float>& music, const Recording& recording)
        : music_(music), recording_(recording) {}

    double bestLag(double musicMs, double fromLag, double toLag, double& bestScore) const {
        const long first = std::lround(musicMs) - alignWindowMs;
        const long last = std::lround(musicMs) + alignWindowMs;
        bestScore = -1.0;
        if (first < 0 || last > static_cast<long>(music_.size())) {
            return NAN;
        }
        double mean = 0.0, squares = 0.0;
        for (long k = first; k < last; ++k) {
            mean += music_[k];
        }
        mean /= last - first;
        for (long k = first; k < last; ++k) {
            squares += (music_[k] - mean) * (music_[k] - mean);
        }
        const long start = std::lround(recording_.soundStartMs);
        std::vector<std::pair<long, double>> scores;
        for (long lag = std::lround(fromLag); lag <= std::lround(toLag); ++lag) {
            const long shift = lag - start;
            if (first + shift < 0 || last + shift > static_cast<long>(recording_.envelope.size())) {
                continue;
            }
            double dot = 0.0, sum = 0.0, heardSquares = 0.0;
            for (long k = first; k < last; ++k) {
                const double heard = recording_.envelope[k + shift];
                dot += (music_[k] - mean) * heard;
                sum += heard;
                heardSquares += heard * heard;
            }
            const double spread = heardSquares - sum * sum / (last - first);
            scores.emplace_back(lag, spread > 0.0 ? dot / std::sqrt(spread * squares) : -1.0);
        }
        for (const auto& [lag, score] : scores) {
            bestScore = std::max(bestScore, score);
        }
        // The music repeats itself bar by bar, so a later bar may line up
        // about as well: the earliest peak close to the best is the one.
        double best = NAN;
        for (size_t i = 0; i < scores.size(); ++i) {
            const bool peak = (i == 0 || scores[i].second >= scores[i - 1].second) &&
                              (i + 1 == scores.size() || scores[i].second >= scores[i + 1].second);
            if (peak && scores[i].second >= 0.9 * bestScore) {
                best = static_cast<double>(scores[i].first);
                bestScore = scores[i].second;
                break;
            }
        }
        return best;
    }

private:
    static constexpr long alignWindowMs = 1000;
    const std::vector<float>& music_;
    const Recording& recording_;
};

// How much later than sent the rig records a kind of event: the shift that
// lines up the most of them with what was recorded, refined to the median of
// their own delays. The control's events are unevenly spaced, so a shift by
// whole events lines up only a few; a delay longer than the gap between two
// events cannot be mistaken for a short one.
std::vector<double> rigDelays(const std::vector<double>& sent,
                              const std::vector<double>& recorded) {
    std::vector<double> best;
    for (double shift = -rigSearchMs; shift <= rigSearchMs; shift += 1.0) {
        std::vector<double> delays;
        for (double at : sent) {
            const double seen = nearest(recorded, at + shift, rigToleranceMs);
            if (!std::isnan(seen)) {
                delays.push_back(seen - at);
            }
        }
        if (delays.size() > best.size()) {
            best = std::move(delays);
        }
    }
    return best;
}

// The rig's delays at one moment, medians over one run of the control.
struct RigDelay {
    double atMs = 0.0;  // the middle of that run
    double videoMs = 0.0;
    double audioMs = 0.0;
};

// The recorded events that may belong to the control events from firstMs to
// lastMs: those within the widest delay searched.
std::vector<double> eventsNear(const std::vector<double>& recorded, double firstMs, double lastMs) {
    std::vector<double> near;
    for (double ms : recorded) {
        if (ms >= firstMs - rigSearchMs && ms <= lastMs + rigSearchMs) {
            near.push_back(ms);
        }
    }
    return near;
}

// One run of the control: how much later than shown a picture is grabbed,
// and than played a click is recorded.
bool calibrateRun(const Recording& r, const std::vector<double>& flashes,
                  const std::vector<double>& clicks, const char* which, RigDelay& delay) {
    std::vector<double> lit;  // the first bright frame after a dark one
    for (size_t i = 1; i < r.brightness.size(); ++i) {
        if (r.brightness[i] > 128.0 && r.brightness[i - 1] < 64.0) {
            lit.push_back(r.frameMs[i]);
        }
    }
    const std::vector<double> video =
        rigDelays(flashes, eventsNear(lit, flashes.front(), flashes.back()));
    const std::vector<double> audio =
        rigDelays(clicks, eventsNear(r.onsetMs, clicks.front(), clicks.back()));
    if (video.size() < flashes.size() * 3 / 4 || audio.size() < clicks.size() * 3 / 4) {
        std::fprintf(stderr,
                     "live_sync_report: the rig %s saw %zu of %zu flashes, %zu of %zu clicks\n",
                     which, video.size(), flashes.size(), audio.size(), clicks.size());
        return false;
    }
    std::printf(
        "rig %s: video %+.1f ms (quartiles %+.1f / %+.1f, %zu of %zu flashes), "
        "audio %+.1f ms (quartiles %+.1f / %+.1f, %zu of %zu clicks)\n",
        which, quantile(video, 0.5), quantile(video, 0.25), quantile(video, 0.75), video.size(),
        flashes.size(), quantile(audio, 0.5), quantile(audio, 0.25), quantile(audio, 0.75),
        audio.size(), clicks.size());
    delay = {(clicks.front() + clicks.back()) / 2.0, quantile(video, 0.5), quantile(audio, 0.5)};
    return true;
}

// The control runs before and after the demo. The recorded sound is timed by
// counting its samples, and the sink's sample clock runs a little off the
// wall clock (its block timing rounds to whole microseconds), so the rig's
// delays are taken from both runs and drawn as a straight line between them.
class RigDelays {
public:
    bool calibrate(const Recording& r, const std::string& controlLog, double demoStartMs) {
        std::vector<double> flashes[2], clicks[2];
        std::ifstream in(controlLog);
        std::string kind;
        for (double micros; in >> kind >> micros;) {
            const int run = micros / 1000.0 < demoStartMs ? 0 : 1;
            (kind == "flash" ? flashes : clicks)[run].push_back(micros / 1000.0);
        }
        for (int run = 0; run < 2; ++run) {
            if (flashes[run].empty() || clicks[run].empty()) {
                std::fprintf(stderr, "live_sync_report: no control run %s the demo in %s\n",
                             run == 0 ? "before" : "after", controlLog.c_str());
                return false;
            }
        }
        return calibrateRun(r, flashes[0], clicks[0], "before", before_) &&
               calibrateRun(r, flashes[1], clicks[1], "after", after_);
    }

    double videoMs(double atMs) const { return along(atMs, before_.videoMs, after_.videoMs); }
    double audioMs(double atMs) const { return along(atMs, before_.audioMs, after_.audioMs); }

private:
    double along(double atMs, double beforeMs, double afterMs) const {
        const double share = (atMs - before_.atMs) / (after_.atMs - before_.atMs);
        return beforeMs + share * (afterMs - beforeMs);
    }

    RigDelay before_, after_;
};

size_t thirdOf(SceneTime ms) {
    return std::min<size_t>(2, 3 * static_cast<size_t>(ms) / demoEndTime);
}

// Prints the figures and writes each matched cut's time and sound after
// picture, one a line, to perCutPath.
int measureDemo(const Recording& r, const std::string& musicWav, const std::string& musicOnsetsPath,
                double demoStartMs, const RigDelays& rig, const std::string& perCutPath) {
    std::ofstream perCut(perCutPath);
    std::vector<double> musicOnsets;
    for (double seconds : readNumbers(musicOnsetsPath)) {
        musicOnsets.push_back(seconds * 1000.0);
    }
    std::sort(musicOnsets.begin(), musicOnsets.end());
    const std::vector<Cut> cuts = listCuts();
    std::vector<double> cutMs;
    size_t cutsInThird[3] = {};
    for (const Cut& cut : cuts) {
        cutMs.push_back(cut.ms);
        ++cutsInThird[thirdOf(cut.ms)];
    }
    const std::vector<double> pictures = after(pictureChanges(r), demoStartMs);
    const std::vector<double> onsets = after(r.onsetMs, demoStartMs);
    const std::vector<float> music = loudnessEnvelope(musicWav);
    const SoundAligner aligner(music, r);
    // The music begins out of the silence of loading, which fixes the first
    // lag; after that an underrun can only delay it further, and a stretch too
    // chopped up by underruns to line up keeps the lag found before it.
    double score = 0.0;
    const double soundFrom = firstSoundMs(r.envelope, demoStartMs - r.soundStartMs);
    double lag =
        aligner.bestLag(firstSoundMs(music, 0.0) + 1000.0, soundFrom + r.soundStartMs - 300.0,
                        soundFrom + r.soundStartMs + 300.0, score);
    if (std::isnan(lag)) {
        std::fprintf(stderr, "live_sync_report: the music's start is not in the recording\n");
        return 1;
    }
    std::vector<double> all, thirds[3];
    for (size_t i = 0; i < cuts.size(); ++i) {
        const Cut& cut = cuts[i];
        const double hit = nearest(musicOnsets, cut.ms, musicHitMs);
        if (std::isnan(hit)) {
            continue;
        }
        // Small steps first: an underrun delays the music by a little; a
        // larger step must line up clearly better than a repeated bar would.
        double found = aligner.bestLag(hit, lag - 30.0, lag + 200.0, score);
        if (std::isnan(found) || score < alignedScore) {
            found = aligner.bestLag(hit, lag - 30.0, lag + 1500.0, score);
            if (score < leapScore) {
                found = NAN;
            }
        }
        if (!std::isnan(found)) {
            lag = found;
        }
        // The hit as recorded, and the picture change nearest to where the
        // cut would be shown if it kept time with it.
        const double heard = nearest(onsets, hit + lag, onsetOnBeatMs);
        if (std::isnan(heard)) {
            continue;
        }
        // On the wall clock, with the rig's own delays taken off both.
        const double played = heard - rig.audioMs(heard);
        const double grabbedIfInStep = played - (hit - cut.ms) + rig.videoMs(played);
        // A picture change nearer to a neighbouring cut is that cut's.
        double searchMs = pictureSearchMs;
        if (i > 0) {
            searchMs = std::min(searchMs, (cutMs[i] - cutMs[i - 1]) / 2.0);
        }
        if (i + 1 < cuts.size()) {
            searchMs = std::min(searchMs, (cutMs[i + 1] - cutMs[i]) / 2.0);
        }
        const double shown = nearest(pictures, grabbedIfInStep, searchMs);
        if (std::isnan(shown)) {
            continue;
        }
        const double late = played - (shown - rig.videoMs(shown)) - (hit - cut.ms);
        all.push_back(late);
        perCut << cut.ms << ' ' << late << '\n';
        thirds[thirdOf(cut.ms)].push_back(late);
    }
    std::printf("cuts: %zu in the demo, %zu picture changes and %zu sound onsets recorded\n",
                cuts.size(), pictures.size(), onsets.size());
    std::printf("matched cuts: %zu\n", all.size());
    if (all.empty()) {
        return 1;
    }
    std::printf("sound after picture: median %+.1f ms (quartiles %+.1f / %+.1f ms)\n",
                quantile(all, 0.5), quantile(all, 0.25), quantile(all, 0.75));
    std::printf(
        "median per third: first %+.1f ms (%zu of %zu cuts), middle %+.1f ms (%zu of %zu), "
        "last %+.1f ms (%zu of %zu)\n",
        quantile(thirds[0], 0.5), thirds[0].size(), cutsInThird[0], quantile(thirds[1], 0.5),
        thirds[1].size(), cutsInThird[1], quantile(thirds[2], 0.5), thirds[2].size(),
        cutsInThird[2]);
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 6) {
        std::fprintf(stderr,
                     "usage: live_sync_report DIR CONTROL_LOG MUSIC_WAV MUSIC_ONSETS "
                     "DEMO_START_MICROSECONDS\n");
        return 2;
    }
    const std::string dir = argv[1];
    Recording recording;
    std::string error;
    if (!readRecording(dir + "/frames.gray", frameWidth, frameHeight, dir + "/frames.txt",
                       dir + "/audio.csv", dir + "/onsets.txt", dir + "/audio.wav", recording,
                       error)) {
        std::fprintf(stderr, "live_sync_report: %s\n", error.c_str());
        return 1;
    }
    const double demoStartMs = std::atof(argv[5]) / 1000.0;
    RigDelays rig;
    if (!rig.calibrate(recording, argv[2], demoStartMs)) {
        return 1;
    }
    return measureDemo(recording, argv[3], argv[4], demoStartMs, rig, dir + "/cuts.txt");
}
