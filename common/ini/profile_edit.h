// Changing private-profile (INI) files as WritePrivateProfileStringA/W do,
// by editing the file's bytes in place: only the bytes of the line that
// changes are replaced (a new line or section is inserted as bytes in the
// file's encoding), so every other line, comment, blank line and line break
// keeps its bytes, even bytes that do not decode; the file's encoding (ANSI,
// UTF-8 with or without byte-order mark, UTF-16 with byte-order mark) stays.
//  - Setting a key replaces the line of the first matching key in the first
//    matching section with "key=value" (the file's spelling of the key, the
//    value without leading spaces); a key the section lacks is added after
//    the section's last line that is not blank; a missing section is added
//    at the end of the file as "[section]" CR LF "key=value" CR LF.
//  - Deleting a key removes the line of its first occurrence.
// This file is OS-independent.
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "common/ini/profile_text.h"

namespace kit::ini {

// The outcome of an edit: the file's new bytes, and whether they differ in
// meaning from the old ones (nothing to write when unchanged).
struct ProfileEdit {
  std::string bytes;
  bool changed = false;
  // The file's lines could not be found in its bytes; nothing is written.
  bool failed = false;
};

// Sets `key` in `section` to `value`, or deletes the key when `value` is
// empty (std::nullopt). `bytes` are the file's current bytes (empty for a
// file that does not exist yet: a new file is ANSI, as Windows creates it).
ProfileEdit EditProfile(std::string_view bytes, std::u16string_view section,
                        std::u16string_view key, std::optional<std::u16string_view> value,
                        const ProfileOptions& options = {});

// The same with names and value as bytes in the ANSI code page.
ProfileEdit EditProfileA(std::string_view bytes, std::string_view section, std::string_view key,
                         std::optional<std::string_view> value, const ProfileOptions& options = {});

}  // namespace kit::ini
