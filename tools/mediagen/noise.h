#pragma once

#include <cstdint>

namespace soundtrack {

// A deterministic xorshift noise source in -1 .. 1: the same seed gives the
// same sound on every machine, so the generator's output is byte-stable.
struct Noise {
    uint32_t state;
    float next() {
        state ^= state << 13;
        state ^= state >> 17;
        state ^= state << 5;
        return static_cast<float>(state) / 2147483648.0f - 1.0f;
    }
};

}  // namespace soundtrack
