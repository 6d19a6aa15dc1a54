#pragma once

// The demo's one palette: cold steel blues with amber highlights.

#include "raster.h"

namespace palette {
inline const Rgb black{0, 0, 0};
inline const Rgb night = hexColour(0x070b12);
inline const Rgb steelDark = hexColour(0x141c27);
inline const Rgb steel = hexColour(0x33475c);
inline const Rgb steelLight = hexColour(0x7d93a8);
inline const Rgb ice = hexColour(0xd4e6f5);
inline const Rgb white{1, 1, 1};
inline const Rgb amber = hexColour(0xffa21e);
inline const Rgb amberDeep = hexColour(0xb8500c);
inline const Rgb amberPale = hexColour(0xffd58a);
inline const Rgb signalBlue = hexColour(0x4fb4ff);
}  // namespace palette
