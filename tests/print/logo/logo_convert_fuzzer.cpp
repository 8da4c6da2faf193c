// Converts arbitrary small files with settings taken from the input's first
// three bytes; the product converter must never read or write out of bounds
// and must agree bit for bit with the plain per-pixel rules.
#include <cstdint>
#include <cstdlib>
#include <span>

#include "print/logo/logo_convert.h"
#include "tests/print/logo/reference_converter.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size < 3 || size > 64 * 1024) return 0;
  const int halftone = data[0] % 5;  // 4 is out of range on purpose
  const int contrast = static_cast<int>(data[1] % 211) - 105;
  const int brightness = static_cast<int>(data[2] % 211) - 105;
  const std::span<const std::uint8_t> file(data + 3, size - 3);
  const auto result = kit::logo::ConvertLogoBytes(file, {halftone, contrast, brightness});
  const auto reference = kit::logo::testing::ReferenceConvert(file, halftone, contrast, brightness);
  if ((result.status == kit::logo::LogoStatus::kOk) != reference.has_value()) std::abort();
  if (reference && result.file != *reference) std::abort();
  return 0;
}
