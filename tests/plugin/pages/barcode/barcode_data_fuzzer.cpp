// Checks arbitrary data for every 1D type and QR. Accepted data must hold
// only admitted bytes within the type's length, and a Code128 print must
// unpack to exactly what was typed.
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "plugin/pages/barcode/barcode_data.h"

namespace {

using kit::print::commands::BarcodeType;

// Code set C bytes back to their digit pairs.
std::string Unpack128(std::string_view packed) {
  std::string text;
  bool in_c = false;
  for (std::size_t i = 0; i < packed.size(); ++i) {
    const char c = packed[i];
    if (c == '{') {
      // Each "{" ends a segment; only "{C" starts a packed one.
      in_c = i + 1 < packed.size() && packed[i + 1] == 'C';
      text.push_back(c);
      if (in_c) text.push_back(packed[++i]);
      continue;
    }
    if (in_c) {
      const auto v = static_cast<unsigned char>(c);
      if (v > 99) std::abort();
      text.push_back(static_cast<char>('0' + v / 10));
      text.push_back(static_cast<char>('0' + v % 10));
    } else {
      text.push_back(c);
    }
  }
  return text;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size < 1 || size > 1024) return 0;
  const std::string_view text(reinterpret_cast<const char*>(data + 1), size - 1);
  const auto type = kit::print::commands::BarcodeTypeAt(data[0] % kit::print::commands::kBarcodeTypeCount);
  const auto sent = kit::plugin::barcode::Check1DData(*type, text);
  if (sent) {
    if (text.size() > 255 || sent->size() > text.size() || sent->empty()) std::abort();
    if (*type == BarcodeType::kCode128) {
      if (Unpack128(*sent) != text) std::abort();
    } else if (*sent != text) {
      std::abort();
    }
  }
  if (kit::plugin::barcode::CheckQrData(text) != (!text.empty() && text.size() <= 255)) std::abort();
  return 0;
}
