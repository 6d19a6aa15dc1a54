#pragma once

#include <string>
#include <string_view>

// The directory of the running executable, ending in '/'. Every media file is
// found relative to it, never relative to the working directory.
const std::string& programDirectory();

// Reads /proc/self/exe once and remembers its directory. Returns false when
// the link cannot be read (the directory then stays "./").
bool locateProgramDirectory();

// Points the media lookup somewhere else (tests use a directory of their own).
void setProgramDirectory(std::string_view directory);

// The directory component of a path, up to and including the last '/' or '\'.
std::string directoryOf(std::string_view path);

// programDirectory() followed by name, with every '\' of name turned into '/':
// media names are written either way ("data/loading.jpg", "data\twist_1.jpg").
// The directory is taken as it is: on Linux '\' may be part of a directory name.
std::string dataPath(std::string_view name);
