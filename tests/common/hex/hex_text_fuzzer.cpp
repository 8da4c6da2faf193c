// Feeds arbitrary text to the hex command conversion, as narrow bytes and as
// UTF-16 units, and checks the properties every result must have.
#include "common/hex/hex_text.h"

#include <cstdlib>
#include <string>

namespace {

template <typename CharT>
void Check(std::basic_string_view<CharT> text) {
  const auto bytes = kit::HexTextToBytes(text);
  // Every byte takes one or two of the characters that are not spaces.
  std::size_t non_space = 0;
  for (const CharT c : text) non_space += (c != CharT{' '});
  if (bytes.size() > non_space || bytes.size() * 2 < non_space) std::abort();

  const auto command = kit::HexTextToCommand(text);
  if (command.has_value() != (bytes.size() <= kit::kMaxCommandBytes)) std::abort();
  if (command) {
    if (command->length != bytes.size()) std::abort();
    for (std::size_t i = 0; i < kit::kMaxCommandBytes; ++i) {
      const std::uint8_t expected = i < bytes.size() ? bytes[i] : 0;
      if (command->bytes[i] != expected) std::abort();
    }
  }
  // The display form reads back to the same bytes.
  if (kit::HexTextToBytes(kit::BytesToHexText(bytes)) != bytes) std::abort();
  if (kit::BytesToHexText(bytes).size() != bytes.size() * kit::kHexCharsPerByte) std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  Check(std::string_view(reinterpret_cast<const char*>(data), size));
  std::u16string wide;
  for (std::size_t i = 0; i + 1 < size; i += 2) {
    wide.push_back(static_cast<char16_t>(data[i] | (data[i + 1] << 8)));
  }
  Check(std::u16string_view(wide));
  return 0;
}
