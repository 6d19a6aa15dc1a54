// Renders the picture-only scenes headless at 640 x 480 and prints the mean
// and 99th-percentile frame time, the catalogue's load time, and how many
// heap allocations the frames made.
//
//   velmorra_frame_times [MEDIA_DIR [PASSES]]
//
// MEDIA_DIR holds data/ (default: the build directory, where the generated
// media are made). Allocations are counted on this thread only: operator new
// (our own code) and malloc/calloc/realloc (anything, the GL driver included).

#include <malloc.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <new>
#include <string>
#include <vector>

#include "platform/gl_extensions.h"
#include "platform/message.h"
#include "platform/program_directory.h"
#include "platform/window.h"
#include "presentation/overlay_catalogue.h"
#include "presentation/timeline.h"
#include "shell/gl_state.h"
#include "shell/render_config.h"

extern "C" {
void* __libc_malloc(size_t size);
void* __libc_calloc(size_t count, size_t size);
void* __libc_realloc(void* pointer, size_t size);
void __libc_free(void* pointer);
}

namespace {

thread_local bool counting = false;
thread_local long newCalls = 0;
thread_local long mallocCalls = 0;

}  // namespace

extern "C" void* malloc(size_t size) {
    if (counting) {
        ++mallocCalls;
    }
    return __libc_malloc(size);
}

extern "C" void* calloc(size_t count, size_t size) {
    if (counting) {
        ++mallocCalls;
    }
    return __libc_calloc(count, size);
}

extern "C" void* realloc(void* pointer, size_t size) {
    if (counting) {
        ++mallocCalls;
    }
    return __libc_realloc(pointer, size);
}

extern "C" void free(void* pointer) {
    __libc_free(pointer);
}

void* operator new(size_t size) {
    if (counting) {
        ++newCalls;
    }
    void* pointer = __libc_malloc(size == 0 ? 1 : size);
    if (pointer == nullptr) {
        throw std::bad_alloc();
    }
    return pointer;
}

void operator delete(void* pointer) noexcept {
    __libc_free(pointer);
}

void operator delete(void* pointer, size_t) noexcept {
    __libc_free(pointer);
}

namespace {

struct Window {
    SceneTime lower;
    SceneTime upper;
};

// The windows in which only pictures are drawn.
constexpr Window pictureWindows[] = {{0, 3560}, {3650, 10651}, {46157, 51503}};

double milliseconds(std::chrono::steady_clock::duration d) {
    return std::chrono::duration<double, std::milli>(d).count();
}

}  // namespace

int main(int argc, char** argv) {
    std::string media = argc > 1 ? std::string(argv[1]) + "/" : VELMORRA_DEFAULT_MEDIA;
    int passes = argc > 2 ? std::max(1, std::atoi(argv[2])) : 3;
    setenv("SDL_VIDEODRIVER", "offscreen", 0);
    suppressDialogs();
    renderConfig = RenderConfig{640, 480, 0};
    if (!createDemoWindow()) {
        std::fprintf(stderr, "frame_times: no GL context\n");
        return 1;
    }
    fetchExtensionEntryPoints();
    setInitialGlState(renderConfig);
    setProgramDirectory(media);

    auto loadStart = std::chrono::steady_clock::now();
    loadOverlayCatalogue();
    double loadMs = milliseconds(std::chrono::steady_clock::now() - loadStart);

    // One frame per 60 Hz step through every picture window, like the capture.
    std::vector<SceneTime> times;
    for (const Window& window : pictureWindows) {
        for (SceneTime t = window.lower + 1; t < window.upper; t += 16) {
            times.push_back(t);
        }
    }
    std::vector<double> frameMs;
    frameMs.reserve(times.size() * static_cast<size_t>(passes));
    // The first pass also pays for the driver's first use of each state
    // combination (llvmpipe compiles its shaders then, through LLVM, which
    // allocates with operator new), so allocations are reported per pass.
    std::vector<long> newPerPass;
    std::vector<long> mallocPerPass;
    for (int pass = 0; pass < passes; ++pass) {
        newCalls = 0;
        mallocCalls = 0;
        for (SceneTime t : times) {
            auto start = std::chrono::steady_clock::now();
            counting = true;
            renderFrame(t);
            counting = false;
            presentFrame();
            frameMs.push_back(milliseconds(std::chrono::steady_clock::now() - start));
        }
        newPerPass.push_back(newCalls);
        mallocPerPass.push_back(mallocCalls);
    }
    destroyDemoWindow();

    std::vector<double> sorted = frameMs;
    std::sort(sorted.begin(), sorted.end());
    double sum = 0.0;
    for (double ms : sorted) {
        sum += ms;
    }
    size_t p99 = std::min(sorted.size() - 1, sorted.size() * 99 / 100);
    std::printf("media:               %s\n", media.c_str());
    std::printf("catalogue load:      %.1f ms (%d pictures)\n", loadMs, overlayPictureCount);
    std::printf("frames:              %zu (renderFrame + present, 640x480)\n", sorted.size());
    std::printf("frame time mean:     %.3f ms\n", sum / static_cast<double>(sorted.size()));
    std::printf("frame time median:   %.3f ms\n", sorted[sorted.size() / 2]);
    std::printf("frame time p99:      %.3f ms\n", sorted[p99]);
    std::printf("frame time max:      %.3f ms\n", sorted.back());
    std::printf("heap calls inside renderFrame, per pass of %zu frames (this thread):\n",
                times.size());
    for (int pass = 0; pass < passes; ++pass) {
        std::printf("  pass %d: operator new %ld, malloc/calloc/realloc %ld\n", pass + 1,
                    newPerPass[static_cast<size_t>(pass)],
                    mallocPerPass[static_cast<size_t>(pass)]);
    }
    return 0;
}
