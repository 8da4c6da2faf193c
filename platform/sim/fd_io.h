// Whole reads and writes on a file descriptor: the loops a short read or
// write and an interrupted call need, in one place.
#pragma once

#include <cstddef>
#include <string>

namespace kit::sim {

// Everything up to the end of the file or stream, appended to *text. False
// on a read error (errno says which).
bool ReadAll(int fd, std::string* text);

// The whole file at `path` (a host path), read in large blocks: the
// machine's drive holds module images of several megabytes, which a
// character-by-character stream read makes slow. False when it cannot be
// opened or read.
bool ReadHostFile(const std::string& path, std::string* bytes);

// All `size` bytes. False on a write error (errno says which).
bool WriteAll(int fd, const void* data, std::size_t size);

}  // namespace kit::sim
