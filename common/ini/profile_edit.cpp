// This file is OS-independent.
#include "common/ini/profile_edit.h"

#include <vector>

#include "common/ini/profile_lines.h"

namespace kit::ini {
namespace {

constexpr std::u16string_view kNewLine = u"\r\n";
constexpr std::size_t kNone = static_cast<std::size_t>(-1);

struct Located {
  std::size_t section_line = kNone;  // header of the first matching section
  std::size_t key_line = kNone;      // first matching key in it
  std::size_t last_line = kNone;     // its last line that is not blank
};

Located Locate(const std::vector<ProfileLine>& lines, std::u16string_view text,
               std::u16string_view section, std::u16string_view key) {
  Located found;
  for (std::size_t i = 0; i < lines.size(); ++i) {
    if (lines[i].kind == ProfileLine::Kind::kSection &&
        EqualsIgnoringCase(lines[i].Name(text), section)) {
      found.section_line = i;
      break;
    }
  }
  if (found.section_line == kNone) return found;
  found.last_line = found.section_line;
  for (std::size_t i = found.section_line + 1; i < lines.size(); ++i) {
    const ProfileLine& line = lines[i];
    if (line.kind == ProfileLine::Kind::kSection) break;
    if (line.kind == ProfileLine::Kind::kBlank) continue;
    found.last_line = i;
    if (found.key_line == kNone && EqualsIgnoringCase(line.Name(text), key)) found.key_line = i;
  }
  return found;
}

// The text with a line break after `line` when it has none (the file's end).
std::u16string EnsureBreakAfter(std::u16string_view text, const ProfileLine& line) {
  std::u16string out(text.substr(0, line.next));
  if (line.next == line.end) out += kNewLine;
  return out;
}

}  // namespace

ProfileEdit EditProfile(std::string_view bytes, std::u16string_view section,
                        std::u16string_view key, std::optional<std::u16string_view> value,
                        const ProfileOptions& options) {
  ProfileEdit edit;
  edit.bytes.assign(bytes);
  const DecodedText decoded = DecodeProfileText(bytes, options);
  const std::u16string_view text = decoded.text;
  const std::vector<ProfileLine> lines = ScanProfileLines(text);
  section = TrimProfileSpaces(CutAtNul(section));
  key = TrimProfileSpaces(CutAtNul(key));
  const Located found = Locate(lines, text, section, key);

  std::u16string result;
  if (!value) {
    if (found.key_line == kNone) return edit;
    const ProfileLine& line = lines[found.key_line];
    result.assign(text.substr(0, line.begin));
    result.append(text.substr(line.next));
  } else {
    std::u16string_view new_value = CutAtNul(*value);
    // Windows drops the leading spaces of a value it writes.
    while (!new_value.empty() && IsProfileSpace(new_value.front())) new_value.remove_prefix(1);
    if (found.key_line != kNone) {
      const ProfileLine& line = lines[found.key_line];
      if (line.has_value && line.Value(text) == new_value) return edit;
      result.assign(text.substr(0, line.begin));
      result.append(line.Name(text));
      result += u'=';
      result.append(new_value);
      result.append(text.substr(line.end));
    } else {
      std::u16string entry(key);
      entry += u'=';
      entry.append(new_value);
      entry += kNewLine;
      if (found.section_line != kNone) {
        const ProfileLine& last = lines[found.last_line];
        result = EnsureBreakAfter(text, last);
        result += entry;
        result.append(text.substr(last.next));
      } else {
        result = lines.empty() ? std::u16string() : EnsureBreakAfter(text, lines.back());
        result += u'[';
        result.append(section);
        result += u']';
        result += kNewLine;
        result += entry;
      }
    }
  }
  edit.bytes = EncodeProfileText(result, decoded.encoding, options.ansi_code_page);
  edit.changed = true;
  return edit;
}

ProfileEdit EditProfileA(std::string_view bytes, std::string_view section, std::string_view key,
                         std::optional<std::string_view> value, const ProfileOptions& options) {
  const auto cp = options.ansi_code_page;
  std::optional<std::u16string> wide_value;
  if (value) wide_value = codepage::AnsiToUtf16(*value, cp);
  std::optional<std::u16string_view> value_view;
  if (wide_value) value_view = *wide_value;
  return EditProfile(bytes, codepage::AnsiToUtf16(section, cp), codepage::AnsiToUtf16(key, cp),
                     value_view, options);
}

}  // namespace kit::ini
