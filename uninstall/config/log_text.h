// Log lines from language texts. A text of the Message section takes one
// name: its first "%s" is replaced by it, "%%" becomes "%", and every other
// "%" is copied as it stands. Language files are edited by translators; a
// second "%s", a "%d" or a "%n" must not read or write an argument that was
// never passed.
// This file is OS-independent.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace kit::uninstall {

std::string FormatLogText(std::string_view text, std::string_view argument);

// IDS_ERR_DRVDEL's line: the text, then "    er=" and the error code as a
// signed decimal number.
std::string FormatErrorCodeLine(std::string_view text, std::uint32_t error);

}  // namespace kit::uninstall
