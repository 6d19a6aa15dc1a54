#include "shell/live_clock.h"

#include <cstdio>
#include <cstring>

#include "platform/audio_latency.h"
#include "sound/sound_library.h"

namespace {

DeliveredSound deliveredSince(const DemoClock& counter, int rate) {
    const MixedMusic mixed = soundMixedMusic();
    DeliveredSound sound;
    sound.chunks = mixed.chunks;
    sound.beforeMs = 1000.0 * static_cast<double>(mixed.framesBefore) / rate;
    sound.chunkMs = 1000.0 * mixed.chunkFrames / rate;
    sound.stampMs = DemoClock::elapsedMs(counter.startCount, mixed.stampCount, counter.frequency);
    sound.firstStampMs =
        DemoClock::elapsedMs(counter.startCount, mixed.firstStampCount, counter.frequency);
    sound.musicEnded = mixed.ended;
    return sound;
}

}  // namespace

LiveClock::LiveClock(double offsetMs) : offsetMs_(offsetMs), music_(0.0, offsetMs) {}

void LiveClock::start() {
    counter_.start();
    deviceLatencyMs_ = outputLatencyMs(soundBufferFrames(), soundMixRate());
    music_ = MusicClock(deviceLatencyMs_, offsetMs_);
    if (soundMixRate() <= 0) {
        music_.followCounter("no sound output is open", 0.0);
    } else if (std::strcmp(soundDriverName(), "dummy") == 0) {
        // SDL's dummy driver throws the sound away at its own pace.
        music_.followCounter("the dummy audio driver plays nothing", 0.0);
    }
}

SceneTime LiveClock::read() {
    const double now = lead_.seenAtMs(counter_.elapsedMs());
    const bool wasMusic = music_.source() == ClockSource::Music;
    if (music_.source() == ClockSource::Music) {
        lastMs_ = music_.read(deliveredSince(counter_, soundMixRate()), now);
    } else {
        lastMs_ = music_.read(DeliveredSound{}, now);
    }
    if (wasMusic && music_.source() == ClockSource::Counter) {
        switchedAtMs_ = lastMs_;
    }
    return sceneTimeFromMs(lastMs_);
}

std::string LiveClock::describe() const {
    char line[320];
    std::string source = "music";
    if (music_.source() == ClockSource::Counter) {
        char from[64] = "";
        if (switchedAtMs_ > 0.0) {
            std::snprintf(from, sizeof from, " from %.3f s", switchedAtMs_ / 1000.0);
        }
        source = std::string("performance counter") + from + " (" + music_.counterReason() + ")";
        if (switchedAtMs_ > 0.0) {
            source = "music, then " + source;
        }
    }
    std::snprintf(line, sizeof line,
                  "velmorra: clock: %s; latency allowance %.1f ms (output %.1f ms, "
                  "--av-offset %+.0f ms); %u stalls of the sound (%.0f ms); "
                  "last time read %.0f ms\n",
                  source.c_str(), music_.allowanceMs(), deviceLatencyMs_, offsetMs_,
                  music_.stalls(), music_.stalledMs(), lastMs_);
    return line;
}
