// This file is OS-independent.
#include "usbinstall/driver_warning.h"

namespace kit::usbinstall {

bool IsConfirmButtonText(std::string_view text) {
  if (text.size() < 2) return false;
  const auto is_confirm = [](char c) { return c == 'Y' || c == 'C'; };
  return is_confirm(text[1]) || is_confirm(text[text.size() - 2]);
}

}  // namespace kit::usbinstall
