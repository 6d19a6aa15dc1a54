#pragma once

#include <cstdint>
#include <string>
#include <vector>

// Test pictures are made here, never stored in the repository.

// Encodes packed rows (top row first; RGB when channels is 3, grey when it is
// 1, CMYK when it is 4) as a baseline JPEG without chroma subsampling, so solid colours come back
// within a step or two. progressive gives a multi-scan file instead. Returns
// an empty vector when the encoder refuses the input.
std::vector<uint8_t> encodeJpeg(int width, int height, int channels,
                                const std::vector<uint8_t>& pixels, int quality = 95,
                                bool progressive = false);

// A width x height picture of one colour.
std::vector<uint8_t> solidColourJpeg(int width, int height, uint8_t red, uint8_t green,
                                     uint8_t blue);

// A picture whose every pixel differs from its neighbours: red grows to the
// right, green grows downwards, blue is a checker of 8-pixel squares.
std::vector<uint8_t> patternJpeg(int width, int height, int quality = 90);

// Writes bytes to path, replacing the file. Returns false on any failure.
bool writeFile(const std::string& path, const std::vector<uint8_t>& bytes);

// The whole contents of path; empty when it cannot be read.
std::vector<uint8_t> readFile(const std::string& path);
