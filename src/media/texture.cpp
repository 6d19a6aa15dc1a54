#include "media/texture.h"

#include <GL/gl.h>

#include <algorithm>
#include <cstddef>
#include <memory>
#include <new>
#include <string>

#include "media/file_reading.h"
#include "media/jpeg.h"
#include "platform/program_directory.h"

namespace {

struct Picture {
    std::unique_ptr<uint8_t[]> pixels;
    int width = 0;
    int height = 0;
    int channels = 0;
};

size_t pictureBytesLeft = pictureBudgetBytes;

// Takes bytes from the picture budget; false (and nothing taken) when they do
// not fit.
bool chargePictureBytes(size_t bytes) {
    if (bytes > pictureBytesLeft) {
        return false;
    }
    pictureBytesLeft -= bytes;
    return true;
}

size_t pictureBytes(const Picture& picture) {
    return static_cast<size_t>(picture.width) * static_cast<size_t>(picture.height) *
           static_cast<size_t>(picture.channels);
}

// Decodes within what is left of the budget and charges the result.
void decodeWithinBudget(Picture& picture, const uint8_t* bytes, size_t size, int maxSide) {
    picture.pixels = decodeJpeg(picture.width, picture.height, picture.channels, bytes, size,
                                maxSide, pictureBytesLeft);
    if (picture.pixels && !chargePictureBytes(pictureBytes(picture))) {
        picture.pixels.reset();
    }
}

// The largest side a texture may have here: the driver's limit, and never
// more than the decoder accepts.
int largestTextureSide() {
    GLint limit = 0;
    glGetIntegerv(GL_MAX_TEXTURE_SIZE, &limit);
    return limit > 0 ? std::min<int>(limit, maxPictureSide) : maxPictureSide;
}

// Reads and decodes one media file. An unreadable or undecodable file gives a
// picture without pixels; the file buffer is gone once this returns.
Picture readPicture(const char* name, int maxSide) {
    Picture picture;
    size_t size = 0;
    const std::unique_ptr<uint8_t[]> bytes =
        readWholeFile(dataPath(name), size, maxPictureFileBytes);
    if (!bytes || size == 0) {
        return picture;
    }
    decodeWithinBudget(picture, bytes.get(), size, maxSide);
    return picture;
}

bool isSquareColourPicture(const Picture& picture) {
    return picture.pixels && picture.width == picture.height && picture.channels == 3;
}

// Creates the texture object and uploads one level. Returns -1, and keeps no
// texture object, when the driver refuses the image.
int32_t uploadTexture(const uint8_t* pixels, int width, int height, GLenum format) {
    while (glGetError() != GL_NO_ERROR) {
        // Errors left by earlier calls must not be taken for the upload's.
    }
    GLuint name = 0;
    glGenTextures(1, &name);
    glBindTexture(GL_TEXTURE_2D, name);
    glPixelStorei(GL_UNPACK_ALIGNMENT, 1);  // decoded rows are packed
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_REPEAT);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_REPEAT);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR);
    // State of the active texture unit, not of the texture: set on every load.
    glTexEnvf(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_MODULATE);
    glTexImage2D(GL_TEXTURE_2D, 0, static_cast<GLint>(format), width, height, 0, format,
                 GL_UNSIGNED_BYTE, pixels);
    const bool uploaded = glGetError() == GL_NO_ERROR;
    glBindTexture(GL_TEXTURE_2D, 0);
    if (!uploaded || name == 0) {
        glDeleteTextures(1, &name);
        return -1;
    }
    return static_cast<int32_t>(name);
}

}  // namespace

void resetPictureBudget() {
    pictureBytesLeft = pictureBudgetBytes;
}

void combineColourAndAlpha(const uint8_t* colour, const uint8_t* alpha, int width, int height,
                           uint8_t* rgba) {
    const size_t count = static_cast<size_t>(width) * static_cast<size_t>(height);
    for (size_t p = 0; p < count; ++p) {
        const uint8_t* c = colour + 3 * p;
        const uint8_t* a = alpha + 3 * p;
        uint8_t* out = rgba + 4 * p;
        out[0] = c[0];
        out[1] = c[1];
        out[2] = c[2];
        out[3] = std::max({a[0], a[1], a[2]});
    }
}

int32_t loadTexture(const char* name) {
    const Picture picture = readPicture(name, largestTextureSide());
    if (!isSquareColourPicture(picture)) {
        return -1;
    }
    return uploadTexture(picture.pixels.get(), picture.width, picture.height, GL_RGB);
}

int32_t loadTextureWithAlpha(const char* alphaName, const char* colourName) {
    const int maxSide = largestTextureSide();
    // Both files must be readable before either is decoded.
    size_t alphaSize = 0;
    size_t colourSize = 0;
    std::unique_ptr<uint8_t[]> alphaBytes =
        readWholeFile(dataPath(alphaName), alphaSize, maxPictureFileBytes);
    if (!alphaBytes) {
        return -1;
    }
    std::unique_ptr<uint8_t[]> colourBytes =
        readWholeFile(dataPath(colourName), colourSize, maxPictureFileBytes);
    if (!colourBytes) {
        return -1;
    }
    Picture colour;
    decodeWithinBudget(colour, colourBytes.get(), colourSize, maxSide);
    colourBytes.reset();
    if (!colour.pixels) {
        return -1;
    }
    Picture alpha;
    decodeWithinBudget(alpha, alphaBytes.get(), alphaSize, maxSide);
    alphaBytes.reset();
    if (!alpha.pixels || !isSquareColourPicture(colour) || !isSquareColourPicture(alpha) ||
        colour.width != alpha.width || colour.height != alpha.height) {
        return -1;
    }

    const size_t count = static_cast<size_t>(colour.width) * static_cast<size_t>(colour.height);
    if (!chargePictureBytes(count * 4)) {
        return -1;
    }
    std::unique_ptr<uint8_t[]> rgba(new (std::nothrow) uint8_t[count * 4]);
    if (!rgba) {
        return -1;
    }
    combineColourAndAlpha(colour.pixels.get(), alpha.pixels.get(), colour.width, colour.height,
                          rgba.get());
    return uploadTexture(rgba.get(), colour.width, colour.height, GL_RGBA);
}
