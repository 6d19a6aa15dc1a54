#pragma once

#include <string>

#include "base/scene_time.h"
#include "shell/demo_clock.h"
#include "shell/frame_lead.h"
#include "shell/music_clock.h"

// The clock of real-time play: the music as it is heard when the picture
// drawn after the read is seen, read from what the mixer has delivered, or
// the performance counter when there is no sound to follow. Start it right
// after the music was started.
class LiveClock {
public:
    // offsetMs: --av-offset, added to the latency the audio path reports.
    explicit LiveClock(double offsetMs);

    // Takes the counter's zero and the latency of the open output.
    void start();

    SceneTime read();

    // One line for --stats: which clock, the latency allowance, the stalls.
    std::string describe() const;

private:
    DemoClock counter_;
    FrameLead lead_;
    double offsetMs_;
    double deviceLatencyMs_ = 0.0;
    MusicClock music_;
    double switchedAtMs_ = -1.0;
    double lastMs_ = 0.0;
};
