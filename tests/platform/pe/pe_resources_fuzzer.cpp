// Any bytes as an executable image: the resource walker and the version
// parser must neither crash nor read outside them.
#include <cstddef>
#include <cstdint>

#include "platform/pe/pe_resources.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  kit::FileVersionInfo info;
  kit::ReadPeVersionInfo(data, size, &info);
  kit::Bytes block;
  kit::FindPeResource(data, size, 3, &block);
  return 0;
}
