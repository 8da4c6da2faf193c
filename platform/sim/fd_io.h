// Whole reads and writes on a file descriptor: the loops a short read or
// write and an interrupted call need, in one place.
#pragma once

#include <cstddef>
#include <string>

namespace kit::sim {

// Everything up to the end of the file or stream, appended to *text. False
// on a read error (errno says which).
bool ReadAll(int fd, std::string* text);

// All `size` bytes. False on a write error (errno says which).
bool WriteAll(int fd, const void* data, std::size_t size);

}  // namespace kit::sim
