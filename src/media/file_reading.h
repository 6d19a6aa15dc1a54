#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>

// Reads the file at path whole into a new buffer and stores its length in
// size. Returns null (and size 0) when the file cannot be opened, is not a
// regular file (a FIFO, device or directory is refused without waiting on it),
// is empty, is longer than maxBytes, or cannot be read to its end: a short
// read is a failure, never a half-filled buffer. The length is checked before
// anything is allocated, so a huge or sparse file costs no memory.
std::unique_ptr<uint8_t[]> readWholeFile(const std::string& path, size_t& size, size_t maxBytes);

// Whether the file at path can be opened for reading at all; a directory or
// a FIFO counts. Opened without waiting, so that a FIFO cannot hold anything up.
bool canOpenFile(const std::string& path);
