#pragma once

// How long the audio path holds the sound after the mixer delivered it, in
// milliseconds, as the platform reports it, for a device buffer of
// bufferFrames at rate frames per second. The mixer works a whole buffer
// ahead of the one the device plays, so the buffer is the least of it.
double outputLatencyMs(int bufferFrames, int rate);
