// Reader of Microsoft cabinet files (uncompressed and MSZIP folders), for
// SetupIterateCabinet on the virtual machine.
#pragma once

#include <string>
#include <vector>

#include "platform/types.h"

namespace kit::sim {

struct CabinetFile {
  WString name;
  Bytes data;
};

// Reads every file of a single cabinet. False with a message for a file
// that is not a cabinet, is cut short, spans cabinets or uses an
// unsupported compression (LZX, Quantum).
bool ReadCabinet(const Bytes& cabinet, std::vector<CabinetFile>* files, std::string* error);

}  // namespace kit::sim
