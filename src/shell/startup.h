#pragma once

// Start-up: loading picture, music, every effect's build step and the overlay
// pictures, then the music starts. Returns false only when the demo cannot run.
bool startDemo();

// Every effect's build step, in the fixed order twist, tunnel, box, spheres,
// bitmap environment, spike: pictures, display lists and tables. Part of
// startDemo; the tests and benchmarks call it on its own.
void buildEffects();

// Closes the music at exit, after the window is gone.
void shutdownDemo();
