#include "icon.h"

#include <algorithm>
#include <cmath>
#include <filesystem>

#include "jpeg_writer.h"
#include "motifs.h"
#include "palette.h"

namespace {

// Painted at four times the size and box-filtered down: the edges of the gear
// teeth stay clean even at 16 pixels.
constexpr int oversample = 4;

float roundedSquare(float x, float y, float centre, float half, float corner) {
    float dx = std::max(std::abs(x - centre) - (half - corner), 0.0f);
    float dy = std::max(std::abs(y - centre) - (half - corner), 0.0f);
    return std::hypot(dx, dy) - corner;
}

}  // namespace

Icon makeIcon(int size) {
    const int big = size * oversample;
    const float s = static_cast<float>(big);
    const float c = s / 2;

    // Night-blue plate, a steel gear in amber light, a bright flare at the hub.
    Image colour(big, big);
    gradientBackground(colour, palette::steelDark, palette::night, 7);
    addGlow(colour, c, c, s * 0.30f, palette::amberDeep, 0.55f);
    drawGear(colour, c, c, s * 0.30f, 10, 0.2f, s * 0.05f, palette::amber);
    drawRing(colour, c, c, s * 0.17f, s * 0.03f, palette::steelLight);
    addGlow(colour, c, c, s * 0.09f, palette::signalBlue, 1.2f);
    fillCircle(colour, c, c, s * 0.06f, palette::ice);
    // Four thin rays from the hub, as the flares of the demo's tube.
    for (int ray = 0; ray < 4; ++ray) {
        float a = 0.785398f + ray * 1.570796f;
        drawLine(colour, c, c, c + std::cos(a) * s * 0.42f, c + std::sin(a) * s * 0.42f, s * 0.015f,
                 palette::ice, 0.8f);
    }

    Image plate(big, big);
    fillDistance(plate, 0, 0, big, big, palette::white, 1,
                 [&](float x, float y) { return roundedSquare(x, y, c, s * 0.47f, s * 0.16f); });

    Icon icon{Image(size, size), Image(size, size)};
    pasteScaled(icon.colour, colour, 0, 0, oversample);
    pasteScaled(icon.coverage, plate, 0, 0, oversample);
    return icon;
}

bool writeIcons(const std::string& dir, std::string& error) {
    for (int size : iconSizes) {
        std::string sub = dir + "/" + std::to_string(size) + "x" + std::to_string(size) + "/apps";
        std::error_code ec;
        std::filesystem::create_directories(sub, ec);
        Icon icon = makeIcon(size);
        if (!writePngRgba(sub + "/velmorra.png", icon.colour, icon.coverage, error)) {
            return false;
        }
    }
    return true;
}
