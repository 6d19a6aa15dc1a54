#pragma once

#include <cstdint>
#include <span>

// An axis-aligned box around (cx, cy, cz) with half-extents (hx, hy, hz).
struct BoxExtents {
    float cx;
    float cy;
    float cz;
    float hx;
    float hy;
    float hz;
};

// A box of six textured quads: back, front, left, right, bottom, top. Each face
// runs s from 0 to sRepeat across and t from 0 (top edge) to tRepeat (bottom
// edge). Binds texture, draws immediately (or into the display list being
// compiled) and leaves texture 0 bound. No normals and no colours.
void drawTexturedBox(float cx, float cy, float cz, float hx, float hy, float hz, float sRepeat,
                     float tRepeat, int32_t texture);

// The same quads for several boxes in one texture, in order, between a single
// bind and texture 0. The picture is the one drawTexturedBox draws for each box
// in turn; a display list made this way replays as one draw instead of one per
// box, which matters when the list is called hundreds of times a frame.
void drawTexturedBoxes(std::span<const BoxExtents> boxes, float sRepeat, float tRepeat,
                       int32_t texture);

// The box drawTexturedBox draws, with every face cut into `pieces` quads
// across it, each with its share of the texture. Fog is computed at the
// vertices and interpolated, from the distance to the eye plane taken before
// clipping, so a face much longer than the fog's reach whose vertices all lie
// far away fogs to black even where it passes the eye; pieces bring the
// vertices close enough for the fog to follow the surface.
void drawTexturedBoxInPieces(const BoxExtents& box, float sRepeat, float tRepeat, int32_t texture,
                             int pieces);
