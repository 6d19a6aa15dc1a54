#include "sequence/cut_list.h"

#include <algorithm>
#include <array>

#include "presentation/cut_keys.h"
#include "sequence/timeline.h"

namespace {

// Reads the keys of one track, one millisecond after another, into cuts.
class TrackReader {
public:
    TrackReader(CutKind kind, double first) : kind_(kind), previous_(first) {}

    void read(SceneTime t, double key, std::vector<Cut>& cuts) {
        if (key == previous_) {
            return;
        }
        previous_ = key;
        if (!inRun_ || t - lastChange_ >= flickerGapMs) {
            finish(cuts);
            cuts.push_back({t, kind_});
            runStart_ = t;
            inRun_ = true;
        }
        lastChange_ = t;
    }

    // Cuts where the last run of changes ends, if it lasted.
    void finish(std::vector<Cut>& cuts) const {
        if (inRun_ && lastChange_ - runStart_ >= flickerGapMs) {
            cuts.push_back({lastChange_, kind_});
        }
    }

private:
    CutKind kind_;
    double previous_;
    SceneTime runStart_ = 0;
    SceneTime lastChange_ = 0;
    bool inRun_ = false;
};

constexpr double notRunning = noCutKey;

// A row's three tracks at t: whether it runs, its camera and its pictures.
std::array<double, 3> rowKeys(const TimelineRow& row, SceneTime t, FrameDependentState& frames) {
    if (!rowRuns(row, t)) {
        return {0.0, notRunning, notRunning};
    }
    const CutKeys keys = row.shotKeys(t, frames);
    return {1.0, keys.camera, keys.pictures};
}

}  // namespace

std::vector<Cut> trackCuts(const CutTrack& track, SceneTime until) {
    std::vector<Cut> cuts;
    TrackReader reader(track.kind, track.key(0));
    for (SceneTime t = 1; t <= until; ++t) {
        reader.read(t, track.key(t), cuts);
    }
    reader.finish(cuts);
    return cuts;
}

std::vector<Cut> mergeCuts(std::vector<Cut> cuts) {
    std::stable_sort(cuts.begin(), cuts.end(),
                     [](const Cut& a, const Cut& b) { return a.ms < b.ms; });
    std::vector<Cut> merged;
    for (const Cut& cut : cuts) {
        if (!merged.empty() && cut.ms - merged.back().ms < sameCutMs) {
            // Kinds are ordered by weight, scene changes first.
            merged.back().kind = std::min(merged.back().kind, cut.kind);
            continue;
        }
        merged.push_back(cut);
    }
    return merged;
}

std::vector<Cut> listCuts() {
    constexpr CutKind kinds[3] = {CutKind::SceneChange, CutKind::CameraCut, CutKind::PictureChange};
    FrameDependentState frames;
    std::vector<TrackReader> readers;
    for (const TimelineRow& row : DemoTimeline) {
        const std::array<double, 3> first = rowKeys(row, 0, frames);
        for (size_t k = 0; k < first.size(); ++k) {
            readers.emplace_back(kinds[k], first[k]);
        }
    }
    std::vector<Cut> cuts;
    for (SceneTime t = 1; t <= demoEndTime; ++t) {
        for (size_t r = 0; r < DemoTimeline.size(); ++r) {
            const std::array<double, 3> keys = rowKeys(DemoTimeline[r], t, frames);
            for (size_t k = 0; k < keys.size(); ++k) {
                readers[r * keys.size() + k].read(t, keys[k], cuts);
            }
        }
    }
    for (const TrackReader& reader : readers) {
        reader.finish(cuts);
    }
    return mergeCuts(std::move(cuts));
}
