#pragma once

// Recurring motifs of the pictures: backgrounds, grids, panels, gauges.

#include <cstdint>

#include "raster.h"

// Vertical gradient from top to bottom colour with a little tileable grain.
void gradientBackground(Image& img, Rgb top, Rgb bottom, uint32_t seed);
// Thin grid lines every step pixels, a brighter line every major steps.
void blueprintGrid(Image& img, int step, int major, Rgb colour, float opacity);
// Darkens the picture towards its edges.
void vignette(Image& img, float strength);
// Brushed steel plate with a bevelled edge and rivets in its corners.
void steelPanel(Image& img, float x0, float y0, float x1, float y1, uint32_t seed);
// A round gauge with tick marks and a needle at value 0..1.
void gauge(Image& img, float cx, float cy, float radius, float value, Rgb accent);
// Diagonal warning stripes inside a rectangle.
void hazardStripes(Image& img, float x0, float y0, float x1, float y1, float period, Rgb a, Rgb b);
// A soft glow of colour around a point, added to the picture.
void addGlow(Image& img, float cx, float cy, float radius, Rgb colour, float strength);
