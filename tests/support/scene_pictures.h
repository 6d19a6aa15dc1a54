#pragma once

#include <cstdint>
#include <set>
#include <string>
#include <vector>

// A data directory of small solid-colour pictures standing in for the overlay
// pictures, so that a pixel of a frame tells which picture was drawn there.
struct Rgb {
    int r;
    int g;
    int b;
};

// The colour picture of every overlay entry, in the order they are loaded.
const std::vector<std::string>& overlayColourPictures();

// The alpha picture of every overlay entry that has one, in load order
// ("" for the entries without one).
const std::vector<std::string>& overlayAlphaPictures();

// The effects' own pictures as their build steps name them, in the order
// start-up loads them (a backslash where the effect writes one). A picture an
// effect loads twice is listed twice.
const std::vector<std::string>& effectPictures();

// The file an effect picture name refers to: the name with backslashes as slashes.
std::string pictureFile(const std::string& name);

// The test colour of a picture: a different one for every colour picture,
// black for the two grain pictures (so their alpha is 0 and they vanish when
// blended), white for the alpha pictures (fully opaque).
Rgb sceneColour(const std::string& name);

// Writes data/<name> for the loading picture, every effect picture, every
// overlay colour and alpha picture, except the names in missing (written as
// the demo names them; an effect picture is missed by either spelling). Colours come from
// sceneColour unless whiteGrain asks for "data/nois1.jpg" to be white (then it is opaque).
struct ScenePictureOptions {
    std::set<std::string> missing;
    bool whiteGrain = false;
};
void writeScenePictures(const std::string& directory, const ScenePictureOptions& options = {});

// Writes the pictures into a fresh temporary directory, points the media
// lookup there, runs an effect's build step and loads the catalogue: returns
// the "Error loading" records they wrote, in order.
std::vector<std::string> buildWithScenePictures(void (*buildEffect)(),
                                                const ScenePictureOptions& options = {});

// The texts of the "Error loading" records in a stderr capture, in order.
std::vector<std::string> errorLoadingRecords(const std::string& stderrText);

// Whether an RGB pixel is within tolerance of a colour in every channel.
bool pixelNear(const std::vector<uint8_t>& pixel, Rgb colour, int tolerance = 12);

std::string describePixel(const std::vector<uint8_t>& pixel);
