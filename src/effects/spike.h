#pragma once

#include <GL/gl.h>

#include <array>
#include <cstdint>
#include <span>
#include <vector>

#include "base/crt_random.h"
#include "base/scene_time.h"
#include "presentation/cut_keys.h"

// The spike effect: a flight along z between an inner tube whose wall grows
// pulsing spikes and an outer tunnel, in black fog, past a double row of
// blended flares.

// Builds the tube arrays, loads the three pictures, fills the spike and flare
// tables and compiles the tunnel's display list. Needs a current GL context;
// runs once at start-up, last of the effect builds.
void buildSpikes();

// Leaves fog off with exponential density 0.0002, blending off with the
// function SRC_ALPHA, ONE_MINUS_SRC_ALPHA, depth writes on and texture 0 bound.
void spikeScene(SceneTime t);

// The camera at depth (along z) and phase p, the spikes pushed out by the
// pulse of p, the tube, the tunnel and the flares.
void drawSpikes(unsigned depth, float phase);

// Position, then texture coordinates.
struct TubeVertex {
    float x;
    float y;
    float z;
    float s;
    float t;
};

// passes + 1 rings of n vertices, ring after ring, with no seam vertex: ring i
// lies at z = spacing * i, s runs to sRange along the tube and t to tRange
// around it.
std::vector<TubeVertex> makeTubeVertices(int passes, int n, float radius, float spacing,
                                         float tRange, float sRange);

// Calls emit with the vertex number of every vertex drawTube emits, in order:
// two triangles per quad (m, m + 1, m + n + 1, m + n). The start of each pass
// advances by n - 1, not n, so the last quad of a ring reaches into the next
// ring and the surface winds as one band; every quad 0 ... passes * (n - 1) - 1
// is drawn once.
template <typename Emit>
void walkTube(int passes, int n, Emit&& emit) {
    int base = 0;
    for (int pass = 0; pass < passes; ++pass) {
        for (int j = 0; j < n - 1; ++j) {
            const int m = base + j;
            emit(m);
            emit(m + 1);
            emit(m + n);
            emit(m + 1);
            emit(m + n + 1);
            emit(m + n);
        }
        base += n - 1;
    }
}

// Emits the tube as triangles, each vertex with a normal of length 10 along
// its position, its texture coordinates and its position. Binds no texture.
void drawTube(int passes, int n, const TubeVertex* vertices);

inline constexpr int spikeRingCount = 200;
inline constexpr int spikeRingSize = 15;

// For every ring, the first of its segments that grows a spike (15: none);
// neighbouring rings never start at the same segment.
std::array<int, spikeRingCount> makeRingSpikeStarts(CrtRandom& random);

// Rewrites the spike vertices of tube from rest: on the odd rings 1 ...
// rings - 1 the segments start, start + 4, ... below n move out by factor, on
// the even rings they are put back. Only x and y change, only there, and
// always from rest, so nothing accumulates from call to call.
void displaceSpikes(std::span<TubeVertex> tube, std::span<const TubeVertex> rest,
                    std::span<const int> spikeStarts, float factor, int rings, int n);
// The same on the effect's own tube.
void displaceSpikes(float factor, int rings, int n);

// What the scene shows at t: the flight's jump (milliseconds added to t), and
// the camera depth and phase of the shifted time.
struct SpikeShot {
    int timeOffset;
    unsigned cameraDepth;
    float phase;
    CutKeys cutKeys() const;
};
SpikeShot spikeShotAt(SceneTime t);

// Folds a signed depth into 0 ... 32000: a negative d becomes 32000 - d, and
// anything past 32000 wraps round to 1 ... 32000.
unsigned wrapCameraDepth(int64_t d);

// The camera depth for the shifted time s: 2s - 64000 wrapped, so the flight
// advances 2 units per millisecond and starts over every 16 s.
unsigned spikeCameraDepth(SceneTime shifted);
