#include "effects/spike.h"

#include <GL/glu.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <memory>
#include <numbers>

#include "base/scene_phase.h"
#include "base/time_tables.h"
#include "gfx/fog.h"
#include "gfx/radial_normal.h"
#include "presentation/sprite.h"

namespace {

constexpr int tubePasses = 200;
constexpr int flareCount = 200;

// The inner tube as drawn (spikes pushed out) and as built (never changed).
std::vector<TubeVertex> spikeTube;
std::vector<TubeVertex> spikeTubeRest;
std::vector<TubeVertex> spikeTunnelVertices;

std::unique_ptr<Sprite> tubePicture;
std::unique_ptr<Sprite> tunnelPicture;
std::unique_ptr<AlphaSprite> flare;

std::array<int, spikeRingCount> ringSpikeStart = {};

struct FlarePosition {
    float x;
    float y;
    float z;
};
std::array<FlarePosition, flareCount> flarePositions = {};

GLuint spikeTunnelList = 0;

// The jumps of the flight; none until the first row.
constexpr HeldChange<int> spikeTimeChanges[] = {
    {32331, 500},   {32542, 1000},  {32775, 1500},  {33210, 3000},  {33447, 1000},  {34599, 2500},
    {34892, 1500},  {34994, 4000},  {35104, 4500},  {35544, 5000},  {35882, 3500},  {36095, 6000},
    {36318, 5500},  {36763, 7000},  {36993, 6000},  {37320, 7500},  {37874, 8000},  {38103, 9500},
    {38431, 8000},  {38532, 7000},  {38620, 4000},  {39104, 9000},  {39425, 8000},  {39674, 9500},
    {39879, 6000},  {40325, 8000},  {40511, 9000},  {41193, 10000}, {41413, 10500}, {41561, 9000},
    {42648, 11000}, {42979, 11500}, {43191, 11000}, {43421, 12500}, {43865, 11500}, {44080, 10500},
    {44432, 13000}, {44740, 11000}, {44979, 12500}, {45198, 14000},
};

}  // namespace

std::vector<TubeVertex> makeTubeVertices(int passes, int n, float radius, float spacing,
                                         float tRange, float sRange) {
    std::vector<TubeVertex> vertices;
    vertices.reserve(static_cast<size_t>(passes + 1) * static_cast<size_t>(n));
    for (int i = 0; i <= passes; ++i) {
        for (int j = 0; j < n; ++j) {
            const double around = 2.0 * std::numbers::pi * j / n;
            vertices.push_back({
                static_cast<float>(radius * std::sin(around)),
                static_cast<float>(radius * std::cos(around)),
                spacing * static_cast<float>(i),
                static_cast<float>(static_cast<double>(sRange) * i / (passes + 1)),
                static_cast<float>(static_cast<double>(tRange) * j / n),
            });
        }
    }
    return vertices;
}

void drawTube(int passes, int n, const TubeVertex* vertices) {
    glBegin(GL_TRIANGLES);
    walkTube(passes, n, [vertices](int index) {
        const TubeVertex& v = vertices[index];
        emitRadialNormal(v.x, v.y, v.z);
        glTexCoord2f(v.s, v.t);
        glVertex3f(v.x, v.y, v.z);
    });
    glEnd();
}

std::array<int, spikeRingCount> makeRingSpikeStarts(CrtRandom& random) {
    std::array<int, spikeRingCount> starts = {};
    for (int i = 0; i < spikeRingCount; ++i) {
        int v = (random.next() + i) % 16;
        while (i > 0 && v == starts[i - 1]) {
            v = (random.next() + i) % 16;
        }
        starts[i] = v;
    }
    return starts;
}

void displaceSpikes(std::span<TubeVertex> tube, std::span<const TubeVertex> rest,
                    std::span<const int> spikeStarts, float factor, int rings, int n) {
    const int lastRing = std::min(rings, static_cast<int>(spikeStarts.size()));
    for (int i = 1; i < lastRing; ++i) {
        const bool odd = i % 2 == 1;
        for (int j = spikeStarts[i]; j < n; j += 4) {
            const size_t index = static_cast<size_t>(i) * static_cast<size_t>(n) + j;
            const TubeVertex& from = rest[index];
            TubeVertex& to = tube[index];
            to.x = odd ? factor * from.x : from.x;
            to.y = odd ? factor * from.y : from.y;
            to.z = from.z;
        }
    }
}

