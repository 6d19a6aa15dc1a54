// Frame times of every scene of the running order, headless on the GL driver
// at hand (llvmpipe without a GPU), and how many heap allocations a frame
// makes. Prints one row per timeline scene and size; asserts nothing.
//
//   velmorra_frame_times [--media=DIR] [--sizes=WxH,...] [--frames=N] [--scene=NAME]
//
// --media   directory holding data/ (default: the build directory, where the
//           generated media are made)
// --sizes   screen sizes to measure, each in a process of its own
//           (default 640x480,1280x1024)
// --frames  frames timed per scene, spread evenly over its window on the
//           60 Hz grid of a capture (default 200)
// --scene   measure only the scenes whose name contains NAME
//
// A frame is renderFrame plus presentFrame (which finishes the frame), as in
// the demo's loop. Every scene is drawn once through its frames untimed first:
// that pass pays for the driver's first use of each state combination
// (llvmpipe compiles its shaders then, through LLVM, which allocates with
// operator new). Allocations are counted inside renderFrame in the timed
// pass, on this thread only: operator new (our own code, and C++ libraries)
// and malloc, calloc and realloc (anything, the GL driver included).

#include <malloc.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <new>
#include <string>
#include <vector>

#include "base/render_config.h"
#include "platform/window.h"
#include "sequence/timeline.h"
#include "shell/frame_stats.h"
#include "support/headless_demo.h"

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

struct Settings {
    std::string media = VELMORRA_DEFAULT_MEDIA;
    std::vector<RenderConfig> sizes;
    int frames = 200;
    std::string scene;
};

struct SceneFrames {
    const TimelineRow* row;
    std::vector<SceneTime> times;
};

struct SceneFigures {
    std::vector<double> frameMs;
    long newCalls = 0;
    long mallocCalls = 0;
};

double milliseconds(std::chrono::steady_clock::duration d) {
    return std::chrono::duration<double, std::milli>(d).count();
}

bool parseSize(const std::string& text, RenderConfig& size) {
    int width = 0;
    int height = 0;
    char tail = 0;
    if (std::sscanf(text.c_str(), "%dx%d%c", &width, &height, &tail) != 2 || width <= 0 ||
        height <= 0) {
        return false;
    }
    size = RenderConfig{width, height, 0};
    return true;
}

bool parseArguments(int argc, char** argv, Settings& settings) {
    std::string sizes = "640x480,1280x1024";
    for (int i = 1; i < argc; ++i) {
        std::string argument = argv[i];
        auto value = [&](const char* name) -> const char* {
            size_t length = std::strlen(name);
            return argument.compare(0, length, name) == 0 ? argv[i] + length : nullptr;
        };
        if (const char* media = value("--media=")) {
            settings.media = std::string(media) + "/";
        } else if (const char* list = value("--sizes=")) {
            sizes = list;
        } else if (const char* frames = value("--frames=")) {
            settings.frames = std::max(1, std::atoi(frames));
        } else if (const char* scene = value("--scene=")) {
            settings.scene = scene;
        } else {
            std::fprintf(stderr, "frame_times: unknown argument %s\n", argv[i]);
            return false;
        }
    }
    size_t start = 0;
    while (start < sizes.size()) {
        size_t end = std::min(sizes.find(',', start), sizes.size());
        RenderConfig size;
        if (!parseSize(sizes.substr(start, end - start), size)) {
            std::fprintf(stderr, "frame_times: bad size in --sizes=%s\n", sizes.c_str());
            return false;
        }
        settings.sizes.push_back(size);
        start = end + 1;
    }
    return !settings.sizes.empty();
}

// The frames of each scene's window on the 60 Hz grid, thinned evenly to at
// most `limit`, in the order the demo draws them (scenes with held values see
// time rise, as in the demo).
std::vector<SceneFrames> sceneFrames(const Settings& settings) {
    std::vector<SceneFrames> scenes;
    for (const TimelineRow& row : DemoTimeline) {
        if (row.scene == nullptr || std::strstr(row.name, settings.scene.c_str()) == nullptr) {
            continue;
        }
        const SceneTime first = row.lower + 1;
        const long gridFrames = (static_cast<long>(row.upper - first) * 60 + 999) / 1000;
        const long stride = std::max(1L, (gridFrames + settings.frames - 1) / settings.frames);
        SceneFrames scene{&row, {}};
        for (long k = 0; k < gridFrames; k += stride) {
            SceneTime t = first + static_cast<SceneTime>(k * 1000 / 60);
            if (t < row.upper) {
                scene.times.push_back(t);
            }
        }
        scenes.push_back(scene);
    }
    return scenes;
}

int measureSize(const Settings& settings, const RenderConfig& size) {
    if (!openHeadlessDemo(size, settings.media)) {
        std::fprintf(stderr, "frame_times: no GL context at %dx%d\n", size.width, size.height);
        return 1;
    }
    auto loadStart = std::chrono::steady_clock::now();
    buildHeadlessDemo();
    const double loadMs = milliseconds(std::chrono::steady_clock::now() - loadStart);

    const std::vector<SceneFrames> scenes = sceneFrames(settings);
    for (const SceneFrames& scene : scenes) {
        for (SceneTime t : scene.times) {
            renderFrame(t);
            presentFrame();
        }
    }
    std::vector<SceneFigures> figures(scenes.size());
    for (size_t i = 0; i < scenes.size(); ++i) {
        figures[i].frameMs.reserve(scenes[i].times.size());
        newCalls = 0;
        mallocCalls = 0;
        for (SceneTime t : scenes[i].times) {
            auto start = std::chrono::steady_clock::now();
            counting = true;
            renderFrame(t);
            counting = false;
            presentFrame();
            figures[i].frameMs.push_back(milliseconds(std::chrono::steady_clock::now() - start));
        }
        figures[i].newCalls = newCalls;
        figures[i].mallocCalls = mallocCalls;
    }
    destroyDemoWindow();

    std::printf("%dx%d, media %s, effects and catalogue built in %.0f ms\n", size.width,
                size.height, settings.media.c_str(), loadMs);
    std::printf("  %-18s %7s %10s %8s %8s %10s %13s\n", "scene", "frames", "median ms", "p99 ms",
                "max ms", "new/frame", "malloc/frame");
    for (size_t i = 0; i < scenes.size(); ++i) {
        SceneFigures& f = figures[i];
        const FrameTimeSummary times = summariseFrameTimes(f.frameMs);
        const double frames = static_cast<double>(times.frames);
        std::printf("  %-18s %7zu %10.2f %8.2f %8.2f %10.2f %13.2f\n", scenes[i].row->name,
                    times.frames, times.medianMs, times.percentile99Ms, times.longestMs,
                    static_cast<double>(f.newCalls) / frames,
                    static_cast<double>(f.mallocCalls) / frames);
    }
    std::fflush(stdout);
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    Settings settings;
    if (!parseArguments(argc, argv, settings)) {
        return 2;
    }
    // Each size gets a process of its own: a fresh window, context and
    // start-up, as a run of the demo at that size would have.
    int status = 0;
    for (const RenderConfig& size : settings.sizes) {
        std::fflush(stdout);
        pid_t child = fork();
        if (child == 0) {
            _exit(measureSize(settings, size));
        }
        int childStatus = 0;
        if (child < 0 || waitpid(child, &childStatus, 0) < 0 || !WIFEXITED(childStatus) ||
            WEXITSTATUS(childStatus) != 0) {
            status = 1;
        }
    }
    return status;
}
