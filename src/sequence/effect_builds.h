#pragma once

// Every effect's build step, in the fixed order twist, tunnel, box, spheres,
// bitmap environment, spike: pictures, display lists and tables. Start-up runs
// it once; the tests and benchmarks call it on its own.
void buildEffects();
