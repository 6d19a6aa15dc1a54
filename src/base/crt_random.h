#pragma once

#include <cstdint>

// The linear congruential generator of the classic C runtime, written out so
// that the pattern it drives is the same on every platform (glibc's rand() is
// a different generator). Each call advances the state and returns bits 16 to
// 30 of the new state, 0 to 32767.
class CrtRandom {
public:
    int next() {
        state = state * 214013u + 2531011u;
        return static_cast<int>((state >> 16) & 0x7FFFu);
    }

private:
    uint32_t state = 1;
};
