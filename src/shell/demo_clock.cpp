#include "shell/demo_clock.h"

#include "platform/clock.h"

void DemoClock::start() {
    frequency = static_cast<double>(performanceFrequency());
    startCount = performanceCounter();
}

double DemoClock::elapsedMs() const {
    return elapsedMs(startCount, performanceCounter(), frequency);
}

double DemoClock::elapsedMs(int64_t startCount, int64_t nowCount, double frequency) {
    const int64_t ticks = nowCount - startCount;
    return static_cast<double>(ticks) / frequency * 1000.0;
}

SceneTime sceneTimeFromMs(double milliseconds) {
    const int64_t whole = static_cast<int64_t>(milliseconds);
    return static_cast<SceneTime>(static_cast<uint64_t>(whole) & 0xffffffffu);
}
