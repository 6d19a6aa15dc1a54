// Cut-out pictures laid over the 3D effects: each is a colour picture and a
// mask that is opaque only in frames, corner pieces, side panels and caption
// bands, so that the middle of the screen shows the effect.

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <string>

#include "motifs.h"
#include "palette.h"
#include "pictures.h"

namespace {

constexpr int side = 512;
constexpr float pi = 3.14159265f;

// Paints colour and mask together.
struct Layers {
    Image colour{side, side, palette::steelDark};
    Image mask{side, side};

    void panel(float x0, float y0, float x1, float y1, uint32_t seed) {
        steelPanel(colour, x0, y0, x1, y1, seed);
        fillRect(mask, x0, y0, x1, y1, palette::white);
    }
    // Text standing on its own over the effect: the mask holds the letters
    // and a dark rim around them so they read on any background.
    void freeText(const Font& font, std::string_view text, float cx, float baseline, int size,
                  Rgb colour_, float spacing) {
        Image rim(side, side);
        font.drawCentred(rim, text, cx, baseline, size, palette::white, spacing);
        blur(rim, size * 0.06f + 1);
        for (int y = 0; y < side; ++y) {
            for (int x = 0; x < side; ++x) {
                float r = smoothstep(0.05f, 0.3f, rim.at(x, y).r);
                mask.blend(x, y, palette::white, r);
                colour.blend(x, y, palette::night, r);
            }
        }
        font.drawCentred(colour, text, cx, baseline, size, colour_, spacing);
    }
};

// Opaque everywhere outside a circle: a porthole with reticle ticks.
void porthole(Layers& l, float radius, uint32_t seed, Rgb accent) {
    for (int y = 0; y < side; ++y) {
        for (int x = 0; x < side; ++x) {
            float d = std::hypot(x + 0.5f - 256, y + 0.5f - 256);
            float outside = clamp01(d - radius + 0.5f);
            float n = tileFbm(x / 32.0f, y / 32.0f, 16, 3, seed) - 0.5f;
            float ringShade = 0.6f + 0.4f * std::cos((d - radius) / 14);
            l.colour.at(x, y) =
                mix(palette::steel, palette::steelDark, clamp01((d - radius) / 90)) *
                (ringShade + 0.3f * n);
            l.mask.at(x, y) = palette::white * outside;
        }
    }
    drawRing(l.colour, 256, 256, radius + 4, 3, accent);
    drawRing(l.colour, 256, 256, radius + 24, 1.5f, palette::steelLight, 0.7f);
    for (int i = 0; i < 24; ++i) {
        float a = i * 2 * pi / 24;
        float len = i % 6 == 0 ? 26.0f : 10.0f;
        float x0 = 256 + std::cos(a) * radius, y0 = 256 + std::sin(a) * radius;
        float x1 = 256 + std::cos(a) * (radius - len), y1 = 256 + std::sin(a) * (radius - len);
        drawLine(l.colour, x0, y0, x1, y1, 3, i % 6 == 0 ? accent : palette::ice);
        drawLine(l.mask, x0, y0, x1, y1, 5, palette::white);
    }
    for (int i = 0; i < 8; ++i) {
        float a = i * 2 * pi / 8 + pi / 8;
        float bx = 256 + std::cos(a) * (radius + 40), by = 256 + std::sin(a) * (radius + 40);
        fillCircle(l.colour, bx, by, 6, palette::night);
        fillCircle(l.colour, bx - 1, by - 1, 4, palette::steelLight);
    }
}

// Four L-shaped corner pieces of the given arm length and thickness.
void cornerBrackets(Layers& l, float arm, float thick, float inset, uint32_t seed) {
    for (int cy = 0; cy < 2; ++cy) {
        for (int cx = 0; cx < 2; ++cx) {
            float x0 = cx == 0 ? inset : side - inset - arm;
            float y0 = cy == 0 ? inset : side - inset - thick;
            l.panel(x0, y0, x0 + arm, y0 + thick, seed + cx + 2 * cy);
            float vx = cx == 0 ? inset : side - inset - thick;
            float vy = cy == 0 ? inset : side - inset - arm;
            l.panel(vx, vy, vx + thick, vy + arm, seed + 7 + cx + 2 * cy);
        }
    }
}

// A full-width caption band with a word in it.
void captionBand(Layers& l, const Fonts& fonts, float y0, float y1, std::string_view text,
                 uint32_t seed, Rgb accent) {
    l.panel(0, y0, side, y1, seed);
    hazardStripes(l.colour, 0, y0 + 4, 40, y1 - 4, 16, accent, palette::night);
    hazardStripes(l.colour, side - 40, y0 + 4, side, y1 - 4, 16, accent, palette::night);
    int size = static_cast<int>((y1 - y0) * 0.55f);
    fonts.bold.drawCentred(l.colour, text, 256, y0 + (y1 - y0) * 0.5f + size * 0.36f, size, accent,
                           4);
}

// Machine pictures over the pillar: side columns of machinery with gears,
// gauges and pipes. The variant turns the gears and moves the needles, so
// the pictures that share one mask play as a short animation.
void machineColumns(Layers& l, const Fonts& fonts, float left, float right, float top, float bottom,
                    int variant, Rgb accent) {
    l.panel(0, 0, left, side, 900);
    l.panel(right, 0, side, side, 901);
    l.panel(left, 0, right, top, 902);
    l.panel(left, bottom, right, side, 903);
    float spin = variant * 0.21f;
    drawGear(l.colour, left / 2, 120, left * 0.36f, 10, spin, 2.5f, palette::steelLight);
    drawGear(l.colour, left / 2, 200, left * 0.24f, 7, -spin * 1.4f, 2, accent);
    gauge(l.colour, left / 2, 330, left * 0.36f, std::fmod(0.1f + variant * 0.173f, 1.0f), accent);
    for (int i = 0; i < 5; ++i) {
        float y = 400 + i * 20.0f;
        fillRect(l.colour, 10, y, left - 10, y + 12,
                 (i + variant) % 5 == 0 ? accent : palette::steelDark);
    }
    float rx = (right + side) / 2;
    gauge(l.colour, rx, 110, (side - right) * 0.36f, std::fmod(0.7f + variant * 0.31f, 1.0f),
          accent);
    drawGear(l.colour, rx, 250, (side - right) * 0.34f, 12, -spin, 2.5f, palette::steelLight);
    drawLine(l.colour, rx - 12, 320, rx - 12, 470, 6, palette::steelLight, 0.8f);
    drawLine(l.colour, rx + 12, 320, rx + 12, 470, 6, palette::steelLight, 0.8f);
    fillRect(l.colour, rx - 18, 330 + std::fmod(variant * 37.0f, 120.0f), rx + 18,
             350 + std::fmod(variant * 37.0f, 120.0f), accent);
    hazardStripes(l.colour, left + 10, top - 14, right - 10, top - 4, 20, accent, palette::night);
    char label[16];
    std::snprintf(label, sizeof label, "unit %02d", variant);
    fonts.mono.drawCentred(l.colour, label, 256, bottom + (side - bottom) * 0.7f, 18, accent, 3);
}

Layers machine(const Fonts& fonts, int n) {
    Layers l;
    Rgb accent = n % 3 == 0 ? palette::signalBlue : palette::amber;
    switch (n) {
        case 1:
            machineColumns(l, fonts, 86, 426, 0, side, n, accent);
            break;
        case 2:
            l.panel(0, 0, side, 70, 910);
            l.panel(0, 430, side, side, 911);
            for (int i = 0; i < 6; ++i) {
                float x = 40 + i * 86.0f;
                fillRect(l.colour, x, 440, x + 40, 500, palette::steelDark);
                fillRect(l.colour, x + 8, 446 + (i % 3) * 10.0f, x + 32, 470 + (i % 3) * 10.0f,
                         accent);
                drawGear(l.colour, x + 20, 35, 22, 8, i * 0.4f, 2, palette::steelLight);
            }
            break;
        case 3:
            for (int c = 0; c < 4; ++c) {
                float cx = c % 2 == 0 ? 0 : side, cy = c < 2 ? 0 : side;
                fillCircle(l.mask, cx, cy, 150, palette::white);
                fillCircle(l.colour, cx, cy, 150, palette::steel);
                drawGear(l.colour, cx, cy, 120, 16, c * 0.3f, 3, palette::steelLight);
                drawGear(l.colour, cx, cy, 70, 10, -c * 0.3f, 3, accent);
                drawRing(l.colour, cx, cy, 148, 3, palette::night);
            }
            break;
        case 4:
            l.panel(0, 0, 96, side, 920);
            l.panel(0, 420, side, side, 921);
            for (int i = 0; i < 3; ++i) {
                gauge(l.colour, 48, 70 + i * 110.0f, 34, 0.2f + i * 0.3f, accent);
            }
            fonts.mono.draw(l.colour, "pressure nominal", 120, 470, 18, accent, 2);
            break;
        case 5:
            porthole(l, 228, 930, accent);
            break;
        case 6:
            l.panel(0, 0, side, 56, 940);
            l.panel(0, 456, side, side, 941);
            hazardStripes(l.colour, 0, 8, side, 48, 36, accent, palette::night);
            hazardStripes(l.colour, 0, 464, side, 504, 36, accent, palette::night);
            break;
        case 7:
            cornerBrackets(l, 150, 40, 12, 950);
            l.freeText(fonts.bold, "machine", 256, 444, 44, accent, 6);
            break;
        default:
            // From the eighth picture on, every machine picture shares the
            // eighth mask: columns left and right, thin bands top and bottom.
            machineColumns(l, fonts, 72, 440, 34, 448, n, accent);
            break;
    }
    return l;
}

// Overlays of the room scene: corner pieces and a caption band, top or
// bottom in turn.
Layers room(const Fonts& fonts, int n) {
    Layers l;
    Rgb accent = n % 2 == 0 ? palette::signalBlue : palette::amber;
    cornerBrackets(l, 110 + n * 6.0f, 28, 10, 1000 + n);
    char caption[16];
    std::snprintf(caption, sizeof caption, "sector %d", n);
    if (n % 2 == 1) {
        captionBand(l, fonts, 430, 492, caption, 1010 + n, accent);
    } else {
        captionBand(l, fonts, 20, 82, caption, 1010 + n, accent);
    }
    return l;
}

// Closing pictures over the last effect: a thin frame and one line of text.
Layers closing(const Fonts& fonts, int n) {
    static const char* const words[] = {"velmorra", "code",   "graphics",  "music",  "steel",
                                        "signal",   "motion", "real time", "thanks", "the end"};
    Layers l;
    Rgb accent = n % 2 == 1 ? palette::amber : palette::ice;
    l.panel(0, 0, side, 14, 1100);
    l.panel(0, side - 14, side, side, 1101);
    l.panel(0, 0, 14, side, 1102);
    l.panel(side - 14, 0, side, side, 1103);
    float baseline = n % 2 == 1 ? 470.0f : 96.0f;
    l.freeText(fonts.bold, words[(n - 1) % 10], 256, baseline, n == 1 || n == 10 ? 64 : 52, accent,
               4);
    return l;
}

Layers sphereOverlay() {
    Layers l;
    porthole(l, 236, 1200, palette::amber);
    return l;
}

// A frame with cut corners around the box scene, bolted plates at the sides.
Layers blobOverlay() {
    Layers l;
    const float inner = 212, cut = 150;  // half-width of the opening, corner cut
    for (int y = 0; y < side; ++y) {
        for (int x = 0; x < side; ++x) {
            float dx = std::fabs(x + 0.5f - 256), dy = std::fabs(y + 0.5f - 256);
            float d = std::max({dx - inner, dy - inner, (dx + dy - inner - cut) * 0.7071f});
            l.mask.at(x, y) = palette::white * clamp01(d + 0.5f);
            float n = tileFbm(x / 32.0f, y / 32.0f, 16, 3, 1300) - 0.5f;
            l.colour.at(x, y) =
                mix(palette::steel, palette::steelDark, clamp01(d / 60)) * (0.9f + 0.4f * n);
        }
    }
    for (float s : {1.0f, -1.0f}) {
        for (int i = 0; i < 5; ++i) {
            float y = 180 + i * 38.0f;
            fillCircle(l.colour, 256 + s * 234, y, 5, palette::night);
            fillCircle(l.colour, 256 + s * 234 - 1, y - 1, 3.5f, palette::amber);
        }
    }
    hazardStripes(l.colour, 150, 472, 362, 500, 20, palette::amber, palette::night);
    hazardStripes(l.colour, 150, 12, 362, 40, 20, palette::amber, palette::night);
    return l;
}

// Spare frames in the same style.
Layers spare(const Fonts& fonts, int n) {
    Layers l;
    Rgb accent = palette::amber;
    if (n == 1) {
        cornerBrackets(l, 180, 50, 0, 1400);
    } else if (n == 2) {
        l.panel(0, 0, 64, side, 1410);
        l.panel(side - 64, 0, side, side, 1411);
        hazardStripes(l.colour, 8, 8, 56, side - 8, 28, accent, palette::night);
        hazardStripes(l.colour, side - 56, 8, side - 8, side - 8, 28, accent, palette::night);
    } else {
        captionBand(l, fonts, 440, 500, "velmorra", 1420, accent);
        cornerBrackets(l, 90, 24, 10, 1421);
    }
    return l;
}

}  // namespace

void finishMask(Image& mask) {
    blur(mask, 0.9f);
    for (int y = 0; y < mask.height(); ++y) {
        for (int x = 0; x < mask.width(); ++x) {
            float v = smoothstep(0.15f, 0.85f, mask.at(x, y).r);
            mask.at(x, y) = palette::white * v;
        }
    }
}

CutoutPair makeCutout(std::string_view file, const Fonts& fonts) {
    int n = fileNumber(file);
    Layers l;
    if (file.starts_with("maskine")) {
        l = machine(fonts, n);
    } else if (file.starts_with("ost")) {
        l = room(fonts, n);
    } else if (file.starts_with("slut")) {
        l = closing(fonts, n);
    } else if (file.starts_with("sphereoverlay")) {
        l = sphereOverlay();
    } else if (file.starts_with("bloboverlay")) {
        l = blobOverlay();
    } else {
        l = spare(fonts, n);
    }
    finishMask(l.mask);
    return {std::move(l.colour), std::move(l.mask)};
}
