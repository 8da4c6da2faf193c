// ANSI code-page conversion for the Linux build, through the C library's
// iconv (glibc carries CP1252, CP936 and BIG5). The Windows build converts
// with the system's own functions (win32/text_win32.cpp).
#include <iconv.h>

#include <algorithm>
#include <cerrno>
#include <string>

#include "ui/text.h"

namespace kit::ui {
namespace {

const char* IconvName(unsigned code_page) {
  switch (code_page) {
    case kCodePageSimplifiedChinese: return "CP936";
    case kCodePageTraditionalChinese: return "BIG5";
    default: return "CP1252";
  }
}

// Converts `in` between two iconv encodings; an unconvertible unit becomes
// `replacement` (in the output encoding) and conversion goes on after it.
std::string Convert(const char* to, const char* from, std::string_view in, std::string_view replacement,
                    std::size_t in_unit) {
  iconv_t cd = iconv_open(to, from);
  if (cd == reinterpret_cast<iconv_t>(-1)) return {};
  std::string out;
  char buffer[256];
  auto* src = const_cast<char*>(in.data());
  std::size_t src_left = in.size();
  while (src_left > 0) {
    char* dst = buffer;
    std::size_t dst_left = sizeof buffer;
    const std::size_t rc = iconv(cd, &src, &src_left, &dst, &dst_left);
    out.append(buffer, dst - buffer);
    if (rc == static_cast<std::size_t>(-1) && errno != E2BIG) {
      out.append(replacement);
      const std::size_t skip = std::min(src_left, in_unit);
      src += skip;
      src_left -= skip;
      iconv(cd, nullptr, nullptr, nullptr, nullptr);
    }
  }
  iconv_close(cd);
  return out;
}

}  // namespace

std::u16string FromAnsi(std::string_view bytes) {
  const std::string raw = Convert("UTF-16LE", IconvName(AnsiCodePage()), bytes, std::string("?\0", 2), 1);
  std::u16string out(raw.size() / 2, u'\0');
  for (std::size_t i = 0; i < out.size(); ++i)
    out[i] = static_cast<char16_t>(static_cast<unsigned char>(raw[2 * i]) |
                                   (static_cast<unsigned char>(raw[2 * i + 1]) << 8));
  return out;
}

std::string ToAnsi(std::u16string_view text) {
  std::string raw(text.size() * 2, '\0');
  for (std::size_t i = 0; i < text.size(); ++i) {
    raw[2 * i] = static_cast<char>(text[i] & 0xFF);
    raw[2 * i + 1] = static_cast<char>(text[i] >> 8);
  }
  return Convert(IconvName(AnsiCodePage()), "UTF-16LE", raw, "?", 2);
}

}  // namespace kit::ui
