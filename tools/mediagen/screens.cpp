// Opaque full-screen pictures: the loading picture, the two opening pictures,
// the credit groups, the pause pictures and the seven interlude pictures.

#include <cmath>
#include <cstdio>
#include <string>

#include "motifs.h"
#include "palette.h"
#include "pictures.h"

namespace {

constexpr int side = 512;
constexpr float pi = 3.14159265f;

// Large title with a soft amber glow behind it.
void glowingTitle(Image& img, const Fonts& fonts, std::string_view text, float cy, int size,
                  Rgb colour) {
    Image glow(side, side);
    fonts.bold.drawCentred(glow, text, side / 2.0f, cy, size, palette::amber, size * 0.06f);
    blur(glow, size * 0.18f);
    for (int y = 0; y < side; ++y) {
        for (int x = 0; x < side; ++x) {
            img.at(x, y) = img.at(x, y) + glow.at(x, y) * 0.9f;
        }
    }
    fonts.bold.drawCentred(img, text, side / 2.0f, cy, size, colour, size * 0.06f);
}

Image loading(const Fonts& fonts) {
    Image img(side, side);
    gradientBackground(img, palette::steelDark, palette::night, 11);
    blueprintGrid(img, 16, 4, palette::signalBlue, 0.07f);
    drawGear(img, 120, 150, 80, 14, 0.1f, 2, palette::steelLight, 0.5f);
    drawGear(img, 225, 105, 46, 9, 0.3f, 2, palette::steelLight, 0.4f);
    drawGear(img, 400, 380, 110, 18, 0.0f, 2, palette::steelLight, 0.35f);
    vignette(img, 0.6f);
    glowingTitle(img, fonts, "velmorra", 282, 78, palette::amberPale);
    drawLine(img, 96, 310, 416, 310, 2, palette::amber, 0.8f);
    fonts.mono.drawCentred(img, "loading", 256, 345, 20, palette::ice, 6);
    return img;
}

// The two opening pictures are shown against each other frame by frame, so
// they share a layout and swap light and dark: the flicker reads as a strobe.
Image hearing(const Fonts& fonts, int number) {
    bool second = number == 2;
    Image img(side, side, second ? palette::steelLight * 0.85f : palette::night);
    for (int i = 0; i < 9; ++i) {
        float r = 30.0f + i * 28 + (second ? 14 : 0);
        drawRing(img, 256, 256, r, i % 3 == 0 ? 4.0f : 1.5f,
                 second ? palette::steel : palette::signalBlue, 0.7f);
    }
    for (int i = 0; i < 24; ++i) {
        float a = i * 2 * pi / 24 + (second ? pi / 24 : 0);
        drawLine(img, 256 + std::cos(a) * 60, 256 + std::sin(a) * 60, 256 + std::cos(a) * 360,
                 256 + std::sin(a) * 360, 1, second ? palette::steelDark : palette::steelLight,
                 0.35f);
    }
    if (!second) {
        vignette(img, 0.5f);
    }
    fillRect(img, 0, 226, side, 292, second ? palette::amber : palette::steelDark, 0.92f);
    fonts.bold.drawCentred(img, "velmorra", 256, 278, 56, second ? palette::night : palette::amber,
                           4);
    return img;
}

// Background motif of each credit role: columns of hex code, wireframe
// geometry, or a waveform with level bars.
void codeMotif(Image& img, const Fonts& fonts, int variant) {
    uint32_t seed = 100 + variant;
    for (int col = 0; col < 8; ++col) {
        for (int row = 0; row < 34; ++row) {
            char text[8];
            uint32_t v = hash32(seed * 977 + col * 131 + row) & 0xffff;
            std::snprintf(text, sizeof text, "%04x", v);
            float o = 0.12f + 0.3f * hashUnit(seed, col, row);
            fonts.mono.draw(img, text, 12.0f + col * 64, 16.0f + row * 15, 12,
                            (row + col + variant) % 7 == 0 ? palette::amber : palette::signalBlue,
                            0, o);
        }
    }
}

void gfxMotif(Image& img, int variant) {
    // A perspective floor grid and a turning wireframe cube.
    float horizon = 200 + variant * 12;
    for (int i = -12; i <= 12; ++i) {
        drawLine(img, 256 + i * 8.0f, horizon, 256 + i * 90.0f, side, 1.2f, palette::signalBlue,
                 0.35f);
    }
    for (int j = 1; j < 12; ++j) {
        float y = horizon + (side - horizon) * std::pow(j / 12.0f, 2.0f);
        drawLine(img, 0, y, side, y, 1.2f, palette::signalBlue, 0.35f);
    }
    float a = 0.35f + variant * pi / 8, b = 0.5f;
    float cube[8][3];
    for (int i = 0; i < 8; ++i) {
        float x = (i & 1) ? 1 : -1, y = (i & 2) ? 1 : -1, z = (i & 4) ? 1 : -1;
        float x1 = x * std::cos(a) - z * std::sin(a), z1 = x * std::sin(a) + z * std::cos(a);
        float y1 = y * std::cos(b) - z1 * std::sin(b), z2 = y * std::sin(b) + z1 * std::cos(b);
        float k = 260 / (z2 + 4);
        cube[i][0] = 256 + x1 * k;
        cube[i][1] = 150 + y1 * k;
        cube[i][2] = z2;
    }
    for (int i = 0; i < 8; ++i) {
        for (int bit : {1, 2, 4}) {
            int j = i | bit;
            if (j != i) {
                drawLine(img, cube[i][0], cube[i][1], cube[j][0], cube[j][1], 2.2f, palette::amber,
                         0.8f);
            }
        }
    }
}

void msxMotif(Image& img, int variant) {
    for (int i = 0; i < 32; ++i) {
        float level = 0.2f + 0.75f * hashUnit(300 + variant, i) * (1 - i / 48.0f);
        float x0 = 16 + i * 15.5f, height = level * 180;
        for (float y = side - 20; y > side - 20 - height; y -= 7) {
            bool hot = y < side - 20 - 140;
            fillRect(img, x0, y - 5, x0 + 11, y, hot ? palette::amber : palette::signalBlue, 0.55f);
        }
    }
    float prevX = 0, prevY = 140;
    for (int x = 0; x <= side; x += 2) {
        float t = x / static_cast<float>(side);
        float y = 140 + 70 * std::sin(t * 2 * pi * (2 + variant)) * std::sin(t * pi) +
                  20 * std::sin(t * 2 * pi * 11);
        if (x > 0) {
            drawLine(img, prevX, prevY, static_cast<float>(x), y, 2.4f, palette::amber, 0.85f);
        }
        prevX = static_cast<float>(x);
        prevY = y;
    }
}

// One credit picture: the role's motif, a steel band and the role's word.
// The four pictures of a group differ in motif, band place and colours, so
// that flickering among them is lively while the word stays legible.
Image credit(const Fonts& fonts, std::string_view role, int number) {
    Image img(side, side);
    bool warm = number % 2 == 0;
    gradientBackground(img, warm ? palette::steelDark : palette::night, palette::night,
                       200 + number);
    if (role == "code") {
        codeMotif(img, fonts, number);
    } else if (role == "graphics") {
        gfxMotif(img, number);
    } else {
        msxMotif(img, number);
    }
    vignette(img, 0.5f);
    float bandY = number == 1 ? 300 : (number == 2 ? 60 : (number == 3 ? 380 : 220));
    fillRect(img, 0, bandY, side, bandY + 84, warm ? palette::amber : palette::steelDark, 0.9f);
    drawLine(img, 0, bandY, side, bandY, 2, palette::steelLight);
    drawLine(img, 0, bandY + 84, side, bandY + 84, 2, palette::steelLight);
    fonts.bold.drawCentred(img, role, 256, bandY + 62, 58, warm ? palette::night : palette::amber,
                           3);
    char tag[16];
    std::snprintf(tag, sizeof tag, "%d/4", number);
    fonts.mono.draw(img, tag, 462, bandY + 78, 12, warm ? palette::night : palette::ice);
    return img;
}

// The pause pictures: the second has all its content in the upper half,
// because its lower half is later blanked.
Image pause(const Fonts& fonts, int number) {
    Image img(side, side);
    gradientBackground(img, palette::steel, palette::night, 400 + number);
    blueprintGrid(img, 32, 4, palette::ice, 0.06f);
    if (number == 1) {
        drawGear(img, 256, 256, 150, 20, 0.2f, 3, palette::steelLight, 0.6f);
        drawGear(img, 256, 256, 90, 12, 0.0f, 2, palette::amber, 0.6f);
        glowingTitle(img, fonts, "velmorra", 276, 64, palette::amberPale);
    } else {
        drawGear(img, 256, 120, 96, 14, 0.4f, 3, palette::steelLight, 0.6f);
        glowingTitle(img, fonts, "velmorra", 210, 64, palette::amberPale);
        fonts.mono.drawCentred(img, "stand by", 256, 240, 18, palette::ice, 4);
        hazardStripes(img, 0, 300, side, 330, 24, palette::amber, palette::night);
    }
    vignette(img, 0.55f);
    return img;
}

// The interlude: a turbine seen through a blueprint, turning a step per
// picture, with a dial that rises as the sequence goes on.
Image soya(const Fonts& fonts, int number) {
    Image img(side, side);
    float k = (number - 1) / 6.0f;
    gradientBackground(img, mix(palette::steelDark, palette::amberDeep, k * 0.4f), palette::night,
                       500 + number);
    blueprintGrid(img, 16, 8, palette::signalBlue, 0.06f);
    float spin = number * pi / 9;
    for (int blade = 0; blade < 12; ++blade) {
        float a = spin + blade * 2 * pi / 12;
        float x0 = 220 + std::cos(a) * 40, y0 = 230 + std::sin(a) * 40;
        float x1 = 220 + std::cos(a + 0.5f) * 170, y1 = 230 + std::sin(a + 0.5f) * 170;
        drawLine(img, x0, y0, x1, y1, 5, palette::steelLight, 0.7f);
    }
    drawRing(img, 220, 230, 180, 4, palette::steelLight, 0.8f);
    drawRing(img, 220, 230, 40, 6, palette::amber, 0.9f);
    drawGear(img, 430, 110, 50, 10, -spin * 2, 2, palette::amber, 0.7f);
    gauge(img, 420, 400, 60, k, palette::amber);
    vignette(img, 0.45f);
    fillRect(img, 0, 452, side, 496, palette::night, 0.85f);
    char caption[32];
    std::snprintf(caption, sizeof caption, "stage %d", number);
    fonts.mono.draw(img, caption, 24, 482, 22, palette::amberPale, 3);
    for (int i = 0; i < 7; ++i) {
        fillRect(img, 300 + i * 26.0f, 466, 318 + i * 26.0f, 482,
                 i < number ? palette::amber : palette::steel);
    }
    return img;
}

}  // namespace

int fileNumber(std::string_view file) {
    size_t end = file.find('.');
    size_t begin = end;
    while (begin > 0 && file[begin - 1] >= '0' && file[begin - 1] <= '9') {
        --begin;
    }
    return begin == end ? 0 : std::stoi(std::string(file.substr(begin, end - begin)));
}

Image makeFullScreen(std::string_view file, const Fonts& fonts) {
    int n = fileNumber(file);
    if (file.starts_with("hearing")) {
        return hearing(fonts, n);
    }
    if (file.starts_with("code")) {
        return credit(fonts, "code", n);
    }
    if (file.starts_with("gfx")) {
        return credit(fonts, "graphics", n);
    }
    if (file.starts_with("msx")) {
        return credit(fonts, "music", n);
    }
    if (file.starts_with("pause")) {
        return pause(fonts, n);
    }
    if (file.starts_with("soya")) {
        return soya(fonts, n);
    }
    return loading(fonts);
}
