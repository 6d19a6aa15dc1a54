#include "platform/audio_latency.h"

// SDL reports nothing of the path beyond the device buffer it was given: the
// buffer is the latency, and --av-offset covers what a sound server or the
// hardware adds on top.
double outputLatencyMs(int bufferFrames, int rate) {
    return rate > 0 ? 1000.0 * bufferFrames / rate : 0.0;
}
