#pragma once

#include <string>

// "SIGTERM", "SIGSEGV", or "signal 40" for one without a short name. The
// numbers are Linux's, which the Windows build also reports its ends under.
std::string signalName(int number);
