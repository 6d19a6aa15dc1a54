#pragma once

// The whole program: options, window and GL context, start-up, the main loop
// (or an offline capture) and shutdown. Returns the process exit code.
int demoMain(int argc, char** argv);
