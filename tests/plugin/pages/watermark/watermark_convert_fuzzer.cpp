// Any bytes as a watermark source: the conversion either refuses them or
// makes a 24-bit picture that reads back whole, never reading past them.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <span>

#include "plugin/pages/watermark/watermark_picture.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace kit::plugin::watermark;
  const Converted c = ConvertSource(std::span<const std::uint8_t>(data, size));
  if (c.error != PictureError::kNone) return 0;
  const auto picture = ReadPicture(c.file);
  if (!picture || picture->pixels.size() != static_cast<std::size_t>(picture->width) * picture->height) std::abort();
  return 0;
}
