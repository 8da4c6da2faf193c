// ANSI code-page conversion for the Windows build, with the system's own
// conversion functions (the same ones the ANSI "A" functions use).
#include <windows.h>

#include <string>

#include "ui/text.h"

namespace kit::ui {

std::u16string FromAnsi(std::string_view bytes) {
  if (bytes.empty()) return {};
  const int size = static_cast<int>(bytes.size());
  const int n = MultiByteToWideChar(AnsiCodePage(), 0, bytes.data(), size, nullptr, 0);
  if (n <= 0) return {};
  std::wstring wide(static_cast<std::size_t>(n), L'\0');
  MultiByteToWideChar(AnsiCodePage(), 0, bytes.data(), size, wide.data(), n);
  return std::u16string(wide.begin(), wide.end());
}

std::string ToAnsi(std::u16string_view text) {
  if (text.empty()) return {};
  const std::wstring wide(text.begin(), text.end());
  const int size = static_cast<int>(wide.size());
  const int n = WideCharToMultiByte(AnsiCodePage(), 0, wide.data(), size, nullptr, 0, nullptr, nullptr);
  if (n <= 0) return {};
  std::string out(static_cast<std::size_t>(n), '\0');
  WideCharToMultiByte(AnsiCodePage(), 0, wide.data(), size, out.data(), n, nullptr, nullptr);
  return out;
}

}  // namespace kit::ui
