#include "support/scene_pictures.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>

#include "platform/program_directory.h"
#include "presentation/overlay_catalogue.h"
#include "support/jpeg_encode.h"
#include "support/process.h"

namespace {

// The overlay groups as the demo's data directory lays them out: a stem, a
// count of numbered pictures (0: one unnumbered picture), and how the alpha
// picture is named.
enum class AlphaKind { Own, SharedMachine, SameFile, None };

struct Group {
    const char* stem;
    int first;
    int count;
    AlphaKind alpha;
};

constexpr Group overlayGroups[] = {
    {"sphereoverlay", 0, 0, AlphaKind::Own},
    {"bloboverlay", 0, 0, AlphaKind::Own},
    {"slut", 1, 10, AlphaKind::Own},
    {"maskine", 1, 8, AlphaKind::Own},
    {"maskine", 9, 2, AlphaKind::SharedMachine},
    {"ost", 1, 7, AlphaKind::Own},
    {"kost", 1, 3, AlphaKind::Own},
    {"nois", 1, 2, AlphaKind::SameFile},
    {"soya", 1, 7, AlphaKind::None},
    {"maskine", 11, 7, AlphaKind::SharedMachine},
    {"hearing", 1, 2, AlphaKind::None},
    {"code", 1, 4, AlphaKind::None},
    {"gfx", 1, 4, AlphaKind::None},
    {"msx", 1, 4, AlphaKind::None},
    {"pause", 1, 2, AlphaKind::None},
};

// In the order of the build steps: twist, tunnel, box, spheres, bitmap
// environment, spike.
const std::vector<std::string> effectPictureNames = {
    "data/twistbox2.jpg",
    "data\\twist_1.jpg",
    "data\\twist_2.jpg",
    "data\\twist_3.jpg",
    "data\\tunnel_texture.jpg",
    "data\\tunnel_kasse_texture.jpg",
    "data\\kasse_texture.jpg",
    "data\\kasse_trans_texture.jpg",
    "data\\sphere_flare.jpg",
    "data\\spheres_texture1.jpg",
    "data\\spheres_texture2.jpg",
    "data\\spheres_texture3.jpg",
    "data\\spheres_texture1.jpg",
    "data\\bitmap_texture.jpg",
    "data\\bitmap_env.jpg",
    "data\\spike_texture.jpg",
    "data\\spike_tunnel_texture.jpg",
    "data\\spike_flare_texture.jpg",
};

struct Lists {
    std::vector<std::string> colour;
    std::vector<std::string> alpha;
};

const Lists& lists() {
    static const Lists built = [] {
        Lists l;
        for (const Group& group : overlayGroups) {
            int n = group.count == 0 ? 1 : group.count;
            for (int i = 0; i < n; ++i) {
                std::string base = std::string("data/") + group.stem;
                if (group.count != 0) {
                    base += std::to_string(group.first + i);
                }
                l.colour.push_back(base + ".jpg");
                switch (group.alpha) {
                    case AlphaKind::Own:
                        l.alpha.push_back(base + "_alfa.jpg");
                        break;
                    case AlphaKind::SharedMachine:
                        l.alpha.push_back("data/maskine8_alfa.jpg");
                        break;
                    case AlphaKind::SameFile:
                        l.alpha.push_back(base + ".jpg");
                        break;
                    case AlphaKind::None:
                        l.alpha.push_back("");
                        break;
                }
            }
        }
        return l;
    }();
    return built;
}

}  // namespace

const std::vector<std::string>& effectPictures() {
    return effectPictureNames;
}

std::string pictureFile(const std::string& name) {
    std::string file = name;
    std::replace(file.begin(), file.end(), '\\', '/');
    return file;
}

const std::vector<std::string>& overlayColourPictures() {
    return lists().colour;
}

const std::vector<std::string>& overlayAlphaPictures() {
    return lists().alpha;
}

