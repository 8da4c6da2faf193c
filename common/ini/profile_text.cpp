// This file is OS-independent.
#include "common/ini/profile_text.h"

namespace kit::ini {
namespace {

constexpr unsigned char kUtf8Bom[] = {0xEF, 0xBB, 0xBF};
constexpr unsigned char kUtf16LeBom[] = {0xFF, 0xFE};
constexpr unsigned char kUtf16BeBom[] = {0xFE, 0xFF};
constexpr char16_t kControlZ = 0x1A;

template <std::size_t N>
bool StartsWith(std::string_view bytes, const unsigned char (&prefix)[N]) {
  if (bytes.size() < N) return false;
  for (std::size_t i = 0; i < N; ++i) {
    if (static_cast<unsigned char>(bytes[i]) != prefix[i]) return false;
  }
  return true;
}

bool IsAscii(std::string_view bytes) {
  for (const char c : bytes) {
    if (static_cast<unsigned char>(c) >= 0x80) return false;
  }
  return true;
}

std::u16string DecodeUtf16(std::string_view bytes, bool big_endian) {
  std::u16string text(bytes.size() / 2, u'\0');
  for (std::size_t i = 0; i < text.size(); ++i) {
    const auto first = static_cast<unsigned char>(bytes[2 * i]);
    const auto second = static_cast<unsigned char>(bytes[2 * i + 1]);
    text[i] = big_endian ? static_cast<char16_t>((first << 8) | second)
                         : static_cast<char16_t>((second << 8) | first);
  }
  return text;
}

void AppendUtf16(std::string& out, std::u16string_view text, bool big_endian) {
  for (const char16_t unit : text) {
    const char high = static_cast<char>(unit >> 8);
    const char low = static_cast<char>(unit & 0xFF);
    out.push_back(big_endian ? high : low);
    out.push_back(big_endian ? low : high);
  }
}

char16_t FoldCase(char16_t c) {
  if (c >= u'A' && c <= u'Z') return c + 0x20;
  if (c < 0xC0) return c;
  if (c <= 0xDE && c != 0xD7) return c + 0x20;            // Latin-1
  if (c >= 0x391 && c <= 0x3A9 && c != 0x3A2) return c + 0x20;  // Greek
  if (c >= 0x410 && c <= 0x42F) return c + 0x20;          // Cyrillic
  if (c >= 0x400 && c <= 0x40F) return c + 0x50;
  if (c >= 0xFF21 && c <= 0xFF3A) return c + 0x20;        // full-width Latin
  return c;
}

}  // namespace

DecodedText DecodeProfileText(std::string_view bytes, const ProfileOptions& options) {
  DecodedText decoded;
  if (StartsWith(bytes, kUtf16LeBom)) {
    decoded.encoding = TextEncoding::kUtf16Le;
    decoded.text = DecodeUtf16(bytes.substr(2), false);
  } else if (StartsWith(bytes, kUtf16BeBom)) {
    decoded.encoding = TextEncoding::kUtf16Be;
    decoded.text = DecodeUtf16(bytes.substr(2), true);
  } else if (StartsWith(bytes, kUtf8Bom)) {
    decoded.encoding = TextEncoding::kUtf8WithBom;
    decoded.text = codepage::Utf8ToUtf16(bytes.substr(3));
  } else if (options.utf8_without_bom && !IsAscii(bytes) && codepage::IsValidUtf8(bytes)) {
    decoded.encoding = TextEncoding::kUtf8;
    decoded.text = codepage::Utf8ToUtf16(bytes);
  } else {
    decoded.encoding = TextEncoding::kAnsi;
    decoded.text = codepage::AnsiToUtf16(bytes, options.ansi_code_page);
  }
  return decoded;
}

std::string EncodeProfileTextBody(std::u16string_view text, TextEncoding encoding,
                                  CodePage code_page) {
  std::string out;
  switch (encoding) {
    case TextEncoding::kAnsi:
      return codepage::Utf16ToAnsi(text, code_page);
    case TextEncoding::kUtf8:
    case TextEncoding::kUtf8WithBom:
      return codepage::Utf16ToUtf8(text);
    case TextEncoding::kUtf16Le:
    case TextEncoding::kUtf16Be:
      AppendUtf16(out, text, encoding == TextEncoding::kUtf16Be);
      return out;
  }
  return out;
}

std::string EncodeProfileText(std::u16string_view text, TextEncoding encoding, CodePage code_page) {
  std::string out;
  switch (encoding) {
    case TextEncoding::kUtf8WithBom:
      out.assign(reinterpret_cast<const char*>(kUtf8Bom), sizeof kUtf8Bom);
      break;
    case TextEncoding::kUtf16Le:
      out.assign(reinterpret_cast<const char*>(kUtf16LeBom), sizeof kUtf16LeBom);
      break;
    case TextEncoding::kUtf16Be:
      out.assign(reinterpret_cast<const char*>(kUtf16BeBom), sizeof kUtf16BeBom);
      break;
    case TextEncoding::kAnsi:
    case TextEncoding::kUtf8:
      break;
  }
  return out + EncodeProfileTextBody(text, encoding, code_page);
}

bool IsProfileSpace(char16_t c) {
  return (c >= 0x09 && c <= 0x0D) || c == u' ' || c == kControlZ;
}

std::u16string_view TrimProfileSpaces(std::u16string_view text) {
  while (!text.empty() && IsProfileSpace(text.front())) text.remove_prefix(1);
  while (!text.empty() && IsProfileSpace(text.back())) text.remove_suffix(1);
  return text;
}

bool EqualsIgnoringCase(std::u16string_view a, std::u16string_view b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i) {
    if (FoldCase(a[i]) != FoldCase(b[i])) return false;
  }
  return true;
}

}  // namespace kit::ini
