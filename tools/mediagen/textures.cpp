// The effects' own textures and the two grain pictures. Textures drawn with
// repeat wrapping are built from periodic noise and features that repeat
// exactly across the edges, so they tile without seams.

#include <algorithm>
#include <cmath>

#include "motifs.h"
#include "palette.h"
#include "pictures.h"

namespace {

constexpr int side = 256;
constexpr float pi = 3.14159265f;

// Fills a texture from a function of the pixel centre; u and v run 0..1.
template <typename Shader>
Image shade(Shader shader) {
    Image img(side, side);
    for (int y = 0; y < side; ++y) {
        for (int x = 0; x < side; ++x) {
            img.at(x, y) = shader((x + 0.5f) / side, (y + 0.5f) / side, x, y);
        }
    }
    return img;
}

// Distance to the nearest line of a periodic grid of the given cells per side.
float gridDistance(float u, float cells) {
    float f = u * cells - std::floor(u * cells);
    return std::min(f, 1 - f) / cells * side;
}

// Wraps an outline of width w drawn at every edge of the tile.
float edgeLine(float u, float v, float cells, float w) {
    return clamp01(w / 2 - std::min(gridDistance(u, cells), gridDistance(v, cells)) + 0.5f);
}

Image pillar() {
    // Steel plates stacked along the pillar, a rivet row and an amber strip.
    return shade([](float u, float v, int, int) {
        float n = tileFbm(u * 8, v * 32, 8, 4, 1) - 0.5f;
        Rgb c = mix(palette::steel, palette::steelLight, 0.25f + 0.5f * n);
        float seam = edgeLine(u, v, 1, 3) + clamp01(1.5f - gridDistance(v, 2));
        c = mix(c, palette::night, clamp01(seam) * 0.8f);
        float strip = clamp01(6 - std::fabs(u - 0.5f) * side);
        c = mix(c, palette::amber, strip * 0.9f);
        float rv = std::fmod(v * 8, 1.0f) - 0.5f;
        for (float ru : {0.12f, 0.88f}) {
            float d = std::hypot((u - ru) * side, rv * side / 8);
            c = mix(c, palette::ice, clamp01(3.5f - d) * 0.7f);
        }
        return c;
    });
}

Image hazardTile() {
    return shade([](float u, float v, int, int) {
        float s = std::fmod(u * 4 + v * 4, 1.0f);
        float stripe = smoothstep(0.47f, 0.53f, s) * (1 - smoothstep(0.97f, 1.0f, s)) +
                       (1 - smoothstep(0.0f, 0.03f, s));
        float wear = tileFbm(u * 8, v * 8, 8, 4, 2);
        Rgb c = mix(palette::night, palette::amber * (0.7f + 0.4f * wear), clamp01(stripe));
        return mix(c, palette::steelLight, edgeLine(u, v, 1, 6) * 0.8f);
    });
}

Image grating() {
    return shade([](float u, float v, int, int) {
        float slotU = gridDistance(u, 8), slotV = gridDistance(v, 2);
        float open = clamp01(slotU - 3) * clamp01(slotV - 6);
        float n = tileFbm(u * 8, v * 8, 8, 3, 3);
        Rgb metal = mix(palette::steel, palette::steelLight, n * 0.6f);
        return mix(metal, palette::night * 0.5f + palette::amberDeep * 0.3f, open);
    });
}

Image roomWall() {
    Image img = shade([](float u, float v, int, int) {
        float n = tileFbm(u * 4, v * 4, 4, 5, 4);
        Rgb c = mix(palette::night, palette::steelDark, 0.5f + n);
        c = mix(c, palette::signalBlue, edgeLine(u, v, 8, 1) * 0.25f);
        c = mix(c, palette::signalBlue, edgeLine(u, v, 2, 2) * 0.5f);
        return mix(c, palette::steelLight, edgeLine(u, v, 1, 8));
    });
    drawGear(img, 128, 128, 60, 12, 0.2f, 2, palette::amber, 0.6f);
    drawRing(img, 128, 128, 90, 1.5f, palette::signalBlue, 0.6f);
    return img;
}

Image spikeTube() {
    return shade([](float u, float v, int, int) {
        float n = tileFbm(u * 4, v * 4, 4, 5, 5);
        float vein = 1 - std::fabs(tileFbm(u * 2, v * 2, 2, 4, 6) - 0.5f) * 12;
        Rgb c = mix(palette::steelDark, palette::steelLight, n);
        return mix(c, palette::amber, clamp01(vein) * 0.9f);
    });
}

Image spikeTunnel() {
    return shade([](float u, float v, int, int) {
        float n = tileFbm(u * 4, v * 4, 4, 4, 7);
        Rgb c = palette::night * (0.6f + n);
        c = mix(c, palette::signalBlue, edgeLine(u, v, 4, 2) * 0.8f);
        float node = clamp01(4 - std::min(gridDistance(u, 4), 1e9f) - gridDistance(v, 4));
        return mix(c, palette::ice, node);
    });
}

// A radial glow on black; rays adds a four-pointed star.
Image flare(Rgb core, Rgb halo, bool rays) {
    return shade([=](float u, float v, int, int) {
        float dx = (u - 0.5f) * 2, dy = (v - 0.5f) * 2;
        float r = std::sqrt(dx * dx + dy * dy);
        float glow = std::exp(-r * r * 9) * 0.9f + std::exp(-r * r * 60);
        if (rays) {
            float star = std::exp(-std::fabs(dx) * 40) + std::exp(-std::fabs(dy) * 40);
            glow += star * 0.5f * std::max(0.0f, 1 - r);
        }
        float fade = 1 - smoothstep(0.75f, 0.98f, r);
        return (mix(halo, core, clamp01(std::exp(-r * r * 30))) * clamp01(glow)) * fade;
    });
}

Image sphereBands() {
    return shade([](float u, float v, int, int) {
        float band = std::sin(v * 2 * pi * 6) * 0.5f + 0.5f;
        float n = tileFbm(u * 8, v * 4, 8, 4, 8);
        Rgb c = mix(palette::steel, palette::ice, band * 0.6f + n * 0.3f);
        return mix(c, palette::amber, edgeLine(u, v, 8, 2) * 0.7f);
    });
}

Image sphereHex() {
    return shade([](float u, float v, int, int) {
        // Hexagonal cells on a lattice that divides the tile exactly.
        float x = u * 8, y = v * 8 * 0.8660254f;
        float best = 1e9f, second = 1e9f;
        for (int j = -1; j <= 8; ++j) {
            for (int i = -1; i <= 8; ++i) {
                float cx = i + (j % 2 != 0 ? 0.5f : 0.0f), cy = j * 0.8660254f;
                float d = std::hypot(x - cx, y - cy);
                if (d < best) {
                    second = best;
                    best = d;
                } else if (d < second) {
                    second = d;
                }
            }
        }
        float edge = clamp01(1 - (second - best) * 10);
        float n = tileFbm(u * 8, v * 8, 8, 3, 9);
        return mix(mix(palette::steelDark, palette::steel, n), palette::amber, edge);
    });
}

Image sphereCircuit() {
    Image img = shade([](float u, float v, int, int) {
        float n = tileFbm(u * 4, v * 4, 4, 4, 10);
        return mix(palette::night, palette::steelDark, n);
    });
    // Traces on a 16-pixel lattice, turning at right angles; all of them stay
    // inside the tile or continue on the opposite edge.
    for (int i = 0; i < 40; ++i) {
        float x = 8 + 16 * std::floor(hashUnit(11, i) * 16);
        float y = 8 + 16 * std::floor(hashUnit(12, i) * 16);
        float len = 16 * (1 + std::floor(hashUnit(13, i) * 5));
        bool across = hashUnit(14, i) < 0.5f;
        float x1 = across ? x + len : x, y1 = across ? y : y + len;
        for (float shift : {0.0f, -256.0f}) {
            float sx = across ? shift : 0, sy = across ? 0 : shift;
            drawLine(img, x + sx, y + sy, x1 + sx, y1 + sy, 2.5f, palette::signalBlue, 0.9f);
        }
        fillCircle(img, x, y, 4, palette::amber);
    }
    return img;
}

Image blob() {
    return shade([](float u, float v, int, int) {
        float n = tileFbm(u * 4, v * 4, 4, 5, 15);
        float crack = 1 - std::fabs(tileFbm(u * 4, v * 4, 4, 3, 16) - 0.5f) * 14;
        Rgb hot = mix(palette::amberDeep, palette::amberPale, n);
        return mix(hot, palette::night, clamp01(crack) * 0.85f);
    });
}

Image translucentBox() {
    return shade([](float u, float v, int, int) {
        float edge = edgeLine(u, v, 1, 14);
        float grid = edgeLine(u, v, 4, 1.5f) * 0.18f;
        Rgb face = palette::signalBlue * 0.12f + palette::signalBlue * grid;
        return mix(face, palette::ice, edge);
    });
}

Image tunnelWall() {
    return shade([](float u, float v, int, int) {
        float n = tileFbm(u * 4, v * 4, 4, 4, 17);
        Rgb c = mix(palette::steelDark, palette::steel, n);
        float rib = clamp01(5 - gridDistance(u, 2));
        c = mix(c, palette::steelLight, rib);
        float lamp = clamp01(10 - std::hypot(gridDistance(u, 2) - 0, (v - 0.5f) * side * 0.3f));
        c = mix(c, palette::amberPale, lamp * 0.9f);
        return mix(c, palette::night, clamp01(2 - gridDistance(v, 1)) * 0.8f);
    });
}

Image crate() {
    return shade([](float u, float v, int, int) {
        float n = tileFbm(u * 4, v * 4, 4, 4, 18);
        Rgb c = mix(palette::steelDark, palette::steel, n);
        float brace = std::min(std::fabs(u - v), std::fabs(u + v - 1)) * side;
        c = mix(c, palette::amber, clamp01(7 - brace) * 0.9f);
        return mix(c, palette::steelLight, edgeLine(u, v, 1, 28));
    });
}

// Pixel art at 32 x 32 scaled up eight times: a checker floor with a gear
// emblem, in a small palette. The texture is drawn with nearest filtering.
Image pixelArt() {
    const Rgb colours[] = {palette::night, palette::steel, palette::steelLight, palette::amber,
                           palette::amberPale};
    Image small(32, 32);
    for (int y = 0; y < 32; ++y) {
        for (int x = 0; x < 32; ++x) {
            int c = ((x / 4 + y / 4) % 2 == 0) ? 1 : 0;
            float dx = x - 15.5f, dy = y - 15.5f;
            float r = std::sqrt(dx * dx + dy * dy);
            float a = std::atan2(dy, dx);
            float rim = 11 + 1.6f * (std::cos(a * 8) > 0 ? 1 : 0);
            if (r < rim) {
                c = 3;
            }
            if (r < 8) {
                c = 4;
            }
            if (r < 4) {
                c = 0;
            }
            if (x == 0 || y == 0) {
                c = 2;
            }
            small.at(x, y) = colours[c];
        }
    }
    return blockScale(small, 8);
}

// A chrome ball seen from the front: each pixel of the disc reflects the
// direction a sphere map gives it, into a sky over a dark floor with an amber
// horizon.
Image chromeSphereMap() {
    return shade([](float u, float v, int, int) {
        float nx = u * 2 - 1, ny = 1 - v * 2;
        float r2 = nx * nx + ny * ny;
        if (r2 > 1) {
            return palette::night;
        }
        float nz = std::sqrt(1 - r2);
        // Reflect the view direction (0, 0, -1) about the normal.
        float ry = 2 * nz * ny;
        float rz = 2 * nz * nz - 1;
        float elevation = ry;
        Rgb sky = mix(palette::signalBlue, palette::night, clamp01(elevation));
        Rgb floor = mix(palette::steelDark, palette::night, clamp01(-elevation * 2));
        Rgb c = elevation > 0 ? sky : floor;
        c = mix(c, palette::amberPale, std::exp(-elevation * elevation * 120));
        c = c + palette::ice * (0.6f * std::pow(clamp01(rz * 0.5f + 0.5f), 24.0f));
        float rim = smoothstep(0.96f, 1.0f, std::sqrt(r2));
        return mix(c, palette::night, rim);
    });
}

}  // namespace

