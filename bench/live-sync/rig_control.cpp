// The rig's control: a window that turns white at known moments and a sound
// stream that clicks at the same moments, so that a recording of both shows
// how late the rig itself sees a picture and hears a sound.
//
//   velmorra_rig_control WIDTH HEIGHT COUNT BUFFER_FRAMES > control.log
//
// BUFFER_FRAMES is the buffer the demo asks its sound server for. The control
// asks for the same, the way SDL does (a target length and nothing else, the
// server choosing the sink's share), so that the sink runs at the same
// latency while the control plays as while the demo does.
//
// Prints "flash MICROSECONDS" once each white picture has reached the X
// server and "click MICROSECONDS" for the moment each click is played, both on
// the wall clock the recorder stamps its frames and sound with. The click's
// moment comes from PulseAudio's own account of the stream's latency.

#include <SDL.h>
#include <pulse/error.h>
#include <pulse/simple.h>
#include <time.h>

#include <atomic>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <thread>
#include <vector>

namespace {

constexpr int rate = 44100;
constexpr int blockFrames = 220;  // 5 ms
constexpr double firstEventMs = 1500.0;

// The gap before event k + 1: 400 to 650 ms, uneven, so that the recording
// lines up with the events at one shift only, however late the rig is.
double eventGapMs(int k) {
    return 400.0 + (k * 137) % 250;
}

int64_t wallMicros() {
    timespec now{};
    clock_gettime(CLOCK_REALTIME, &now);
    return int64_t{now.tv_sec} * 1000000 + now.tv_nsec / 1000;
}

// A 4 ms burst at 3 kHz, loud at once and fading: a sharp onset.
int16_t clickSample(int64_t frame) {
    const double seconds = static_cast<double>(frame) / rate;
    return static_cast<int16_t>(24000.0 * std::exp(-seconds / 0.002) *
                                std::sin(2.0 * M_PI * 3000.0 * seconds));
}

// Writes silence and clicks until stop; each block's first frame is played
// the stream's latency after the block is written.
void playClicks(pa_simple* stream, const std::vector<int64_t>& clicks, std::atomic<bool>& stop) {
    std::vector<int16_t> block(2 * blockFrames);
    while (!stop) {
        int error = 0;
        const pa_usec_t latency = pa_simple_get_latency(stream, &error);
        const int64_t blockStart = wallMicros() + static_cast<int64_t>(latency);
        for (int i = 0; i < blockFrames; ++i) {
            const int64_t at = blockStart + int64_t{i} * 1000000 / rate;
            int16_t value = 0;
            for (int64_t click : clicks) {
                if (at >= click && at < click + 20000) {
                    value = clickSample((at - click) * rate / 1000000);
                }
            }
            block[2 * i] = block[2 * i + 1] = value;
        }
        if (pa_simple_write(stream, block.data(), block.size() * sizeof(int16_t), &error) < 0) {
            std::fprintf(stderr, "rig_control: %s\n", pa_strerror(error));
            return;
        }
    }
}

void fill(SDL_Window* window, Uint8 grey) {
    SDL_Surface* surface = SDL_GetWindowSurface(window);
    SDL_FillRect(surface, nullptr, SDL_MapRGB(surface->format, grey, grey, grey));
    SDL_UpdateWindowSurface(window);
}

void waitUntil(int64_t micros) {
    while (wallMicros() < micros - 2000) {
        SDL_PumpEvents();
        SDL_Delay(1);
    }
    while (wallMicros() < micros) {
    }
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 5) {
        std::fprintf(stderr, "usage: velmorra_rig_control WIDTH HEIGHT COUNT BUFFER_FRAMES\n");
        return 2;
    }
    const int width = std::atoi(argv[1]), height = std::atoi(argv[2]), count = std::atoi(argv[3]);
    const auto bufferBytes = static_cast<uint32_t>(4 * std::atoi(argv[4]));
    if (SDL_Init(SDL_INIT_VIDEO) != 0) {
        std::fprintf(stderr, "rig_control: %s\n", SDL_GetError());
        return 1;
    }
    SDL_Window* window = SDL_CreateWindow("velmorra rig control", 0, 0, width, height, 0);
    const pa_sample_spec spec{PA_SAMPLE_S16LE, rate, 2};
    const auto serverChooses = static_cast<uint32_t>(-1);
    const pa_buffer_attr buffer{serverChooses, bufferBytes, serverChooses, serverChooses,
                                serverChooses};
    int error = 0;
    pa_simple* stream = pa_simple_new(nullptr, "velmorra rig control", PA_STREAM_PLAYBACK, nullptr,
                                      "clicks", &spec, nullptr, &buffer, &error);
    if (window == nullptr || stream == nullptr) {
        std::fprintf(stderr, "rig_control: no window or no sound: %s %s\n", SDL_GetError(),
                     stream == nullptr ? pa_strerror(error) : "");
        return 1;
    }
    fill(window, 0);
    const int64_t start = wallMicros();
    std::vector<int64_t> moments;
    double atMs = firstEventMs;
    for (int k = 0; k < count; ++k) {
        moments.push_back(start + static_cast<int64_t>(atMs * 1000));
        atMs += eventGapMs(k);
    }
    std::atomic<bool> stop{false};
    std::thread sound(playClicks, stream, std::cref(moments), std::ref(stop));
    for (int64_t moment : moments) {
        waitUntil(moment);
        fill(window, 255);
        std::printf("flash %lld\nclick %lld\n", static_cast<long long>(wallMicros()),
                    static_cast<long long>(moment));
        waitUntil(moment + 150000);
        fill(window, 0);
    }
    waitUntil(moments.back() + 500000);
    stop = true;
    sound.join();
    pa_simple_free(stream);
    SDL_DestroyWindow(window);
    SDL_Quit();
    return 0;
}
