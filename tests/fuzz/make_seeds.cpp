// Writes the fuzz target's seed pictures into the directory given.
#include <cstdio>
#include <string>
#include <vector>

#include "support/jpeg_encode.h"

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s CORPUS_DIRECTORY\n", argv[0]);
        return 2;
    }
    const std::string dir = argv[1];
    std::vector<uint8_t> grey(24 * 16);
    for (size_t i = 0; i < grey.size(); ++i) {
        grey[i] = static_cast<uint8_t>(i * 5);
    }
    std::vector<uint8_t> rgb(20 * 20 * 3);
    for (size_t i = 0; i < rgb.size(); ++i) {
        rgb[i] = static_cast<uint8_t>(i * 13 + i / 7);
    }
    const std::vector<uint8_t> cmyk(16 * 16 * 4, 77);
    const std::pair<const char*, std::vector<uint8_t>> seeds[] = {
        {"solid.jpg", solidColourJpeg(16, 16, 200, 10, 10)},
        {"pattern.jpg", patternJpeg(32, 32, 75)},
        {"grey.jpg", encodeJpeg(24, 16, 1, grey, 80)},
        {"progressive.jpg", encodeJpeg(20, 20, 3, rgb, 85, true)},
        {"cmyk.jpg", encodeJpeg(16, 16, 4, cmyk, 70)},
        {"tiny.jpg", solidColourJpeg(1, 1, 0, 0, 0)},
    };
    for (const auto& [name, bytes] : seeds) {
        if (bytes.empty() || !writeFile(dir + "/" + name, bytes)) {
            std::fprintf(stderr, "cannot write seed %s\n", name);
            return 1;
        }
    }
    return 0;
}
