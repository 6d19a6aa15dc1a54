#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <vector>

#include "base/crt_random.h"
#include "effects/spike.h"

namespace {

TEST(SpikeBuild, GeneratorRepeatsTheClassicRuntimeSequenceFromStateOne) {
    CrtRandom random;
    const int expected[] = {41, 18467, 6334, 26500, 19169, 15724, 11478, 29358, 26962, 24464};
    for (int value : expected) {
        EXPECT_EQ(random.next(), value);
    }
}

TEST(SpikeBuild, RingSpikeStartsStayInRangeAndNeverRepeatOnNeighbours) {
    CrtRandom random;
    const std::array<int, spikeRingCount> starts = makeRingSpikeStarts(random);
    // (41 + 0) mod 16, (18467 + 1) mod 16, (6334 + 2) mod 16.
    EXPECT_EQ(starts[0], 9);
    EXPECT_EQ(starts[1], 4);
    EXPECT_EQ(starts[2], 0);
    for (int i = 0; i < spikeRingCount; ++i) {
        EXPECT_GE(starts[i], 0) << i;
        EXPECT_LE(starts[i], 15) << i;
        if (i > 0) {
            EXPECT_NE(starts[i], starts[i - 1]) << i;
        }
    }
    CrtRandom again;
    EXPECT_EQ(makeRingSpikeStarts(again), starts) << "the pattern must be the same on every run";
}

TEST(SpikeTube, VerticesLieOnRingsWithoutASeamVertex) {
    const std::vector<TubeVertex> tube = makeTubeVertices(200, 15, 350.0f, 200.0f, 2.0f, 20.0f);
    ASSERT_EQ(tube.size(), 201u * 15u);
    const struct {
        int ring;
        int segment;
        TubeVertex expected;
    } cases[] = {
        {0, 0, {0.0f, 350.0f, 0.0f, 0.0f, 0.0f}},
        {1, 14, {-142.35782f, 319.74091f, 200.0f, 20.0f / 201.0f, 28.0f / 15.0f}},
        {200, 5, {303.10889f, -175.0f, 40000.0f, 4000.0f / 201.0f, 10.0f / 15.0f}},
    };
    for (const auto& c : cases) {
        const TubeVertex& v = tube[c.ring * 15 + c.segment];
        EXPECT_NEAR(v.x, c.expected.x, 1e-3) << c.ring << "/" << c.segment;
        EXPECT_NEAR(v.y, c.expected.y, 1e-3) << c.ring << "/" << c.segment;
        EXPECT_FLOAT_EQ(v.z, c.expected.z) << c.ring << "/" << c.segment;
        EXPECT_FLOAT_EQ(v.s, c.expected.s) << c.ring << "/" << c.segment;
        EXPECT_FLOAT_EQ(v.t, c.expected.t) << c.ring << "/" << c.segment;
    }
}

TEST(SpikeTube, WalkDrawsEveryQuadOnceAsOneWindingBand) {
    std::vector<int> emitted;
    walkTube(200, 15, [&emitted](int index) { emitted.push_back(index); });
    ASSERT_EQ(emitted.size(), 2800u * 6u);
    std::vector<int> timesDrawn(2800, 0);
    for (size_t k = 0; k < emitted.size(); k += 6) {
        const int m = emitted[k];
        ASSERT_GE(m, 0);
        ASSERT_LT(m, 2800);
        ++timesDrawn[m];
        // (P, P', Q) then (P', Q', Q) of the quad (m, m + 1, m + 16, m + 15).
        const std::vector<int> triangles(emitted.begin() + k, emitted.begin() + k + 6);
        EXPECT_EQ(triangles, (std::vector<int>{m, m + 1, m + 15, m + 1, m + 16, m + 15}));
    }
    for (int m = 0; m < 2800; ++m) {
        EXPECT_EQ(timesDrawn[m], 1) << "quad " << m;
    }
    EXPECT_EQ(*std::max_element(emitted.begin(), emitted.end()), 2815);
    // The quad after segment 13 of ring 0 starts on segment 14 and closes the
    // ring onto segment 0 of ring 1.
    EXPECT_EQ(emitted[14 * 6], 14);
    EXPECT_EQ(emitted[14 * 6 + 1], 15);
}

TEST(SpikeTube, DisplacementMovesOnlySpikeSegmentsOfOddRingsAndNeverAccumulates) {
    const std::vector<TubeVertex> rest = makeTubeVertices(200, 15, 350.0f, 200.0f, 2.0f, 20.0f);
    CrtRandom random;
    const std::array<int, spikeRingCount> starts = makeRingSpikeStarts(random);
    std::vector<TubeVertex> tube = rest;
    // A stale spike left on an even ring is put back.
    const int evenRing = 2;
    tube[evenRing * 15 + starts[evenRing]].x = 12345.0f;

    displaceSpikes(tube, rest, starts, 2.0f, 200, 15);
    displaceSpikes(tube, rest, starts, 1.5f, 200, 15);

    int moved = 0;
    for (int ring = 0; ring <= 200; ++ring) {
        for (int segment = 0; segment < 15; ++segment) {
            const TubeVertex& got = tube[ring * 15 + segment];
            const TubeVertex& was = rest[ring * 15 + segment];
            const bool spike = ring >= 1 && ring <= 199 && ring % 2 == 1 &&
                               segment >= starts[ring] && (segment - starts[ring]) % 4 == 0;
            const float factor = spike ? 1.5f : 1.0f;
            moved += spike ? 1 : 0;
            EXPECT_FLOAT_EQ(got.x, factor * was.x) << ring << "/" << segment;
            EXPECT_FLOAT_EQ(got.y, factor * was.y) << ring << "/" << segment;
            EXPECT_FLOAT_EQ(got.z, was.z) << ring << "/" << segment;
            EXPECT_FLOAT_EQ(got.s, was.s) << ring << "/" << segment;
            EXPECT_FLOAT_EQ(got.t, was.t) << ring << "/" << segment;
        }
    }
    // At most four spikes on each of the 100 odd rings, and some rings have some.
    EXPECT_GT(moved, 100);
    EXPECT_LE(moved, 400);
}

TEST(SpikeScene, TimeOffsetChangesTheFrameAfterEachRowStart) {
    const struct {
        SceneTime t;
        int offset;
    } cases[] = {
        {32001, 0},    {32331, 0},     {32332, 500},   {32542, 500},
        {32543, 1000}, {33447, 3000},  {33448, 1000},  {38532, 8000},
        {38533, 7000}, {38620, 7000},  {38621, 4000},  {41561, 10500},
        {41562, 9000}, {45198, 12500}, {45199, 14000}, {45999, 14000},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(spikeShotAt(c.t).timeOffset, c.offset) << "t = " << c.t;
    }
}

TEST(SpikeScene, CameraDepthAdvancesTwoUnitsPerMillisecondAndWraps) {
    EXPECT_EQ(wrapCameraDepth(32001), 1u);
    EXPECT_EQ(wrapCameraDepth(64000), 32000u);
    EXPECT_EQ(wrapCameraDepth(32000), 32000u);
    EXPECT_EQ(wrapCameraDepth(0), 0u);
    EXPECT_EQ(wrapCameraDepth(-2), 2u);
    const struct {
        SceneTime t;
        unsigned depth;
    } cases[] = {{32001, 2}, {32331, 662}, {32332, 1664}, {45999, 23998}};
    for (const auto& c : cases) {
        EXPECT_EQ(spikeShotAt(c.t).cameraDepth, c.depth) << "t = " << c.t;
    }
    // Far past the demo the doubled time must not overflow.
    EXPECT_LE(spikeCameraDepth(0xFFFFFFFFu), 32000u);
}

}  // namespace
