#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "base/scene_time.h"

// Frame times summarised the way a viewer judges smoothness.
struct FrameTimeSummary {
    size_t frames = 0;
    double totalMs = 0.0;
    double framesPerSecond = 0.0;  // frames over their summed time
    double medianMs = 0.0;         // the mean of the two middle values for an even count
    double percentile99Ms = 0.0;   // nearest rank: the smallest time >= 99 % of the frames
    double longestMs = 0.0;
};

// Sorts the times in place; an empty list gives an all-zero summary.
FrameTimeSummary summariseFrameTimes(std::vector<double>& frameMs);

struct SceneFrameTimes {
    const char* name;
    SceneTime lower;
    SceneTime upper;
    FrameTimeSummary times;
};

// Frame statistics for --stats. A frame's time runs from the previous frame's
// present (the start of the loop for the first frame) to its own present, and
// the frame counts for every timeline row whose window holds its scene time.
// Recording only appends to storage reserved up front, so measuring does not
// change the frame timing it measures.
class FrameStats {
public:
    FrameStats();

    // Takes the counter value the first frame is measured from.
    void start();

    // Call right after a frame drawn at t has been presented.
    void framePresented(SceneTime t);

    // Appends one frame with a known duration; framePresented measures it.
    void record(SceneTime t, double frameMs);

    size_t frames() const { return recorded.size(); }

    FrameTimeSummary overall() const;

    // One entry per timeline row in running order, then one named
    // "(no scene)" for frames whose time lies in no row's window.
    std::vector<SceneFrameTimes> perScene() const;

    // The summary printed on stderr at the end of a run.
    std::string report() const;

private:
    struct Frame {
        SceneTime t;
        double ms;
    };

    std::vector<Frame> recorded;
    int64_t lastCount = 0;
    double countsPerMs = 1.0;
};