Image makeGrain(int index, int side_) {
    Image img(side_, side_);
    uint32_t seed = 4000 + index * 77;
    for (int y = 0; y < side_; ++y) {
        for (int x = 0; x < side_; ++x) {
            float u = hashUnit(seed, x, y);
            if (u < 0.018f) {
                // A bright grain of one or two pixels, slightly cold.
                float b = 0.65f + 0.35f * hashUnit(seed + 1, x, y);
                img.at(x, y) = Rgb{b * 0.92f, b * 0.97f, b};
                if (hashUnit(seed + 2, x, y) < 0.3f && x + 1 < side_) {
                    img.at(x + 1, y) = Rgb{b * 0.5f, b * 0.52f, b * 0.55f};
                }
            } else if (img.at(x, y).r == 0) {
                float faint = hashUnit(seed + 3, x, y);
                img.at(x, y) = palette::ice * (faint * faint * 0.12f);
            }
        }
    }
    return img;
}

Image makeTexture(std::string_view file, const Fonts&) {
    if (file == "twistbox2.jpg")
        return pillar();
    if (file == "twist_1.jpg")
        return hazardTile();
    if (file == "twist_2.jpg")
        return grating();
    if (file == "twist_3.jpg")
        return roomWall();
    if (file == "spike_texture.jpg")
        return spikeTube();
    if (file == "spike_tunnel_texture.jpg")
        return spikeTunnel();
    if (file == "spike_flare_texture.jpg")
        return flare(palette::amberPale, palette::amber, false);
    if (file == "sphere_flare.jpg")
        return flare(palette::white, palette::signalBlue, true);
    if (file == "spheres_texture1.jpg")
        return sphereBands();
    if (file == "spheres_texture2.jpg")
        return sphereHex();
    if (file == "spheres_texture3.jpg")
        return sphereCircuit();
    if (file == "kasse_texture.jpg")
        return blob();
    if (file == "kasse_trans_texture.jpg")
        return translucentBox();
    if (file == "tunnel_texture.jpg")
        return tunnelWall();
    if (file == "tunnel_kasse_texture.jpg")
        return crate();
    if (file == "bitmap_texture.jpg")
        return pixelArt();
    return chromeSphereMap();
}
