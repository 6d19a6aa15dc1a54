#pragma once

// The sphere routine the effects share: a sphere drawn as quad strips from a
// table of unit vectors that is computed once, on the first sphere drawn, and
// then deformed in place by the effects that want a wobbling surface.

// The table holds the 50-slice sphere: 25 rows of latitude, 51 columns of
// longitude (the last repeats the first).
constexpr int sphereTableSlices = 50;
constexpr int sphereTableRows = sphereTableSlices / 2;
constexpr int sphereTableColumns = sphereTableSlices + 1;

// One quad-strip step: the vector on the row's upper boundary, then the one
// on its lower boundary, each x, y, z.
struct SphereCell {
    float upper[3];
    float lower[3];
};

struct SphereVectorTable {
    SphereCell cells[sphereTableRows][sphereTableColumns];
};

// The table drawSphere reads once it is built, and that the deformations
// overwrite; zero until the first sphere is drawn.
const SphereVectorTable& sphereWorkingTable();
// The undeformed vectors, written once when the table is built.
const SphereVectorTable& sphereRestTable();
// Whether a drawSphere call has drawn anything yet and so built the table.
bool sphereTableReady();
// Puts the table back to its state before the first sphere, so that the next
// drawSphere builds it afresh. The demo never calls it; the tests do.
void forgetSphereTable();

// Draws a sphere around (cx, cy, cz) with the bound texture: s runs 0..sScale
// around it, t runs 0..tScale from the bottom pole to the top. Negative radius
// or slices count as their absolute values; fewer than 4 slices or radius 0
// draw nothing. With 50 slices the first call computes the true sphere and
// fills both tables, and every later call draws the working table as it stands,
// unnormalised vectors included. Other slice counts do not fit the table and
// are drawn as a true sphere computed on the spot, leaving the table alone.
void drawSphere(float cx, float cy, float cz, double radius, int slices, float sScale,
                float tScale);

// Copies the rest table over the working table.
void restoreSphere();

// Rewrites the working table from the rest table: every vector v becomes v * k with
// k = 1 + amplitude * (sin(x / xScale + 2.2 phase) + sin(y / yScale + 5 phase)
//                     + sin(z / zScale + 4.9 phase)).
// Always from the rest copy, so deformations never accumulate.
void deformSphere(float xScale, float yScale, float zScale, float amplitude, float phase);

// deformSphere, then every component limited to -1 .. 1.
void deformSphereClamped(float xScale, float yScale, float zScale, float amplitude, float phase);
