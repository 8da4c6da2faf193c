// The control-font translation table, "VRTQ40CONTROL.dat": for each
// character 32..127 of the driver's "Control" font, the raw command the
// printing side sends instead of printing it. The file is a profile file in
// the 32-bit driver folder with one section; each key is the character code
// in upper-case hex ("41" for "A"), each value the command as hex text.
// Characters without a command have no key. This unit is the file's only
// reader and writer in the plug-in.
// This file is OS-independent.
#pragma once

#include <array>
#include <optional>
#include <string>
#include <string_view>

#include "common/hex/hex_text.h"
#include "common/ini/profile_file.h"
#include "platform/files.h"

namespace kit::plugin::font {

inline constexpr char16_t kControlFontFileName[] = u"VRTQ40CONTROL.dat";
// Where the table is saved before it replaces the file, in the same folder.
inline constexpr char16_t kControlFontTempName[] = u"VRTQ40CONTROL.tmp";
// The same folder on every system: the printing side reads the file there.
inline constexpr char16_t kControlFontFolder[] = u"\\system32\\spool\\drivers\\w32x86\\3\\";
inline constexpr char16_t kControlFontSection[] = u"Character Translation Table";
inline constexpr int kFirstControlCode = 32;
inline constexpr int kControlCodeCount = 96;

// One command text per character code 32..127, in code order.
using ControlFontTexts = std::array<std::u16string, kControlCodeCount>;

// The file's path below `windows_directory`.
std::u16string ControlFontPath(std::u16string_view windows_directory);
// The key of a character code: upper-case hex without leading zeros.
std::u16string ControlFontKey(int code);

// The value of every key (at most 399 characters each, empty when missing).
// A missing file or folder gives an empty table.
ControlFontTexts LoadControlFontTexts(const ini::FileSource& files, std::u16string_view path);

// The value of every key as it stands in the file, however long (empty when
// missing): what Save writes back for a row the user did not touch.
ControlFontTexts LoadControlFontValues(const ini::FileSource& files, std::u16string_view path);

// The file's bytes for `texts`, as the profile functions write a new file:
// the one section, then "key=value" for each non-empty text in code order.
std::string ControlFontFileBytes(const ControlFontTexts& texts);

// Saves the table: the whole file is written beside the old one and then
// replaces it in one rename, so the old file stays whole on any failure (no
// rights, a full disk, a file in use); the temporary file is removed then.
// An empty table removes the file. False when the old file stays.
bool SaveControlFontTable(Files& files, std::u16string_view path, const ControlFontTexts& texts);

}  // namespace kit::plugin::font
