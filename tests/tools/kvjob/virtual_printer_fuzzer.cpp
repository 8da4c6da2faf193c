// Mutated jobs through the virtual printer and the PNG writer: no job may
// crash it, read past its end or hang it. Logos a job stores stay for the
// next input, as on a printer that keeps running.
#include <cstddef>
#include <cstdint>
#include <span>

#include "tools/kvjob/virtual_printer.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  static kit::tools::VirtualPrinter printer;
  const kit::tools::Rendering r = printer.Render(std::span<const std::uint8_t>(data, size));
  (void)kit::tools::EncodePng(r.picture);
  (void)kit::tools::DescribeRendering(r).dump();
  return 0;
}
