#pragma once

// Start-up: loading picture, music, every effect's build step and the overlay
// pictures, then the music starts. A failure to open the music ends the
// process with the sound library's message; a picture that fails to load is
// reported and the demo goes on.
void startDemo();

// Closes the music at exit, after the window is gone.
void shutdownDemo();
