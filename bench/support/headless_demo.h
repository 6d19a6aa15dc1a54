#pragma once

#include <string>

#include "base/render_config.h"

// The demo as the benchmarks run it: a headless window of the given size with
// the demo's GL context and initial state, media read from mediaDirectory
// (which holds data/). Returns false when no GL context can be made.
bool openHeadlessDemo(const RenderConfig& size, const std::string& mediaDirectory);

// Every effect's build step and the overlay catalogue, as start-up runs them.
void buildHeadlessDemo();
