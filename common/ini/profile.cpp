// This file is OS-independent.
#include "common/ini/profile.h"

#include "common/strings/capacity.h"

namespace kit::ini {
namespace {

constexpr std::size_t kNotFound = static_cast<std::size_t>(-1);

std::u16string_view QueryName(std::u16string_view name) {
  return TrimProfileSpaces(CutAtNul(name));
}

// Encodes text in the code page keeping at most `limit` bytes, without
// splitting a double-byte character.
std::string EncodeCapped(std::u16string_view text, std::size_t limit, CodePage code_page) {
  std::string whole = codepage::Utf16ToAnsi(text, code_page);
  if (whole.size() <= limit) return whole;
  std::string out;
  std::size_t i = 0;
  while (i < text.size()) {
    std::size_t units = 1;
    if (text[i] >= 0xD800 && text[i] <= 0xDBFF && i + 1 < text.size() && text[i + 1] >= 0xDC00 &&
        text[i + 1] <= 0xDFFF) {
      units = 2;
    }
    const std::string piece = codepage::Utf16ToAnsi(text.substr(i, units), code_page);
    if (out.size() + piece.size() > limit) break;
    out += piece;
    i += units;
  }
  return out;
}

}  // namespace

Profile Profile::Parse(std::string_view bytes, const ProfileOptions& options) {
  Profile profile;
  DecodedText decoded = DecodeProfileText(bytes, options);
  profile.encoding_ = decoded.encoding;
  profile.code_page_ = options.ansi_code_page;
  profile.text_ = std::move(decoded.text);
  profile.lines_ = ScanProfileLines(profile.text_);
  return profile;
}

std::optional<std::u16string_view> Profile::FindValue(std::u16string_view section,
                                                      std::u16string_view key) const {
  const std::u16string_view wanted_section = QueryName(section);
  const std::u16string_view wanted_key = QueryName(key);
  const std::u16string_view text = text_;
  // Only the first section of that name is searched.
  std::size_t start = kNotFound;
  for (std::size_t i = 0; i < lines_.size(); ++i) {
    if (lines_[i].kind == ProfileLine::Kind::kSection &&
        EqualsIgnoringCase(lines_[i].Name(text), wanted_section)) {
      start = i + 1;
      break;
    }
  }
  if (start == kNotFound) return std::nullopt;
  for (std::size_t i = start; i < lines_.size(); ++i) {
    const ProfileLine& line = lines_[i];
    if (line.kind == ProfileLine::Kind::kSection) break;
    if (line.kind != ProfileLine::Kind::kEntry) continue;
    if (!EqualsIgnoringCase(line.Name(text), wanted_key)) continue;
    if (!line.has_value) return std::nullopt;
    return line.Value(text);
  }
  return std::nullopt;
}

std::u16string CopyProfileValue(std::u16string_view value, std::size_t capacity) {
  value = CutAtNul(value);
  if (value.size() >= 2 && (value.front() == u'"' || value.front() == u'\'') &&
      value.back() == value.front()) {
    value = value.substr(1, value.size() - 2);
  }
  return CopyCapped(value, capacity);
}

std::u16string Profile::GetString(std::u16string_view section, std::u16string_view key,
                                  std::u16string_view default_value, std::size_t capacity) const {
  if (capacity == 0) return {};
  if (const auto value = FindValue(section, key)) return CopyProfileValue(*value, capacity);
  // Windows removes trailing spaces from the default.
  default_value = CutAtNul(default_value);
  while (!default_value.empty() && default_value.back() == u' ') default_value.remove_suffix(1);
  return CopyProfileValue(default_value, capacity);
}

std::uint32_t ParseProfileInt(std::u16string_view value) {
  std::size_t i = 0;
  while (i < value.size() && value[i] <= u' ') ++i;
  bool negative = false;
  if (i < value.size() && (value[i] == u'+' || value[i] == u'-')) {
    negative = value[i] == u'-';
    ++i;
  }
  // Windows converts with the radix taken from a "0x", "0o" or "0b" prefix.
  std::uint32_t radix = 10;
  if (i + 1 < value.size() && value[i] == u'0') {
    switch (value[i + 1]) {
      case u'x': radix = 16; break;
      case u'o': radix = 8; break;
      case u'b': radix = 2; break;
      default: break;
    }
    if (radix != 10) i += 2;
  }
  std::uint32_t total = 0;
  for (; i < value.size(); ++i) {
    const char16_t c = value[i];
    std::uint32_t digit = radix;
    if (c >= u'0' && c <= u'9') digit = c - u'0';
    if (c >= u'a' && c <= u'z') digit = c - u'a' + 10;
    if (c >= u'A' && c <= u'Z') digit = c - u'A' + 10;
    if (digit >= radix) break;
    total = total * radix + digit;
  }
  return negative ? 0u - total : total;
}

std::uint32_t Profile::GetInt(std::u16string_view section, std::u16string_view key,
                              std::int32_t default_value) const {
  const std::u16string value = GetString(section, key, u"", kIntValueCapacity);
  if (value.empty()) return static_cast<std::uint32_t>(default_value);
  return ParseProfileInt(value);
}

std::string Profile::GetStringA(std::string_view section, std::string_view key,
                                std::string_view default_value, std::size_t capacity) const {
  if (capacity == 0) return {};
  const std::u16string wide =
      GetString(codepage::AnsiToUtf16(section, code_page_), codepage::AnsiToUtf16(key, code_page_),
                codepage::AnsiToUtf16(default_value, code_page_), capacity);
  return EncodeCapped(wide, capacity - 1, code_page_);
}

std::uint32_t Profile::GetIntA(std::string_view section, std::string_view key,
                               std::int32_t default_value) const {
  return GetInt(codepage::AnsiToUtf16(section, code_page_), codepage::AnsiToUtf16(key, code_page_),
                default_value);
}

}  // namespace kit::ini
