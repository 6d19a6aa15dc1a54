#pragma once

// Chooses SDL's drivers for a run that needs neither a screen nor a sound
// card (offline capture): the sound goes to SDL's dummy driver, and where
// the platform can draw without a screen, so does the picture. Call before SDL
// opens its video and audio.
void useHeadlessDrivers();
