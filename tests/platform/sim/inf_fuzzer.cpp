// INF text of any shape parses without faults, and every line it yields
// can be read field by field.
#include <cstddef>
#include <cstdint>

#include "platform/sim/inf_text.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const kit::Bytes bytes(data, data + size);
  const auto inf = kit::sim::ParseInf(bytes);
  std::size_t total = 0;
  for (const auto& section : inf.sections) {
    for (const auto& line : section.lines) {
      total += line.key.size();
      for (const auto& f : line.fields) total += f.size();
    }
  }
  (void)inf.VersionValue(u"Class");
  return total == static_cast<std::size_t>(-1);
}
