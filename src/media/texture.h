#pragma once

#include <cstddef>
#include <cstdint>

// No picture file may be longer than this: the largest real one is well under
// 1 MB, so 16 MB leaves a wide margin and refuses a huge (or sparse) file
// before it is read.
constexpr size_t maxPictureFileBytes = size_t{16} << 20;

// All pictures decoded for one GL context together may hold no more than this
// many bytes of pixels (the RGBA buffers of alpha pictures counted too). The
// real set takes about 105 MB of it; a spoiled one (every picture replaced by
// an 8192 x 8192 JPEG) stops here, which keeps the whole demo, textures held
// by the driver included, near 550 MB at the worst (533 MB measured). A
// picture that would pass the budget is refused like an undecodable one.
constexpr size_t pictureBudgetBytes = size_t{192} << 20;

// Starts a new budget (for a new GL context; the tests' shared context).
void resetPictureBudget();

// Makes an opaque RGB texture from the JPEG picture name (a relative media
// path such as "data/loading.jpg" or "data\twist_1.jpg"). Returns the GL
// texture name, or -1 when the file is missing or empty, does not decode, is
// not square, is not three-channel, is larger than a texture may be, or would
// pass the picture budget.
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
