#pragma once

#include <cstddef>
#include <cstdint>
#include <limits>
#include <memory>

// No texture can be larger than this on any driver the demo runs on; a
// picture whose header claims more is refused before anything is allocated.
constexpr int maxPictureSide = 8192;

// Decodes a JPEG held in memory into packed rows (no gap between rows), top
// row first: red, green, blue for a three-component picture, one grey byte per
// pixel for a one-component picture. The buffer holds width * height *
// channels bytes.
//
// width, height and channels are written as soon as the header has been read,
// so they describe the picture even when the full decode then fails; bytes that
// are not a JPEG leave them untouched. Returns null on any failure: not a JPEG,
// truncated or corrupt data, a component count other than 1 or 3 (CMYK, YCCK;
// channels then holds that count), a side above maxSide, or more than maxBytes
// of decoded pixels (judged from the header, before anything is allocated).
std::unique_ptr<uint8_t[]> decodeJpeg(int& width, int& height, int& channels, const uint8_t* bytes,
                                      size_t count, int maxSide = maxPictureSide,
                                      size_t maxBytes = std::numeric_limits<size_t>::max());
