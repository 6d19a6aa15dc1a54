#include "motifs.h"

#include <algorithm>
#include <cmath>

#include "palette.h"

void gradientBackground(Image& img, Rgb top, Rgb bottom, uint32_t seed) {
    int w = img.width(), h = img.height();
    for (int y = 0; y < h; ++y) {
        for (int x = 0; x < w; ++x) {
            float t = (y + 0.5f) / h;
            float n = tileFbm(x / 32.0f, y / 32.0f, w / 32, 3, seed) - 0.5f;
            img.at(x, y) = mix(top, bottom, t) * (1 + 0.25f * n);
        }
    }
}

void blueprintGrid(Image& img, int step, int major, Rgb colour, float opacity) {
    int w = img.width(), h = img.height();
    for (int i = 0; i * step <= std::max(w, h); ++i) {
        float p = i * step + 0.5f;
        bool strong = major > 0 && i % major == 0;
        float width = strong ? 1.6f : 1.0f;
        float o = strong ? opacity * 1.8f : opacity;
        drawLine(img, p, 0, p, static_cast<float>(h), width, colour, o);
        drawLine(img, 0, p, static_cast<float>(w), p, width, colour, o);
    }
}

void vignette(Image& img, float strength) {
    int w = img.width(), h = img.height();
    for (int y = 0; y < h; ++y) {
        for (int x = 0; x < w; ++x) {
            float dx = (x + 0.5f) / w - 0.5f, dy = (y + 0.5f) / h - 0.5f;
            float d = std::sqrt(dx * dx + dy * dy) * 1.41421f;
            img.at(x, y) = img.at(x, y) * (1 - strength * d * d);
        }
    }
}

void steelPanel(Image& img, float x0, float y0, float x1, float y1, uint32_t seed) {
    for (int y = std::max(0, static_cast<int>(y0)); y < std::min<int>(img.height(), y1); ++y) {
        for (int x = std::max(0, static_cast<int>(x0)); x < std::min<int>(img.width(), x1); ++x) {
            float t = (y - y0) / std::max(1.0f, y1 - y0);
            float brushed = tileNoise(x / 64.0f, y * 1.5f, 8, seed) - 0.5f;
            Rgb base = mix(palette::steel, palette::steelDark, t * 0.8f);
            img.at(x, y) = base * (1 + 0.35f * brushed);
        }
    }
    drawLine(img, x0 + 1, y0 + 1, x1 - 1, y0 + 1, 2, palette::steelLight, 0.9f);
    drawLine(img, x0 + 1, y0 + 1, x0 + 1, y1 - 1, 2, palette::steelLight, 0.6f);
    drawLine(img, x0 + 1, y1 - 1, x1 - 1, y1 - 1, 2, palette::night, 0.9f);
    drawLine(img, x1 - 1, y0 + 1, x1 - 1, y1 - 1, 2, palette::night, 0.7f);
    float inset = 7;
    if (x1 - x0 > 4 * inset && y1 - y0 > 4 * inset) {
        for (float cy : {y0 + inset, y1 - inset}) {
            for (float cx : {x0 + inset, x1 - inset}) {
                fillCircle(img, cx, cy, 2.6f, palette::night, 0.8f);
                fillCircle(img, cx - 0.6f, cy - 0.6f, 1.6f, palette::steelLight, 0.9f);
            }
        }
    }
}

void gauge(Image& img, float cx, float cy, float radius, float value, Rgb accent) {
    fillCircle(img, cx, cy, radius, palette::night, 0.9f);
    drawRing(img, cx, cy, radius, 2.5f, palette::steelLight);
    const float start = 2.4f, sweep = 4.6f;  // radians, clockwise from lower left
    for (int i = 0; i <= 10; ++i) {
        float a = start + sweep * i / 10;
        float inner = radius * (i % 5 == 0 ? 0.68f : 0.78f);
        drawLine(img, cx + std::cos(a) * inner, cy + std::sin(a) * inner,
                 cx + std::cos(a) * radius * 0.9f, cy + std::sin(a) * radius * 0.9f,
                 i % 5 == 0 ? 2.2f : 1.2f, i >= 8 ? accent : palette::ice);
    }
    float a = start + sweep * value;
    drawLine(img, cx, cy, cx + std::cos(a) * radius * 0.8f, cy + std::sin(a) * radius * 0.8f, 2.5f,
             accent);
    fillCircle(img, cx, cy, radius * 0.1f, palette::steelLight);
}

void hazardStripes(Image& img, float x0, float y0, float x1, float y1, float period, Rgb a, Rgb b) {
    for (int y = std::max(0, static_cast<int>(y0)); y < std::min<int>(img.height(), y1); ++y) {
        for (int x = std::max(0, static_cast<int>(x0)); x < std::min<int>(img.width(), x1); ++x) {
            float s = std::fmod(x + y + 0.5f * period * 8, period) / period;
            // Anti-aliased edges at 0 and one half of each stripe period.
            float edge = period > 4 ? 1.0f / period : 0.25f;
            float c = smoothstep(0.5f - edge, 0.5f + edge, s) * (1 - smoothstep(1 - edge, 1, s));
            c += 1 - smoothstep(0, edge, s);
            img.at(x, y) = mix(a, b, clamp01(c));
        }
    }
}

void addGlow(Image& img, float cx, float cy, float radius, Rgb colour, float strength) {
    int r = static_cast<int>(radius * 3);
    for (int y = std::max(0, static_cast<int>(cy) - r);
         y < std::min(img.height(), static_cast<int>(cy) + r); ++y) {
        for (int x = std::max(0, static_cast<int>(cx) - r);
             x < std::min(img.width(), static_cast<int>(cx) + r); ++x) {
            float d = std::hypot(x + 0.5f - cx, y + 0.5f - cy) / radius;
            img.at(x, y) = img.at(x, y) + colour * (strength * std::exp(-d * d));
        }
    }
}
