#pragma once

#include <string>
#include <string_view>

// The directory of the running executable, ending in '/'. Every media file is
// found relative to it, never relative to the working directory.
const std::string& programDirectory();

// Where the media files lie, ending in '/': data/ beside the executable (the
// build tree), or, when there is none, the installed media directory relative
// to it (../share/games/velmorra/ from games/ by default), so an installed demo
// finds its media under any prefix and from any working directory.
const std::string& mediaDirectory();

// Reads /proc/self/exe once and remembers its directory and media directory.
// Returns false when the link cannot be read (the directory then stays "./").
bool locateProgramDirectory();

// Points the media lookup somewhere else: directory, with the media in its
// data/ (tests use a directory of their own).
void setProgramDirectory(std::string_view directory);

// Takes the media from newMedia (a directory ending in the separator) instead
// of data/ beside the program.
void useMediaDirectory(std::string_view newMedia);

// The directory component of a path, up to and including the last '/'.
std::string directoryOf(std::string_view path);

// The file of a media name, with every '\' of name turned into '/': media
// names are written either way ("data/loading.jpg", "data\twist_1.jpg"). A
// name under data/ lies in mediaDirectory(), anything else in
// programDirectory().
// The directories are taken as they are: on Linux '\' may be part of a name.
std::string dataPath(std::string_view name);
