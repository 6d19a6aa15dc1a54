#pragma once

#include <cstdint>

// Makes an opaque RGB texture from the JPEG picture name (a relative media
// path such as "data/loading.jpg" or "data\twist_1.jpg"). Returns the GL
// texture name, or -1 when the file is missing or empty, does not decode, is
// not square, is not three-channel, or is larger than a texture may be.
int32_t loadTexture(const char* name);

// Makes an RGBA texture from a colour picture and an alpha picture of the same
// size: red, green and blue come from the colour picture, alpha is the largest
// channel of the alpha picture at each pixel. The alpha picture comes first.
// Both must be square three-channel JPEGs. Returns the texture name or -1.
int32_t loadTextureWithAlpha(const char* alphaName, const char* colourName);

// Both loaders leave texture 0 bound to GL_TEXTURE_2D, GL_UNPACK_ALIGNMENT at
// 1 and the active unit's texture environment at GL_MODULATE.

// Fills rgba (width * height * 4 bytes) from packed RGB colour and alpha
// pictures of width * height pixels each.
void combineColourAndAlpha(const uint8_t* colour, const uint8_t* alpha, int width, int height,
                           uint8_t* rgba);
