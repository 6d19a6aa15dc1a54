#pragma once

#include <cstdint>

// An axis-aligned box of six textured quads around (cx, cy, cz) with
// half-extents (hx, hy, hz). Each face runs s from 0 to sRepeat across and t
// from 0 (top edge) to tRepeat (bottom edge). Binds texture, draws
// immediately (or into the display list being compiled) and leaves texture 0
// bound. No normals and no colours.
void drawTexturedBox(float cx, float cy, float cz, float hx, float hy, float hz, float sRepeat,
                     float tRepeat, int32_t texture);
