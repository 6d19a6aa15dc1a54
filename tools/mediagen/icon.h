#pragma once

// The program's icon for desktop menus, painted at every size it is installed
// at rather than scaled from one picture, so small sizes stay sharp.

#include <string>

#include "raster.h"

struct Icon {
    Image colour;
    Image coverage;  // opacity in the red channel: a rounded square
};

// The sizes of the freedesktop hicolor theme the package installs.
inline constexpr int iconSizes[] = {16, 22, 24, 32, 48, 64, 128, 256};

Icon makeIcon(int size);

// Writes DIR/NxN/apps/velmorra.png for every size in iconSizes.
bool writeIcons(const std::string& dir, std::string& error);
