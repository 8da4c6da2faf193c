// ANSI code pages through the Windows conversion functions (Windows build).
#include <windows.h>

#include <climits>

#include "common/codepage/codepage.h"

namespace kit::codepage {
namespace {

static_assert(sizeof(wchar_t) == sizeof(char16_t), "UTF-16 text is handed over as wchar_t");

// Windows' conversions take int lengths; longer inputs are converted in
// pieces so that a huge file never overflows a length.
constexpr std::size_t kChunk = 1u << 24;

}  // namespace

std::u16string AnsiToUtf16(std::string_view bytes, CodePage code_page) {
  std::u16string result;
  const auto cp = static_cast<UINT>(code_page);
  while (!bytes.empty()) {
    std::size_t take = bytes.size() < kChunk ? bytes.size() : kChunk;
    // Never split a double-byte character between two pieces.
    if (take < bytes.size()) {
      std::size_t cut = 0;
      while (cut < take) cut += IsDBCSLeadByteEx(cp, static_cast<BYTE>(bytes[cut])) ? 2 : 1;
      take = cut > take ? take - 1 : cut;
    }
    const int in_len = static_cast<int>(take);
    const int needed = MultiByteToWideChar(cp, 0, bytes.data(), in_len, nullptr, 0);
    if (needed > 0) {
      const std::size_t start = result.size();
      result.resize(start + static_cast<std::size_t>(needed));
      MultiByteToWideChar(cp, 0, bytes.data(), in_len, reinterpret_cast<wchar_t*>(&result[start]),
                          needed);
    }
    bytes.remove_prefix(take);
  }
  return result;
}

std::string Utf16ToAnsi(std::u16string_view text, CodePage code_page) {
  std::string result;
  const auto cp = static_cast<UINT>(code_page);
  const char default_char[2] = {kDefaultAnsiCharacter, 0};
  while (!text.empty()) {
    std::size_t take = text.size() < kChunk ? text.size() : kChunk;
    if (take < text.size() && text[take - 1] >= 0xD800 && text[take - 1] <= 0xDBFF) --take;
    const int in_len = static_cast<int>(take);
    const auto* in = reinterpret_cast<const wchar_t*>(text.data());
    const int needed = WideCharToMultiByte(cp, 0, in, in_len, nullptr, 0, default_char, nullptr);
    if (needed > 0) {
      const std::size_t start = result.size();
      result.resize(start + static_cast<std::size_t>(needed));
      WideCharToMultiByte(cp, 0, in, in_len, &result[start], needed, default_char, nullptr);
    }
    text.remove_prefix(take);
  }
  return result;
}

}  // namespace kit::codepage
