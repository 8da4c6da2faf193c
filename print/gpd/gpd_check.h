// The kit's own check of a GPD file, run on every data file the kit ships.
// Rules, each named in a finding:
//   braces, entry   the grammar: balanced braces, "*Keyword: value" entries
//   quote           a command string's quoted texts are closed
//   hex             a "<...>" substring holds hexadecimal byte pairs only
//   param           a "%" argument has a known type, an optional [min,max]
//                   and a {expression} of the language's standard variables
//   parts           at most 14 quoted texts and arguments make one command
//   first           *GPDSpecVersion is the file's first entry
//   required        the root entries, features and commands every file needs
//   default         a feature's *DefaultOption names one of its options
//   order           an *Order names a known section, unique within it
//   printable       a paper's printable area lies inside the page
//   minsize         the user-defined size's *MinSize is at most its *MaxSize,
//                   in width and in length
//   maxsize         *MaxSize takes the widest and the longest named paper,
//                   and *MaxPrintableWidth fits in its width (Microsoft's
//                   PaperSize attributes: *MaxSize the largest paper,
//                   *MaxPrintableWidth the printable width)
//   line            no named paper's printable width is wider than the
//                   user-defined size's *MaxPrintableWidth, the model's line
//   fonts           *DeviceFonts lists each resource id once, *DefaultFont is
//                   one of them, their text can be placed (*XMoveUnit,
//                   CmdXMoveAbsolute) and their metrics are the driver's own
//
// This file is OS-independent.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "print/gpd/gpd_file.h"

namespace kit::print::gpd {

// Every finding of the file, in line order; none for a sound file.
std::vector<Finding> CheckGpd(std::string_view text);

// "VRTQ40G.GPD:12: [braces] an opening brace never closed"
std::string Describe(std::string_view file, const Finding& finding);

// The findings of one command string (the value after a command's colon).
std::vector<Finding> CheckCommandString(std::string_view command, int line);

}  // namespace kit::print::gpd
