// Times the picture path the start-up takes: 112 pictures of 512 x 512 are
// made, then each is read, decoded and uploaded as a texture (loadTexture),
// and separately only decoded from memory (decodeJpeg). Prints milliseconds
// per picture and megapixels per second for both, and libjpeg-turbo's own
// tjbench figure for the same files when tjbench is installed.
//
//   bench-pictures [PASSES]

#include <GL/gl.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include "base/render_config.h"
#include "media/file_reading.h"
#include "media/jpeg.h"
#include "media/texture.h"
#include "platform/program_directory.h"
#include "platform/window.h"
#include "shell/demo_context.h"
#include "support/jpeg_encode.h"

namespace {

constexpr int pictureCount = 112;
constexpr int side = 512;
constexpr double megapixelsPerPicture = side * side / 1e6;

using Clock = std::chrono::steady_clock;

// Smooth shapes, stripes and a little noise, different for every index, so
// the files compress like photographs rather than like flat colour.
std::vector<uint8_t> makePicture(int index) {
    std::vector<uint8_t> pixels(static_cast<size_t>(side) * side * 3);
    uint32_t noise = 2654435761u * static_cast<uint32_t>(index + 1);
    for (int y = 0; y < side; ++y) {
        for (int x = 0; x < side; ++x) {
            noise = noise * 1664525u + 1013904223u;
            const int grain = static_cast<int>((noise >> 24) % 25) - 12;
            uint8_t* p = &pixels[(static_cast<size_t>(y) * side + x) * 3];
            const int wave = ((x * (index % 7 + 1) + y * (index % 5 + 2)) / 16) % 2 ? 60 : 0;
            p[0] = static_cast<uint8_t>(std::clamp(x / 2 + wave + grain, 0, 255));
            p[1] = static_cast<uint8_t>(std::clamp(y / 2 + index + grain, 0, 255));
            p[2] = static_cast<uint8_t>(std::clamp((x + y) / 4 + wave + grain, 0, 255));
        }
    }
    return pixels;
}

std::string pictureName(int index) {
    return "data/bench" + std::to_string(index + 1) + ".jpg";
}

void report(const char* what, double seconds) {
    const double perPicture = seconds * 1000.0 / pictureCount;
    std::printf("%-34s %8.3f ms/picture %8.1f Mpixel/s\n", what, perPicture,
                pictureCount * megapixelsPerPicture / seconds);
}

// tjbench's decompression throughput (Mpixel/s, the last column of its quiet
// output) averaged over the first few files; 0 when tjbench is missing.
double tjbenchThroughput(const std::string& root, int files) {
    double sum = 0.0;
    int counted = 0;
    for (int i = 0; i < files; ++i) {
        const std::string command = "tjbench '" + root + "/" + pictureName(i) +
                                    "' -rgb -benchtime 0.5 -warmup 0.1 -quiet 2>/dev/null";
        FILE* pipe = popen(command.c_str(), "r");
        if (pipe == nullptr) {
            return 0.0;
        }
        char line[512];
        double last = 0.0;
        while (std::fgets(line, sizeof line, pipe) != nullptr) {
            if (std::strncmp(line, "RGB", 3) != 0) {
                continue;
            }
            const char* end = line + std::strlen(line);
            while (end > line && (end[-1] == '\n' || end[-1] == ' ')) {
                --end;
            }
            const char* start = end;
            while (start > line && start[-1] != ' ') {
                --start;
            }
            last = std::atof(std::string(start, end).c_str());
        }
        if (pclose(pipe) == 0 && last > 0.0) {
            sum += last;
            ++counted;
        }
    }
    return counted > 0 ? sum / counted : 0.0;
}

}  // namespace