void displaceSpikes(float factor, int rings, int n) {
    displaceSpikes(spikeTube, spikeTubeRest, ringSpikeStart, factor, rings, n);
}

unsigned wrapCameraDepth(int64_t d) {
    while (d < 0) {
        d = 32000 - d;
    }
    if (d > 32000) {
        d = (d - 1) % 32000 + 1;
    }
    return static_cast<unsigned>(d);
}

unsigned spikeCameraDepth(SceneTime shifted) {
    // Wide enough that doubling any shifted time cannot overflow.
    return wrapCameraDepth(2 * static_cast<int64_t>(shifted) - 64000);
}

SpikeShot spikeShotAt(SceneTime t) {
    const int offset = heldValueAt(spikeTimeChanges, t, 0);
    const SceneTime shifted = t + static_cast<SceneTime>(offset);
    return {offset, spikeCameraDepth(shifted), scenePhase(shifted)};
}

CutKeys SpikeShot::cutKeys() const {
    return {static_cast<double>(timeOffset), 0.0};
}

void buildSpikes() {
    spikeTube = makeTubeVertices(tubePasses, spikeRingSize, 350.0f, 200.0f, 2.0f, 20.0f);
    spikeTubeRest = makeTubeVertices(tubePasses, spikeRingSize, 350.0f, 200.0f, 2.0f, 20.0f);
    spikeTunnelVertices = makeTubeVertices(tubePasses, spikeRingSize, 800.0f, 200.0f, 2.0f, 20.0f);

    tubePicture = std::make_unique<Sprite>("data\\spike_texture.jpg");
    tunnelPicture = std::make_unique<Sprite>("data\\spike_tunnel_texture.jpg");
    flare = std::make_unique<AlphaSprite>("data\\spike_flare_texture.jpg",
                                          "data\\spike_flare_texture.jpg");

    // A generator of our own, started afresh, so the pattern is the same on
    // every run.
    CrtRandom random;
    ringSpikeStart = makeRingSpikeStarts(random);

    flare->setHalfSize(100.0f);
    for (int i = 0; i < flareCount; ++i) {
        const double around = i * std::numbers::pi;
        flarePositions[i] = {static_cast<float>(700.0 * std::sin(around)),
                             static_cast<float>(700.0 * std::cos(around)),
                             static_cast<float>(200 * i)};
    }

    spikeTunnelList = glGenLists(1);
    glNewList(spikeTunnelList, GL_COMPILE);
    bindTextureOf(tunnelPicture.get());
    drawTube(tubePasses, spikeRingSize, spikeTunnelVertices.data());
    glBindTexture(GL_TEXTURE_2D, 0);
    glEndList();
}

void drawSpikes(unsigned depth, float phase) {
    enableBlackFog(0.0002f, 1000.0f);

    const double p = phase;
    // Swings between 1 and 2: the spike tips reach from radius 350 to 700.
    displaceSpikes(static_cast<float>((std::sin(p) + 1.0) * 0.5 + 1.0), spikeRingCount,
                   spikeRingSize);
    flare->setHalfSize(static_cast<float>(50.0 * std::sin(2.0 * p) + 100.0));

    glPushMatrix();
    const double ahead = static_cast<float>(phase + 0.2);
    gluLookAt(500.0 * std::sin(p), 500.0 * std::cos(p), static_cast<double>(depth),
              500.0 * std::sin(ahead), 500.0 * std::cos(ahead), static_cast<double>(depth + 1000u),
              0.0, 1.0, 0.0);

    bindTextureOf(tubePicture.get());
    drawTube(tubePasses, spikeRingSize, spikeTube.data());
    glCallList(spikeTunnelList);

    // Unsorted and depth-tested, so the walls hide the flares behind them.
    glDepthMask(GL_FALSE);
    glEnable(GL_BLEND);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    bindTextureOf(flare.get());
    for (const FlarePosition& position : flarePositions) {
        flare->setPosition(position.x, position.y, position.z);
        flare->drawTriangles();
    }
    glDisable(GL_BLEND);
    glDepthMask(GL_TRUE);
    glBindTexture(GL_TEXTURE_2D, 0);
    glPopMatrix();
    glDisable(GL_FOG);
}

void spikeScene(SceneTime t) {
    if (flare == nullptr) {
        return;  // not built
    }
    const SpikeShot shot = spikeShotAt(t);
    drawSpikes(shot.cameraDepth, shot.phase);
}
