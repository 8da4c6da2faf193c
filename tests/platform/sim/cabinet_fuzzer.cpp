// Cabinets of any shape are read or refused, never read out of bounds.
#include <cstddef>
#include <cstdint>

#include "platform/sim/cabinet.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  std::vector<kit::sim::CabinetFile> files;
  std::string error;
  const bool ok = kit::sim::ReadCabinet(kit::Bytes(data, data + size), &files, &error);
  if (!ok && error.empty()) __builtin_trap();  // a refusal always says why
  return 0;
}
