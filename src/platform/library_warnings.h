#pragma once

#include <functional>

// Runs call while whatever a library prints on stderr is caught, then shows
// the first `shown` lines of it and one line saying how many more there were.
// For libraries that print a warning per fault with no way to quiet them: a
// damaged file must not flood the terminal with millions of lines.
void capLibraryWarnings(const std::function<void()>& call, int shown);
