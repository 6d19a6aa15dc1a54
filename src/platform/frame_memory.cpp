#include "platform/frame_memory.h"

#include <malloc.h>

void keepFrameMemoryInHeap() {
    // llvmpipe bins every frame into blocks it mallocs and frees again when
    // the frame is done: about a thousand a frame for an effect drawn in 240
    // scissored strips, since each draw after a state change copies the whole
    // fragment state into the bins. With glibc's adaptive thresholds the freed
    // top of the heap can be handed back to the kernel after every frame, and
    // the next frame faults the same megabytes in again (about 3000 page faults
    // a frame measured for the twist room). Fixed thresholds well above one
    // frame's needs keep those pages.
    mallopt(M_MMAP_THRESHOLD, 16 << 20);
    mallopt(M_TRIM_THRESHOLD, 64 << 20);
}
