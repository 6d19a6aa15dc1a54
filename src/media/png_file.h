#pragma once

#include <cstdint>
#include <string>
#include <vector>

// Writes an 8-bit RGB picture as PNG. The rows are given bottom row first, as
// GL reads them back, and are stored top row first. On failure returns false
// and says why in error.
bool writePng(const std::string& path, int width, int height, const std::vector<uint8_t>& rgb,
              std::string& error);
