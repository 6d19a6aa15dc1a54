#include "raster.h"

#include <algorithm>
#include <cmath>

Rgb hexColour(uint32_t rgb) {
    return {((rgb >> 16) & 255) / 255.0f, ((rgb >> 8) & 255) / 255.0f, (rgb & 255) / 255.0f};
}

Image::Image(int width, int height, Rgb fill)
    : width_(width), height_(height), pixels_(static_cast<size_t>(width) * height, fill) {}

void Image::blend(int x, int y, Rgb colour, float coverage) {
    if (x < 0 || y < 0 || x >= width_ || y >= height_ || coverage <= 0) {
        return;
    }
    Rgb& p = at(x, y);
    p = mix(p, colour, std::min(coverage, 1.0f));
}

float Image::alpha(int x, int y) const {
    const Rgb& p = at(x, y);
    return std::max({p.r, p.g, p.b});
}

std::vector<uint8_t> Image::toBytes() const {
    std::vector<uint8_t> out(pixels_.size() * 3);
    for (size_t i = 0; i < pixels_.size(); ++i) {
        const Rgb& p = pixels_[i];
        out[3 * i] = static_cast<uint8_t>(std::lround(clamp01(p.r) * 255));
        out[3 * i + 1] = static_cast<uint8_t>(std::lround(clamp01(p.g) * 255));
        out[3 * i + 2] = static_cast<uint8_t>(std::lround(clamp01(p.b) * 255));
    }
    return out;
}

uint32_t hash32(uint32_t x) {
    x ^= x >> 16;
    x *= 0x7feb352dU;
    x ^= x >> 15;
    x *= 0x846ca68bU;
    x ^= x >> 16;
    return x;
}

float hashUnit(uint32_t a, uint32_t b, uint32_t c) {
    uint32_t h = hash32(a ^ hash32((b + 0x9e3779b9U) ^ hash32(c + 0x85ebca6bU)));
    return (h >> 8) * (1.0f / 16777216.0f);
}

float smoothstep(float e0, float e1, float x) {
    float t = clamp01((x - e0) / (e1 - e0));
    return t * t * (3 - 2 * t);
}

float clamp01(float v) {
    return v < 0 ? 0 : (v > 1 ? 1 : v);
}

float tileNoise(float x, float y, int period, uint32_t seed) {
    float fx = std::floor(x), fy = std::floor(y);
    int ix = static_cast<int>(fx), iy = static_cast<int>(fy);
    float tx = x - fx, ty = y - fy;
    auto lattice = [&](int cx, int cy) {
        cx = ((cx % period) + period) % period;
        cy = ((cy % period) + period) % period;
        return hashUnit(static_cast<uint32_t>(cx), static_cast<uint32_t>(cy), seed);
    };
    float sx = tx * tx * (3 - 2 * tx), sy = ty * ty * (3 - 2 * ty);
    float a = lattice(ix, iy), b = lattice(ix + 1, iy);
    float c = lattice(ix, iy + 1), d = lattice(ix + 1, iy + 1);
    return (a + (b - a) * sx) * (1 - sy) + (c + (d - c) * sx) * sy;
}

float tileFbm(float x, float y, int period, int octaves, uint32_t seed) {
    float sum = 0, weight = 0, amplitude = 1;
    for (int o = 0; o < octaves; ++o) {
        sum += amplitude * tileNoise(x, y, period, seed + 101 * o);
        weight += amplitude;
        amplitude *= 0.5f;
        x *= 2;
        y *= 2;
        period *= 2;
    }
    return sum / weight;
}

void fillRect(Image& img, float x0, float y0, float x1, float y1, Rgb colour, float opacity) {
    fillDistance(img, static_cast<int>(x0) - 1, static_cast<int>(y0) - 1, static_cast<int>(x1) + 2,
                 static_cast<int>(y1) + 2, colour, opacity, [&](float x, float y) {
                     float dx = std::max(x0 - x, x - x1);
                     float dy = std::max(y0 - y, y - y1);
                     return std::max(dx, dy);
                 });
}

void strokeRect(Image& img, float x0, float y0, float x1, float y1, float width, Rgb colour,
                float opacity) {
    drawLine(img, x0, y0, x1, y0, width, colour, opacity);
    drawLine(img, x1, y0, x1, y1, width, colour, opacity);
    drawLine(img, x1, y1, x0, y1, width, colour, opacity);
    drawLine(img, x0, y1, x0, y0, width, colour, opacity);
}

