#pragma once

// Procedural pictures in one cold industrial look. Each function paints one
// picture of the asset list; cut-out pictures come as a colour picture and
// the alpha picture that goes with it.

#include <string>
#include <string_view>

#include "raster.h"
#include "text.h"

struct Fonts {
    const Font& bold;
    const Font& mono;
};

struct CutoutPair {
    Image colour;
    Image mask;
};

// Full-screen opaque pictures: loading, hearing, credits, pause and soya.
Image makeFullScreen(std::string_view file, const Fonts& fonts);
// A cut-out picture and its mask. For pictures sharing a mask, every member's
// mask is the same picture.
CutoutPair makeCutout(std::string_view file, const Fonts& fonts);
// The two grain pictures; index 0 or 1.
Image makeGrain(int index, int side);
// The effects' own textures (tiles, flares, box, pixel art, sphere map).
Image makeTexture(std::string_view file, const Fonts& fonts);

// Number at the end of a file name such as "code3.jpg" (3); 0 without one.
int fileNumber(std::string_view file);

// Smooths a mask and pushes it towards 0 and 1, so that thresholding it at
// one half after JPEG compression gives a clean edge without speckles.
void finishMask(Image& mask);
