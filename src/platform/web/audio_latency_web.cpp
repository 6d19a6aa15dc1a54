// The browser build's audio latency: SDL plays through a Web Audio graph, and
// the AudioContext reports what it adds after the script's buffer: its own
// processing (baseLatency) and the way to the speakers (outputLatency), each
// where the browser gives it.
#include <emscripten.h>

#include "platform/audio_latency.h"

// clang-format off
// Seconds; 0 before SDL has made its context, or where a browser gives neither.
EM_JS(double, webAudioContextLatency, (), {
    var sdl = Module['SDL2'];
    var context = sdl ? sdl.audioContext : undefined;
    if (!context) {
        return 0;
    }
    var base = typeof context.baseLatency === 'number' ? context.baseLatency : 0;
    var output = typeof context.outputLatency === 'number' ? context.outputLatency : 0;
    return base + output;
});
// clang-format on

double outputLatencyMs(int bufferFrames, int rate) {
    const double buffer = rate > 0 ? 1000.0 * bufferFrames / rate : 0.0;
    return buffer + 1000.0 * webAudioContextLatency();
}