Rgb sceneColour(const std::string& name) {
    if (name == "data/nois1.jpg" || name == "data/nois2.jpg") {
        return {0, 0, 0};
    }
    if (name.find("_alfa") != std::string::npos) {
        return {255, 255, 255};
    }
    if (name == "data/loading.jpg") {
        return {250, 120, 20};
    }
    // Five levels per channel, at least 50 apart, never black or white: the
    // overlay pictures take the first 64 combinations, the effect pictures
    // the ones after them.
    auto levels = [](size_t i) {
        int k = static_cast<int>(i);
        return Rgb{40 + (k % 5) * 50, 40 + (k / 5 % 5) * 50, 40 + (k / 25 % 5) * 50};
    };
    const std::vector<std::string>& colour = overlayColourPictures();
    for (size_t i = 0; i < colour.size(); ++i) {
        if (colour[i] == name) {
            return levels(i);
        }
    }
    const std::string file = pictureFile(name);
    for (size_t i = 0; i < effectPictureNames.size(); ++i) {
        if (pictureFile(effectPictureNames[i]) == file) {
            return levels(colour.size() + i);
        }
    }
    return {128, 128, 128};
}

void writeScenePictures(const std::string& directory, const ScenePictureOptions& options) {
    std::vector<std::string> names = {"data/loading.jpg"};
    std::set<std::string> missing;
    for (const std::string& name : options.missing) {
        missing.insert(pictureFile(name));
    }
    for (const std::string& name : effectPictures()) {
        names.push_back(pictureFile(name));
    }
    for (const std::string& name : overlayColourPictures()) {
        names.push_back(name);
    }
    for (const std::string& name : overlayAlphaPictures()) {
        if (!name.empty()) {
            names.push_back(name);
        }
    }
    std::map<std::string, std::vector<uint8_t>> written;
    for (const std::string& name : names) {
        if (missing.count(name) != 0 || written.count(name) != 0) {
            continue;
        }
        Rgb colour = sceneColour(name);
        if (options.whiteGrain && name == "data/nois1.jpg") {
            colour = {255, 255, 255};
        }
        written[name] =
            solidColourJpeg(16, 16, static_cast<uint8_t>(colour.r), static_cast<uint8_t>(colour.g),
                            static_cast<uint8_t>(colour.b));
        std::filesystem::path path = std::filesystem::path(directory) / name;
        std::filesystem::create_directories(path.parent_path());
        writeFile(path.string(), written[name]);
    }
}

std::vector<std::string> buildWithScenePictures(void (*buildEffect)(),
                                                const ScenePictureOptions& options) {
    const std::string directory = makeTemporaryDirectory("velmorra-scene-pictures");
    writeScenePictures(directory, options);
    setProgramDirectory(directory + "/");
    testing::internal::CaptureStderr();
    buildEffect();
    loadOverlayCatalogue();
    return errorLoadingRecords(testing::internal::GetCapturedStderr());
}

std::vector<std::string> errorLoadingRecords(const std::string& stderrText) {
    const std::string prefix = "Error loading: ";
    std::vector<std::string> records;
    std::istringstream lines(stderrText);
    std::string line;
    while (std::getline(lines, line)) {
        if (line.rfind(prefix, 0) == 0) {
            records.push_back(line.substr(prefix.size()));
        }
    }
    return records;
}

bool pixelNear(const std::vector<uint8_t>& pixel, Rgb colour, int tolerance) {
    if (pixel.size() < 3) {
        return false;
    }
    return std::abs(pixel[0] - colour.r) <= tolerance &&
           std::abs(pixel[1] - colour.g) <= tolerance && std::abs(pixel[2] - colour.b) <= tolerance;
}

std::string describePixel(const std::vector<uint8_t>& pixel) {
    if (pixel.size() < 3) {
        return "(no pixel)";
    }
    // Formatted into a stream: GCC 12 at -O3 misreads the inlined chain of
    // string concatenations as an overlapping copy (-Wrestrict).
    std::ostringstream text;
    text << "(" << int{pixel[0]} << ", " << int{pixel[1]} << ", " << int{pixel[2]} << ")";
    return text.str();
}
