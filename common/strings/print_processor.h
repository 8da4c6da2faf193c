// The system's own print processor, which ships with every Windows: the kit
// never registers, copies or removes it. Print processor names are not case
// sensitive to the spooler, so neither is the test.
// This file is OS-independent.
#pragma once

#include <algorithm>
#include <string_view>

namespace kit {

inline constexpr std::string_view kSystemPrintProcessor = "WinPrint";

inline bool IsSystemPrintProcessor(std::string_view name) {
  auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; };
  return std::equal(name.begin(), name.end(), kSystemPrintProcessor.begin(), kSystemPrintProcessor.end(),
                    [&](char a, char b) { return lower(a) == lower(b); });
}

}  // namespace kit