int main(int argc, char** argv) {
    const int passes = argc > 1 ? std::max(1, std::atoi(argv[1])) : 3;

    const std::filesystem::path root = std::filesystem::temp_directory_path() /
                                       ("velmorra-bench-pictures-" + std::to_string(getpid()));
    std::filesystem::create_directories(root / "data");
    size_t totalBytes = 0;
    for (int i = 0; i < pictureCount; ++i) {
        const auto bytes = encodeJpeg(side, side, 3, makePicture(i), 90);
        totalBytes += bytes.size();
        if (bytes.empty() || !writeFile((root / pictureName(i)).string(), bytes)) {
            std::fprintf(stderr, "bench-pictures: cannot write the test pictures\n");
            return 1;
        }
    }
    setProgramDirectory(root.string());

    renderConfig = RenderConfig{640, 480, 0};
    if (!openDemoContext(renderConfig, DemoDisplay::Headless).empty()) {
        std::fprintf(stderr, "bench-pictures: no GL context\n");
        return 1;
    }

    std::vector<std::unique_ptr<uint8_t[]>> files(pictureCount);
    std::vector<size_t> sizes(pictureCount);
    for (int i = 0; i < pictureCount; ++i) {
        files[i] = readWholeFile(dataPath(pictureName(i)), sizes[i], maxPictureFileBytes);
    }

    // Decoded once, for timing the upload on its own.
    std::vector<std::unique_ptr<uint8_t[]>> decoded(pictureCount);
    for (int i = 0; i < pictureCount; ++i) {
        int w = 0, h = 0, c = 0;
        decoded[i] = decodeJpeg(w, h, c, files[i].get(), sizes[i]);
    }

    double bestDecode = 1e9;
    double bestUpload = 1e9;
    double bestLoad = 1e9;
    bool failed = false;
    for (int pass = 0; pass < passes; ++pass) {
        auto start = Clock::now();
        for (int i = 0; i < pictureCount; ++i) {
            int w = 0, h = 0, c = 0;
            failed |= !decodeJpeg(w, h, c, files[i].get(), sizes[i]);
        }
        bestDecode =
            std::min(bestDecode, std::chrono::duration<double>(Clock::now() - start).count());

        // Into fresh texture objects, as every load at start-up does.
        std::vector<GLuint> names(pictureCount);
        glGenTextures(pictureCount, names.data());
        glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
        start = Clock::now();
        for (int i = 0; i < pictureCount; ++i) {
            glBindTexture(GL_TEXTURE_2D, names[i]);
            glTexImage2D(GL_TEXTURE_2D, 0, GL_RGB, side, side, 0, GL_RGB, GL_UNSIGNED_BYTE,
                         decoded[i].get());
        }
        glFinish();
        bestUpload =
            std::min(bestUpload, std::chrono::duration<double>(Clock::now() - start).count());
        glBindTexture(GL_TEXTURE_2D, 0);
        glDeleteTextures(pictureCount, names.data());

        names.clear();
        start = Clock::now();
        for (int i = 0; i < pictureCount; ++i) {
            const int32_t name = loadTexture(pictureName(i).c_str());
            failed |= name < 0;
            names.push_back(static_cast<GLuint>(std::max(name, 0)));
        }
        glFinish();
        bestLoad = std::min(bestLoad, std::chrono::duration<double>(Clock::now() - start).count());
        glDeleteTextures(static_cast<GLsizei>(names.size()), names.data());
        // The textures are gone, so the next pass starts a budget of its own.
        resetPictureBudget();
    }
    if (failed) {
        std::fprintf(stderr, "bench-pictures: a picture failed to load\n");
    }

    std::printf("%d pictures of %d x %d, %.1f KB each on average, best of %d passes\n",
                pictureCount, side, side, totalBytes / 1024.0 / pictureCount, passes);
    report("decodeJpeg from memory", bestDecode);
    report("glTexImage2D of decoded pixels", bestUpload);
    report("loadTexture (read, decode, upload)", bestLoad);
    const double bare = tjbenchThroughput(root.string(), 8);
    if (bare > 0.0) {
        std::printf("%-34s %8.3f ms/picture %8.1f Mpixel/s\n", "tjbench decompression (bare)",
                    megapixelsPerPicture / bare * 1000.0, bare);
        const double loadRate = pictureCount * megapixelsPerPicture / bestLoad;
        std::printf("loadTexture takes %.2fx the bare decoder's time (decodeJpeg alone %.2fx)\n",
                    bare / loadRate, bare / (pictureCount * megapixelsPerPicture / bestDecode));
    } else {
        std::printf("tjbench not installed: no bare-decoder figure\n");
    }
    destroyDemoWindow();
    std::filesystem::remove_all(root);
    return failed ? 1 : 0;
}
