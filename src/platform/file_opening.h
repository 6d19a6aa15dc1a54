#pragma once

#include <cstdio>
#include <filesystem>
#include <string>
#include <string_view>

// Paths are kept as UTF-8 throughout the demo. These turn them into what the
// standard library and the C runtime need on each platform, so that a folder
// named in any language works on Windows too (whose narrow-character calls
// would read the bytes in the local code page).

// The path of UTF-8 text, and the UTF-8 text of a path.
std::filesystem::path pathFromUtf8(std::string_view text);
std::string utf8FromPath(const std::filesystem::path& path);

// Opens the file at path (UTF-8) for writing bytes, creating or emptying it;
// null (with errno set) when it cannot.
std::FILE* openFileForWriting(const std::string& path);
