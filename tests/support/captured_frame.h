#pragma once

#include <cstdint>
#include <string>
#include <vector>

// A frame the demo wrote as PNG during an offline capture.
struct CapturedFrame {
    int width = 0;
    int height = 0;
    std::vector<uint8_t> rgb;  // top row first

    // The pixel at x from the left and y from the bottom, as GL counts rows.
    std::vector<uint8_t> at(int x, int yFromBottom) const;
};

// Reads an RGB PNG. False when the file cannot be read as PNG.
bool readCapturedFrame(const std::string& path, CapturedFrame& frame);
