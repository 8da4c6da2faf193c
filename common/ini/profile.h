// Reading private-profile (INI) files with the semantics of the Windows
// profile functions the kit relies on (GetPrivateProfileStringA/W,
// GetPrivateProfileIntA/W):
//  - section and key names are compared without regard to case, after
//    trimming spaces from both the file's names and the caller's;
//  - values are trimmed, and one pair of surrounding quotes (" or ') is
//    removed;
//  - an absent file, section or key, or a key line without '=', gives the
//    caller's default (with its trailing spaces removed, like a value);
//  - a capacity of N characters keeps at most N - 1 of them; 0 gives "";
//  - the first of duplicate sections, and the first of duplicate keys in it,
//    wins; keys above the first section header belong to no section;
//  - lines end at CR LF, LF or a lone CR; a line starting with ';' is a
//    comment (it never matches a real key name).
// The file's text may be ANSI, UTF-8 (with or without byte-order mark) or
// UTF-16 with byte-order mark; see profile_text.h.
// This file is OS-independent.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "common/ini/profile_lines.h"
#include "common/ini/profile_text.h"

namespace kit::ini {

// The buffer GetPrivateProfileInt reads a value into before converting it:
// digits beyond its 29th character are not seen.
inline constexpr std::size_t kIntValueCapacity = 30;

// The parsed contents of one profile file.
class Profile {
 public:
  // An empty profile: every lookup gives the default (a missing file).
  Profile() = default;

  // Parses the bytes of a file. Never fails: any bytes give a profile.
  static Profile Parse(std::string_view bytes, const ProfileOptions& options = {});

  // As GetPrivateProfileStringW.
  std::u16string GetString(std::u16string_view section, std::u16string_view key,
                           std::u16string_view default_value, std::size_t capacity) const;
  // As GetPrivateProfileIntW: the number the value starts with (optional
  // sign; decimal, or hexadecimal, octal or binary after "0x", "0o", "0b";
  // wrapping modulo 2^32; 0 when it starts with no digit); the default when
  // the key is absent or its value empty.
  std::uint32_t GetInt(std::u16string_view section, std::u16string_view key,
                       std::int32_t default_value) const;

  // As GetPrivateProfileStringA: names, default and result are bytes in the
  // ANSI code page; the capacity counts bytes, and a double-byte character
  // that does not fit whole is left out.
  std::string GetStringA(std::string_view section, std::string_view key,
                         std::string_view default_value, std::size_t capacity) const;
  // As GetPrivateProfileIntA.
  std::uint32_t GetIntA(std::string_view section, std::string_view key,
                        std::int32_t default_value) const;

  // The raw value of a key (trimmed, quotes kept), or nothing when the
  // section or key is absent or the key line has no '='.
  std::optional<std::u16string_view> FindValue(std::u16string_view section,
                                               std::u16string_view key) const;

  TextEncoding encoding() const { return encoding_; }
  CodePage code_page() const { return code_page_; }

 private:
  TextEncoding encoding_ = TextEncoding::kAnsi;
  CodePage code_page_ = CodePage::kWestern;
  std::u16string text_;
  std::vector<ProfileLine> lines_;
};

// The conversion GetPrivateProfileInt applies to a value it has read.
std::uint32_t ParseProfileInt(std::u16string_view value);

// Removes one pair of surrounding quotes and keeps at most capacity - 1
// characters, as the profile functions copy a value or default out.
std::u16string CopyProfileValue(std::u16string_view value, std::size_t capacity);

}  // namespace kit::ini
