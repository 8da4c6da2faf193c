// Fuzz target for profile edits: any bytes as a file, one key set or
// deleted. Every byte outside the one line the edit names stays as it was.
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "common/ini/profile.h"
#include "common/ini/profile_bytes.h"
#include "common/ini/profile_edit.h"

namespace {

using kit::codepage::CodePage;

constexpr CodePage kCodePages[] = {CodePage::kWestern, CodePage::kSimplifiedChinese,
                                   CodePage::kTraditionalChinese};
constexpr char16_t kSection[] = u"s";
constexpr char16_t kValue[] = u"v\u4E2D";

// Every byte of the old file outside one line (its line break included) is
// in the new file, in place: the new file is the old one with at most the
// bytes of that line replaced, or with bytes inserted next to it.
bool ChangeStaysInOneLine(std::string_view before, std::string_view after,
                          const kit::ini::ByteLines& lines) {
  if (lines.lines.empty()) {
    return after.substr(0, lines.text_begin) == before.substr(0, lines.text_begin) &&
           after.ends_with(before.substr(lines.text_end));
  }
  for (const kit::ini::ByteLine& line : lines.lines) {
    const std::string_view head = before.substr(0, line.begin);
    const std::string_view tail = before.substr(line.next);
    if (after.size() >= head.size() + tail.size() && after.starts_with(head) &&
        after.ends_with(tail)) {
      return true;
    }
  }
  return false;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size < 2) return 0;
  const std::uint8_t control = data[0];
  const std::size_t key_size = data[1] % 8;
  if (size < 2 + key_size) return 0;
  const std::string_view key_bytes(reinterpret_cast<const char*>(data + 2), key_size);
  const std::string_view bytes(reinterpret_cast<const char*>(data + 2 + key_size),
                               size - 2 - key_size);
  const kit::ini::ProfileOptions options{kCodePages[control % 3], (control & 4) != 0};
  const std::u16string key = kit::codepage::AnsiToUtf16(key_bytes, options.ansi_code_page);
  const bool remove = (control & 8) != 0;

  const kit::ini::ProfileEdit edit = kit::ini::EditProfile(
      bytes, kSection, key, remove ? std::optional<std::u16string_view>() : kValue, options);
  if (edit.failed) __builtin_trap();  // the byte and text splits must agree
  if (!edit.changed) {
    if (edit.bytes != bytes) __builtin_trap();
    return 0;
  }
  const kit::ini::DecodedText decoded = kit::ini::DecodeProfileText(bytes, options);
  const kit::ini::ByteLines lines =
      kit::ini::SplitByteLines(bytes, decoded.encoding, options.ansi_code_page);
  if (!ChangeStaysInOneLine(bytes, edit.bytes, lines)) __builtin_trap();
  return 0;
}
