#include "platform/frame_memory.h"

void keepFrameMemoryInHeap() {
    // The Linux build pins glibc's malloc thresholds because Mesa's llvmpipe
    // frees its per-frame bins back to the kernel under glibc's adaptive
    // trimming. On Windows the GL driver is the vendor's (or Wine's Mesa,
    // whose allocations go through the host's glibc), and the C runtime's heap
    // has no such thresholds to set: there is nothing to tune here.
}
