#include "sequence/cut_list.h"

#include <algorithm>

#include "effects/bitmap_environment.h"
#include "effects/box.h"
#include "effects/spheres.h"
#include "effects/spike.h"
#include "effects/tunnel.h"
#include "effects/twist.h"
#include "presentation/overlay_scenes.h"
#include "sequence/timeline.h"

namespace {

constexpr double hidden = -1.0;

// A key that is only seen (and only asked, as the scene asks its tables)
// while the timeline row of scene runs.
std::function<double(SceneTime)> whileRunning(SceneFunction scene,
                                              std::function<double(SceneTime)> key) {
    const TimelineRow* row = nullptr;
    for (const TimelineRow& r : DemoTimeline) {
        if (r.scene == scene) {
            row = &r;
        }
    }
    return [row, key](SceneTime t) { return row != nullptr && rowRuns(*row, t) ? key(t) : hidden; };
}

// Everything that changes the whole picture at once. No track: the grain,
// which alternates every millisecond over every frame, and what moves
// smoothly (the pillar's sliding look-at point, the tunnel's widening view,
// the closing sheet slowing down). The title picture's own alternation is a
// track, but as flicker it only cuts where it starts and ends.
std::vector<CutTrack> demoTracks() {
    using K = CutKind;
    std::vector<CutTrack> tracks;
    for (const TimelineRow& row : DemoTimeline) {
        tracks.push_back(
            {K::SceneChange, [&row](SceneTime t) { return rowRuns(row, t) ? 1.0 : 0.0; }});
    }
    // Camera cuts: jumps of a scene's time offset, orbit or view.
    tracks.push_back({K::CameraCut, whileRunning(spikeScene, [offset = 0](SceneTime t) mutable {
                          offset = spikeTimeOffsetAt(t, offset);
                          return static_cast<double>(offset);
                      })});
    tracks.push_back(
        {K::CameraCut, whileRunning(twistRoomScene, [offset = 0.0f](SceneTime t) mutable {
             offset = roomCameraOffsetAt(t, offset);
             return static_cast<double>(offset);
         })});
    tracks.push_back({K::CameraCut, whileRunning(twistPillarScene, [](SceneTime t) {
                          const std::optional<PillarView> view = pillarViewAt(t);
                          // The first view's look-at point slides; only its depth cuts.
                          return view ? static_cast<double>(view->eyeDepth) : hidden;
                      })});
    tracks.push_back({K::CameraCut,
                      whileRunning(boxScene, [divisor = boxStartOrbitDivisor](SceneTime t) mutable {
                          divisor = nextBoxOrbitDivisor(divisor, t);
                          return static_cast<double>(divisor);
                      })});
    tracks.push_back({K::CameraCut, whileRunning(spheresScene, [](SceneTime t) {
                          return static_cast<double>(spheresCameraDistance(t));
                      })});
    tracks.push_back({K::CameraCut, whileRunning(tunnelScene, [](SceneTime t) {
                          return static_cast<double>(tunnelTimeOffset(t));
                      })});
    // Pictures.
    tracks.push_back({K::PictureChange, whileRunning(hearingScene, [](SceneTime t) {
                          return static_cast<double>(hearingPictureIndex(t));
                      })});
    tracks.push_back({K::PictureChange, whileRunning(creditsScene, [](SceneTime t) {
                          const CreditsPicture p = creditsPictureAt(t);
                          return static_cast<double>(static_cast<int>(p.group) * 16 + p.index);
                      })});
    tracks.push_back({K::PictureChange, whileRunning(creditsScene, [](SceneTime t) {
                          return creditsBandBlanked(t) ? 1.0 : 0.0;
                      })});
    tracks.push_back(
        {K::PictureChange, whileRunning(twistPillarScene, [index = 0](SceneTime t) mutable {
             if (t <= machinePicturesAfter) {
                 return hidden;
             }
             index = machinePictureIndexAt(t, index);
             return static_cast<double>(index);
         })});
    tracks.push_back({K::PictureChange, whileRunning(twistPillarScene, [](SceneTime t) {
                          return secondMachinePictureShown(t)
                                     ? static_cast<double>(secondMachinePictureAt(t))
                                     : hidden;
                      })});
    tracks.push_back({K::PictureChange, whileRunning(twistRoomScene, [](SceneTime t) {
                          return static_cast<double>(roomCutoutAt(t));
                      })});
    tracks.push_back({K::PictureChange, whileRunning(soyaScene, [](SceneTime t) {
                          return static_cast<double>(soyaPictureIndex(t));
                      })});
    tracks.push_back({K::PictureChange, whileRunning(bitmapScene, [index = 0](SceneTime t) mutable {
                          if (t <= closingPicturesAfter) {
                              return hidden;
                          }
                          index = nextClosingPictureIndex(index, t);
                          return static_cast<double>(index);
                      })});
    return tracks;
}

}  // namespace

std::vector<Cut> trackCuts(const CutTrack& track, SceneTime until) {
    std::vector<Cut> cuts;
    double previous = track.key(0);
    SceneTime runStart = 0, lastChange = 0;
    bool inRun = false;
    auto closeRun = [&] {
        if (inRun && lastChange - runStart >= flickerGapMs) {
            cuts.push_back({lastChange, track.kind});
        }
    };
    for (SceneTime t = 1; t <= until; ++t) {
        const double key = track.key(t);
        if (key == previous) {
            continue;
        }
        previous = key;
        if (!inRun || t - lastChange >= flickerGapMs) {
            closeRun();
            cuts.push_back({t, track.kind});
            runStart = t;
            inRun = true;
        }
        lastChange = t;
    }
    closeRun();
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
    std::vector<Cut> all;
    for (const CutTrack& track : demoTracks()) {
        std::vector<Cut> cuts = trackCuts(track, demoEndTime);
        all.insert(all.end(), cuts.begin(), cuts.end());
    }
    return mergeCuts(std::move(all));
}
