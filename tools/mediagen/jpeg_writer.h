#pragma once

#include <string>

#include "raster.h"

// Writes img as a baseline three-component (YCbCr) JPEG. fullChroma keeps the
// colour planes at full resolution (masks and pixel art, whose edges matter).
// Returns false and sets error on failure.
bool writeJpeg(const std::string& path, const Image& img, int quality, bool fullChroma,
               std::string& error);

// Writes 8-bit RGB rows, top row first, as a PNG.
bool writePngRgb(const std::string& path, int width, int height, const std::vector<uint8_t>& rgb,
                 std::string& error);

// Writes colour as an RGBA PNG whose alpha is the red channel of coverage.
bool writePngRgba(const std::string& path, const Image& colour, const Image& coverage,
                  std::string& error);
