#pragma once

// How this platform writes paths, defined beside its program-directory
// lookup: the separator the demo puts into a path, and every character it
// takes as one (Linux: '/' only; Windows: '\\' and '/').
extern const char pathSeparator;
extern const char* const pathSeparators;