void drawLine(Image& img, float x0, float y0, float x1, float y1, float width, Rgb colour,
              float opacity) {
    float half = width / 2;
    int bx0 = static_cast<int>(std::floor(std::min(x0, x1) - half - 1));
    int by0 = static_cast<int>(std::floor(std::min(y0, y1) - half - 1));
    int bx1 = static_cast<int>(std::ceil(std::max(x0, x1) + half + 1));
    int by1 = static_cast<int>(std::ceil(std::max(y0, y1) + half + 1));
    float dx = x1 - x0, dy = y1 - y0;
    float len2 = dx * dx + dy * dy;
    fillDistance(img, bx0, by0, bx1, by1, colour, opacity, [&](float x, float y) {
        float t = len2 > 0 ? ((x - x0) * dx + (y - y0) * dy) / len2 : 0;
        t = clamp01(t);
        float px = x0 + t * dx - x, py = y0 + t * dy - y;
        return std::sqrt(px * px + py * py) - half;
    });
}

void fillCircle(Image& img, float cx, float cy, float radius, Rgb colour, float opacity) {
    int r = static_cast<int>(radius) + 2;
    fillDistance(img, static_cast<int>(cx) - r, static_cast<int>(cy) - r,
                 static_cast<int>(cx) + r + 1, static_cast<int>(cy) + r + 1, colour, opacity,
                 [&](float x, float y) { return std::hypot(x - cx, y - cy) - radius; });
}

void drawRing(Image& img, float cx, float cy, float radius, float width, Rgb colour,
              float opacity) {
    int r = static_cast<int>(radius + width) + 2;
    fillDistance(img, static_cast<int>(cx) - r, static_cast<int>(cy) - r,
                 static_cast<int>(cx) + r + 1, static_cast<int>(cy) + r + 1, colour, opacity,
                 [&](float x, float y) {
                     return std::fabs(std::hypot(x - cx, y - cy) - radius) - width / 2;
                 });
}

void drawGear(Image& img, float cx, float cy, float radius, int teeth, float angle, float width,
              Rgb colour, float opacity) {
    float tooth = radius * 0.12f;
    int r = static_cast<int>(radius + tooth + width) + 2;
    fillDistance(img, static_cast<int>(cx) - r, static_cast<int>(cy) - r,
                 static_cast<int>(cx) + r + 1, static_cast<int>(cy) + r + 1, colour, opacity,
                 [&](float x, float y) {
                     float rho = std::hypot(x - cx, y - cy);
                     float theta = std::atan2(y - cy, x - cx) - angle;
                     // A rounded square wave around the rim gives the teeth.
                     float wave = std::tanh(4 * std::cos(theta * teeth)) * 0.5f + 0.5f;
                     float rim = radius + tooth * wave;
                     float outline = std::fabs(rho - rim) - width / 2;
                     float hub = std::fabs(rho - radius * 0.35f) - width / 2;
                     return std::min(outline, hub);
                 });
}

static std::vector<float> gaussianKernel(float sigma) {
    int radius = std::max(1, static_cast<int>(std::ceil(sigma * 3)));
    std::vector<float> k(2 * radius + 1);
    float sum = 0;
    for (int i = -radius; i <= radius; ++i) {
        k[i + radius] = std::exp(-(i * i) / (2 * sigma * sigma));
        sum += k[i + radius];
    }
    for (float& v : k) {
        v /= sum;
    }
    return k;
}

void blur(Image& img, float sigma, bool wrap) {
    if (sigma <= 0) {
        return;
    }
    std::vector<float> k = gaussianKernel(sigma);
    int radius = static_cast<int>(k.size() / 2);
    int w = img.width(), h = img.height();
    auto index = [wrap](int i, int n) {
        if (wrap) {
            return ((i % n) + n) % n;
        }
        return std::clamp(i, 0, n - 1);
    };
    Image tmp(w, h);
    for (int y = 0; y < h; ++y) {
        for (int x = 0; x < w; ++x) {
            Rgb s;
            for (int i = -radius; i <= radius; ++i) {
                s = s + img.at(index(x + i, w), y) * k[i + radius];
            }
            tmp.at(x, y) = s;
        }
    }
    for (int y = 0; y < h; ++y) {
        for (int x = 0; x < w; ++x) {
            Rgb s;
            for (int i = -radius; i <= radius; ++i) {
                s = s + tmp.at(x, index(y + i, h)) * k[i + radius];
            }
            img.at(x, y) = s;
        }
    }
}

Image blockScale(const Image& small, int factor) {
    Image out(small.width() * factor, small.height() * factor);
    for (int y = 0; y < out.height(); ++y) {
        for (int x = 0; x < out.width(); ++x) {
            out.at(x, y) = small.at(x / factor, y / factor);
        }
    }
    return out;
}

void pasteScaled(Image& dst, const Image& src, int x, int y, int factor) {
    for (int j = 0; j < src.height() / factor; ++j) {
        for (int i = 0; i < src.width() / factor; ++i) {
            Rgb s;
            for (int v = 0; v < factor; ++v) {
                for (int u = 0; u < factor; ++u) {
                    s = s + src.at(i * factor + u, j * factor + v);
                }
            }
            int dx = x + i, dy = y + j;
            if (dx >= 0 && dy >= 0 && dx < dst.width() && dy < dst.height()) {
                dst.at(dx, dy) = s * (1.0f / (factor * factor));
            }
        }
    }
}
