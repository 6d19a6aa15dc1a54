// The cuts the soundtrack marks: read from tables like the scenes', and a hit
// starting on each one's own sample.

#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "base/time_tables.h"
#include "sequence/cut_list.h"
#include "soundtrack.h"

namespace {

// The first millisecond from fromMs on at which the hit bus is audible.
double firstSoundMs(const Stereo& audio, double fromMs) {
    for (size_t i = static_cast<size_t>(fromMs * audio.rate / 1000); i < audio.frames(); ++i) {
        if (std::fabs(audio.left[i]) > 1e-3f || std::fabs(audio.right[i]) > 1e-3f) {
            return i * 1000.0 / audio.rate;
        }
    }
    return INFINITY;
}

TEST(CutSync, TableRowsPlaceTheHitsAndAMovedRowMovesItsHit) {
    HeldChange<int> jumps[] = {{2000, 1}, {2500, 2}, {4000, 1}};
    const TimeWindow<int> pictures[] = {{6000, 6400, 1}, {8000, openToTheEnd, 2}};
    for (SceneTime moved : {0u, 57u}) {
        jumps[1].start = 2500 + moved;
        std::vector<Cut> cuts = trackCuts(
            {CutKind::CameraCut, [&](SceneTime t) { return heldValueAt(jumps, t, 0); }}, 10000);
        for (const Cut& cut : trackCuts({CutKind::PictureChange,
                                         [&](SceneTime t) {
                                             const TimeWindow<int>* w = windowHolding(pictures, t);
                                             return w != nullptr ? w->value : 0;
                                         }},
                                        10000)) {
            cuts.push_back(cut);
        }
        // A picture that alternates every millisecond cuts where the
        // alternation starts and where it ends, not in between.
        for (const Cut& cut :
             trackCuts({CutKind::PictureChange,
                        [](SceneTime t) { return t > 9000 && t < 9600 ? t % 2 : 7; }},
                       9800)) {
            cuts.push_back(cut);
        }
        cuts = mergeCuts(cuts);
        const std::vector<SceneTime> expected = {2001, 2501 + moved, 4001, 6001,
                                                 6400, 8001,         9001, 9600};
        std::vector<SceneTime> times;
        std::vector<soundtrack::CutMark> marks;
        for (const Cut& cut : cuts) {
            times.push_back(cut.ms);
            marks.push_back({static_cast<double>(cut.ms), cut.kind == CutKind::CameraCut
                                                              ? soundtrack::Accent::Camera
                                                              : soundtrack::Accent::Picture});
        }
        ASSERT_EQ(times, expected) << "moved by " << moved;

        const Stereo hits = soundtrack::cutHits(marks);
        for (const Cut& cut : cuts) {
            const double start = firstSoundMs(hits, cut.ms - 50.0);
            EXPECT_GE(start, cut.ms - 0.05) << "hit for the cut at " << cut.ms << " starts early";
            EXPECT_LE(start, cut.ms + 2.0) << "hit for the cut at " << cut.ms << " starts late";
        }
    }
}

TEST(CutSync, DemoCutsCoverEveryJumpOfTheSpikeFlightAndNoFlicker) {
    const std::vector<Cut> cuts = listCuts();
    ASSERT_FALSE(cuts.empty());
    int spikeJumps = 0, titleCuts = 0;
    for (size_t i = 0; i < cuts.size(); ++i) {
        if (i > 0) {
            EXPECT_GE(cuts[i].ms, cuts[i - 1].ms + sameCutMs) << "at " << cuts[i].ms;
        }
        EXPECT_LE(cuts[i].ms, demoEndTime);
        spikeJumps +=
            cuts[i].kind == CutKind::CameraCut && cuts[i].ms > 32000 && cuts[i].ms < 46000;
        titleCuts += cuts[i].ms > 1 && cuts[i].ms < 3560;
    }
    // The flight jumps 40 times; the title picture alternates every millisecond
    // and makes no cut between its scene's edges.
    EXPECT_EQ(spikeJumps, 40);
    EXPECT_EQ(titleCuts, 0);
}

}  // namespace
