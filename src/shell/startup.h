#pragma once

// Start-up: loading picture, music, every effect's build step and the overlay
// pictures, then the music starts. Returns false only when the demo cannot run.
bool startDemo();

// Closes the music at exit, after the window is gone.
void shutdownDemo();
