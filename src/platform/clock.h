#pragma once

#include <cstdint>

// The high-resolution counter the frame clock is read from.
int64_t performanceCounter();
int64_t performanceFrequency();
