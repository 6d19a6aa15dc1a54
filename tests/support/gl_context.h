#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

// A headless window with the demo's GL context, made once per test program
// through the same code the demo runs (SDL's offscreen driver over EGL), with
// the demo's initial GL state. Tests that draw derive their fixture from it.
class HeadlessGlTest : public ::testing::Test {
protected:
    static void SetUpTestSuite();
    void SetUp() override;

    // Puts back the state every frame starts from (after a test changed it).
    static void resetGlState();

    // RGB of one pixel of the back buffer, x from the left, y from the bottom.
    static std::vector<uint8_t> pixelAt(int x, int y);

    static constexpr int width = 640;
    static constexpr int height = 480;
};
