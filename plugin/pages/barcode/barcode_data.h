// The data checks of the barcode test prints: what the user typed, as the
// printer would get it, before any job is started.
//
// The text of a data edit is taken up to 399 characters and converted to the
// system's ANSI code page; lengths are counted in those bytes. A character
// the code page cannot hold becomes '?', as WideCharToMultiByte makes it.
//
// This file is OS-independent.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "common/codepage/codepage.h"
#include "print/commands/printer_commands.h"

namespace kit::plugin::barcode {

// Characters taken from a data edit.
inline constexpr std::size_t kMaxDataCharacters = 399;
// Bytes a QR test print takes.
inline constexpr std::size_t kMaxQrDataLength = 255;

// The code page GetACP names, for the conversion (on Linux an unknown one
// converts as western).
codepage::CodePage AnsiCodePage(std::uint32_t acp);

// The first 399 characters of `text`, converted to `code_page`.
std::string DataBytes(std::u16string_view text, codepage::CodePage code_page);

// The 1D data check, by the row of the printer's symbology code (Code93 and
// Code128 in rows 7 and 8): the length, the admitted characters and the
// type's extra rule. Returns the bytes to print, or nothing when the data is
// refused. Code128 data must begin with "{A", "{B" or "{C"; inside a "{C"
// segment (up to the next "{") the digits are packed in pairs, each pair one
// byte of value 0..99, and the packed bytes are what the printer gets.
std::optional<std::string> Check1DData(print::commands::BarcodeType type, std::string_view data);

// The QR check: 1 to 255 bytes of any value.
bool CheckQrData(std::string_view data);

}  // namespace kit::plugin::barcode
