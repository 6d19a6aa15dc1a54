#pragma once

// Keeps memory that the GL driver frees at the end of a frame inside the
// process, so that the next frame reuses it instead of faulting fresh pages in.
// Process-wide; call once before the first frame.
void keepFrameMemoryInHeap();
