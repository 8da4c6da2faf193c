// Fuzz target for the profile reader and writer: any bytes as a file, read
// through the wide and the byte functions and edited.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "common/ini/profile.h"
#include "common/ini/profile_edit.h"

namespace {

using kit::codepage::CodePage;

constexpr CodePage kCodePages[] = {CodePage::kWestern, CodePage::kSimplifiedChinese,
                                   CodePage::kTraditionalChinese};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size < 2) return 0;
  const std::uint8_t control = data[0];
  const std::size_t capacity = data[1];
  const std::string_view bytes(reinterpret_cast<const char*>(data + 2), size - 2);
  const kit::ini::ProfileOptions options{kCodePages[control % 3], (control & 4) != 0};

  const kit::ini::Profile profile = kit::ini::Profile::Parse(bytes, options);
  // Names taken from the file itself, so that lookups hit as well as miss.
  const std::string_view probe = bytes.substr(0, bytes.size() < 12 ? bytes.size() : 12);
  const std::u16string wide_probe = kit::codepage::AnsiToUtf16(probe, options.ansi_code_page);
  const char16_t* sections[] = {u"s", u"Setup", u"", wide_probe.c_str()};
  for (const char16_t* section : sections) {
    const std::u16string text = profile.GetString(section, u"k", u"default  ", capacity);
    if (capacity > 0 && text.size() >= capacity) __builtin_trap();
    profile.GetInt(section, wide_probe, -1);
  }
  const std::string narrow = profile.GetStringA(probe, "k", probe, capacity);
  if (capacity > 0 && narrow.size() >= capacity) __builtin_trap();
  profile.GetIntA("s", probe, 7);

  const kit::ini::ProfileEdit edit =
      kit::ini::EditProfile(bytes, u"s", (control & 8) ? std::u16string_view(wide_probe) : u"k",
                            (control & 16) ? std::optional<std::u16string_view>() : u"value",
                            options);
  if (edit.changed && (control & 16) == 0) {
    // What was written must read back (unless the key name cannot be one).
    const kit::ini::Profile after = kit::ini::Profile::Parse(edit.bytes, options);
    if ((control & 8) == 0 && after.GetString(u"s", u"k", u"", 16) != u"value") __builtin_trap();
  }
  return 0;
}
