// Plain values shared by every platform interface.
//
// Text is UTF-16 (`std::u16string`); paths are Windows paths such as
// "C:\Windows\system32". The ANSI programs of the kit convert at their own
// boundary with the system's ANSI code page. This file is OS-independent.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/win32_errors.h"

namespace kit {

using WString = std::u16string;
using WStringView = std::u16string_view;
using Bytes = std::vector<std::uint8_t>;

// A Win32 GUID, printed and parsed in registry form
// "{36FC9E60-C465-11CF-8056-444553540000}".
struct Guid {
  std::uint32_t data1 = 0;
  std::uint16_t data2 = 0;
  std::uint16_t data3 = 0;
  std::array<std::uint8_t, 8> data4{};

  friend bool operator==(const Guid&, const Guid&) = default;
  bool IsNull() const { return *this == Guid{}; }
  WString ToString() const;                           // upper-case hex, with braces
  static std::optional<Guid> Parse(WStringView text);  // braces optional, any case
};

// Device classes the kit names.
inline constexpr Guid kGuidDevClassUsb{0x36FC9E60, 0xC465, 0x11CF, {0x80, 0x56, 0x44, 0x45, 0x53, 0x54, 0x00, 0x00}};
inline constexpr Guid kGuidDevClassPorts{0x4D36E978, 0xE325, 0x11CE, {0xBF, 0xC1, 0x08, 0x00, 0x2B, 0xE1, 0x03, 0x18}};
inline constexpr Guid kGuidDevClassPrinter{0x4D36E979, 0xE325, 0x11CE, {0xBF, 0xC1, 0x08, 0x00, 0x2B, 0xE1, 0x03, 0x18}};
inline constexpr Guid kGuidDevClassImage{0x6BDD1FC6, 0x810F, 0x11D0, {0xBE, 0xC7, 0x08, 0x00, 0x2B, 0xE2, 0x09, 0x2F}};

// Local time as SYSTEMTIME holds it.
struct SystemTime {
  std::uint16_t year = 0, month = 0, day_of_week = 0, day = 0;
  std::uint16_t hour = 0, minute = 0, second = 0, milliseconds = 0;
};

// Conversions between UTF-16 and UTF-8, for logs, file names on the Linux
// side and messages. Unpaired surrogates become U+FFFD.
std::string ToUtf8(WStringView text);
WString FromUtf8(std::string_view text);

// Case-insensitive comparison of Windows names (ASCII and Latin-1 letters
// fold; other characters compare as they are), as the file system, the
// registry and the spooler compare names.
bool EqualsNoCase(WStringView a, WStringView b);
WString ToUpperAscii(WStringView text);

}  // namespace kit
