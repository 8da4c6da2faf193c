// Numbers typed into the pages' boxes, read as a dialog reads an integer
// from a control's text: leading spaces skipped, an optional minus sign,
// the digits up to the first other character. No digits read as 0; a value
// beyond the 32-bit range stops at its end.
// This file is OS-independent.
#pragma once

#include <string_view>

namespace kit::plugin::sheets {

int ReadDialogInteger(std::u16string_view text);

}  // namespace kit::plugin::sheets
