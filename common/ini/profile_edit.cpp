// This file is OS-independent.
#include "common/ini/profile_edit.h"

#include <vector>

#include "common/ini/profile_bytes.h"
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

}  // namespace

ProfileEdit EditProfile(std::string_view bytes, std::u16string_view section,
                        std::u16string_view key, std::optional<std::u16string_view> value,
                        const ProfileOptions& options) {
  ProfileEdit edit;
  edit.bytes.assign(bytes);
  const DecodedText decoded = DecodeProfileText(bytes, options);
  const std::u16string_view text = decoded.text;
  const std::vector<ProfileLine> lines = ScanProfileLines(text);
  const ByteLines byte_lines = SplitByteLines(bytes, decoded.encoding, options.ansi_code_page);
  if (byte_lines.lines.size() != lines.size()) {
    // The two splits agree by construction; never guess where a line is.
    edit.failed = true;
    return edit;
  }
  section = TrimProfileSpaces(CutAtNul(section));
  key = TrimProfileSpaces(CutAtNul(key));
  const Located found = Locate(lines, text, section, key);
  const auto encode = [&](std::u16string_view piece) {
    return EncodeProfileTextBody(piece, decoded.encoding, options.ansi_code_page);
  };

  // Only the bytes of [from, to) change, to `replacement`; every other byte
  // of the file is kept as it is, decodable or not.
  std::size_t from = 0;
  std::size_t to = 0;
  std::string replacement;
  if (!value) {
    if (found.key_line == kNone) return edit;
    from = byte_lines.lines[found.key_line].begin;
    to = byte_lines.lines[found.key_line].next;
  } else {
    std::u16string_view new_value = CutAtNul(*value);
    // Windows drops the leading spaces of a value it writes.
    while (!new_value.empty() && IsProfileSpace(new_value.front())) new_value.remove_prefix(1);
    std::u16string entry(found.key_line != kNone ? lines[found.key_line].Name(text) : key);
    entry += u'=';
    entry.append(new_value);
    if (found.key_line != kNone) {
      const ProfileLine& line = lines[found.key_line];
      if (line.has_value && line.Value(text) == new_value) return edit;
      // The line itself is rewritten as key=value; its line break stays.
      from = byte_lines.lines[found.key_line].begin;
      to = byte_lines.lines[found.key_line].end;
      replacement = encode(entry);
    } else {
      // After the section's last line that is not blank, or at the end of
      // the text as a new section; a last line without break gets one.
      const bool in_section = found.section_line != kNone;
      std::u16string added;
      std::size_t at = byte_lines.text_end;
      if (in_section || !byte_lines.lines.empty()) {
        const ByteLine& after = byte_lines.lines[in_section ? found.last_line : lines.size() - 1];
        at = in_section ? after.next : byte_lines.text_end;
        if (after.next == after.end) added += kNewLine;
      }
      if (!in_section) {
        added += u'[';
        added.append(section);
        added += u']';
        added += kNewLine;
      }
      added += entry;
      added += kNewLine;
      from = to = at;
      replacement = encode(added);
    }
  }
  edit.bytes.replace(from, to - from, replacement);
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
