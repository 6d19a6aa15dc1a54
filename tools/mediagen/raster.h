#pragma once

// A small float raster with anti-aliased shape drawing, tileable noise and
// blur: everything the picture generator paints with. Coordinates are pixels,
// x to the right, y down, pixel centres at +0.5.

#include <cstddef>
#include <cstdint>
#include <vector>

struct Rgb {
    float r = 0, g = 0, b = 0;
};

inline Rgb operator+(Rgb a, Rgb b) {
    return {a.r + b.r, a.g + b.g, a.b + b.b};
}
inline Rgb operator*(Rgb a, float k) {
    return {a.r * k, a.g * k, a.b * k};
}
inline Rgb mix(Rgb a, Rgb b, float t) {
    return a * (1 - t) + b * t;
}
Rgb hexColour(uint32_t rgb);

class Image {
public:
    Image() = default;
    Image(int width, int height, Rgb fill = {});
    int width() const { return width_; }
    int height() const { return height_; }
    Rgb& at(int x, int y) { return pixels_[static_cast<size_t>(y) * width_ + x]; }
    const Rgb& at(int x, int y) const { return pixels_[static_cast<size_t>(y) * width_ + x]; }
    // Blends colour into one pixel with the given coverage (0..1); out of
    // range pixels are ignored.
    void blend(int x, int y, Rgb colour, float coverage);
    // Brightest channel of a pixel, the way an alpha picture is read.
    float alpha(int x, int y) const;
    // 8-bit RGB rows, top row first, clamped to 0..1 before rounding.
    std::vector<uint8_t> toBytes() const;

private:
    int width_ = 0, height_ = 0;
    std::vector<Rgb> pixels_;
};

// Deterministic hash-based random numbers, so no output depends on a library's
// distribution or on the order in which pictures are made.
uint32_t hash32(uint32_t x);
float hashUnit(uint32_t a, uint32_t b = 0, uint32_t c = 0);  // 0..1

// Value noise on a lattice that repeats every period cells, so a texture made
// from it tiles seamlessly; x and y are in lattice cells. Result 0..1.
float tileNoise(float x, float y, int period, uint32_t seed);
// Sum of octaves of tileNoise, each doubling the period. Result about 0..1.
float tileFbm(float x, float y, int period, int octaves, uint32_t seed);

float smoothstep(float e0, float e1, float x);
float clamp01(float v);

// Shapes, drawn with a one-pixel anti-aliased edge.
void fillRect(Image& img, float x0, float y0, float x1, float y1, Rgb colour, float opacity = 1);
void strokeRect(Image& img, float x0, float y0, float x1, float y1, float width, Rgb colour,
                float opacity = 1);
void drawLine(Image& img, float x0, float y0, float x1, float y1, float width, Rgb colour,
              float opacity = 1);
void fillCircle(Image& img, float cx, float cy, float radius, Rgb colour, float opacity = 1);
void drawRing(Image& img, float cx, float cy, float radius, float width, Rgb colour,
              float opacity = 1);
// Outline of a toothed wheel turned by angle radians.
void drawGear(Image& img, float cx, float cy, float radius, int teeth, float angle, float width,
              Rgb colour, float opacity = 1);
// Fills a region given by a signed distance function (negative inside) over a
// bounding box.
template <typename Distance>
void fillDistance(Image& img, int x0, int y0, int x1, int y1, Rgb colour, float opacity,
                  Distance distance) {
    for (int y = y0 < 0 ? 0 : y0; y < y1 && y < img.height(); ++y) {
        for (int x = x0 < 0 ? 0 : x0; x < x1 && x < img.width(); ++x) {
            float d = distance(x + 0.5f, y + 0.5f);
            float c = clamp01(0.5f - d);
            if (c > 0) {
                img.blend(x, y, colour, c * opacity);
            }
        }
    }
}

// Separable Gaussian blur; wrap = true treats the picture as tiling.
void blur(Image& img, float sigma, bool wrap = false);
// Linear nearest-free scaling by an integer factor (each pixel becomes a block).
Image blockScale(const Image& small, int factor);
// Copies src into dst with its top-left corner at (x, y), scaled by 1/factor
// with a box filter (factor 1 copies).
void pasteScaled(Image& dst, const Image& src, int x, int y, int factor);
