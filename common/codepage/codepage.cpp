// The portable part of the code-page conversions: UTF-8, the language-id
// mapping and the conversions composed of the per-system ANSI ones.
// This file is OS-independent.
#include "common/codepage/codepage.h"

#include <cstdint>

namespace kit::codepage {
namespace {

// Language ids of the systems whose ANSI code page is a Chinese one.
constexpr unsigned kLangChineseSimplified = 0x0804;
constexpr unsigned kLangChineseTaiwan = 0x0404;
constexpr unsigned kLangChineseHongKong = 0x0C04;
constexpr unsigned kLangChineseSingapore = 0x1004;

// The lead bytes of code pages 936 and 950.
constexpr unsigned char kFirstLeadByte = 0x81;
constexpr unsigned char kLastLeadByte = 0xFE;

bool InRange(unsigned char byte, unsigned char low, unsigned char high) {
  return byte >= low && byte <= high;
}

// Appends one scalar value as UTF-16.
void AppendUtf16(std::u16string& out, std::uint32_t code_point) {
  if (code_point < 0x10000) {
    out.push_back(static_cast<char16_t>(code_point));
    return;
  }
  code_point -= 0x10000;
  out.push_back(static_cast<char16_t>(0xD800 + (code_point >> 10)));
  out.push_back(static_cast<char16_t>(0xDC00 + (code_point & 0x3FF)));
}

void AppendUtf8(std::string& out, std::uint32_t code_point) {
  if (code_point < 0x80) {
    out.push_back(static_cast<char>(code_point));
  } else if (code_point < 0x800) {
    out.push_back(static_cast<char>(0xC0 | (code_point >> 6)));
    out.push_back(static_cast<char>(0x80 | (code_point & 0x3F)));
  } else if (code_point < 0x10000) {
    out.push_back(static_cast<char>(0xE0 | (code_point >> 12)));
    out.push_back(static_cast<char>(0x80 | ((code_point >> 6) & 0x3F)));
    out.push_back(static_cast<char>(0x80 | (code_point & 0x3F)));
  } else {
    out.push_back(static_cast<char>(0xF0 | (code_point >> 18)));
    out.push_back(static_cast<char>(0x80 | ((code_point >> 12) & 0x3F)));
    out.push_back(static_cast<char>(0x80 | ((code_point >> 6) & 0x3F)));
    out.push_back(static_cast<char>(0x80 | (code_point & 0x3F)));
  }
}

// Decodes UTF-8, calling `emit` with each scalar value, or with
// kReplacementCharacter for each maximal ill-formed subpart. Returns whether
// the whole input was well-formed.
template <typename Emit>
bool DecodeUtf8(std::string_view bytes, Emit emit) {
  bool valid = true;
  std::size_t i = 0;
  const std::size_t n = bytes.size();
  while (i < n) {
    const auto lead = static_cast<unsigned char>(bytes[i]);
    if (lead < 0x80) {
      emit(lead);
      ++i;
      continue;
    }
    std::size_t length = 0;
    unsigned char second_low = 0x80;
    unsigned char second_high = 0xBF;
    std::uint32_t code_point = 0;
    if (InRange(lead, 0xC2, 0xDF)) {
      length = 2;
      code_point = lead & 0x1F;
    } else if (InRange(lead, 0xE0, 0xEF)) {
      length = 3;
      code_point = lead & 0x0F;
      if (lead == 0xE0) second_low = 0xA0;   // no overlong forms
      if (lead == 0xED) second_high = 0x9F;  // no surrogates
    } else if (InRange(lead, 0xF0, 0xF4)) {
      length = 4;
      code_point = lead & 0x07;
      if (lead == 0xF0) second_low = 0x90;
      if (lead == 0xF4) second_high = 0x8F;  // nothing above U+10FFFF
    } else {
      emit(kReplacementCharacter);
      valid = false;
      ++i;
      continue;
    }
    std::size_t k = 1;
    for (; k < length; ++k) {
      if (i + k >= n) break;
      const auto next = static_cast<unsigned char>(bytes[i + k]);
      const unsigned char low = k == 1 ? second_low : 0x80;
      const unsigned char high = k == 1 ? second_high : 0xBF;
      if (!InRange(next, low, high)) break;
      code_point = (code_point << 6) | (next & 0x3F);
    }
    if (k < length) {
      emit(kReplacementCharacter);
      valid = false;
      i += k;
      continue;
    }
    emit(code_point);
    i += length;
  }
  return valid;
}

}  // namespace

CodePage CodePageForLanguage(unsigned language_id) {
  switch (language_id) {
    case kLangChineseSimplified:
      return CodePage::kSimplifiedChinese;
    case kLangChineseTaiwan:
    case kLangChineseHongKong:
    case kLangChineseSingapore:
      return CodePage::kTraditionalChinese;
    default:
      return CodePage::kWestern;
  }
}

bool IsLeadByte(unsigned char byte, CodePage code_page) {
  return code_page != CodePage::kWestern && InRange(byte, kFirstLeadByte, kLastLeadByte);
}

std::u16string Utf8ToUtf16(std::string_view bytes) {
  std::u16string out;
  out.reserve(bytes.size());
  DecodeUtf8(bytes, [&out](std::uint32_t code_point) { AppendUtf16(out, code_point); });
  return out;
}

bool IsValidUtf8(std::string_view bytes) {
  return DecodeUtf8(bytes, [](std::uint32_t) {});
}

std::string Utf16ToUtf8(std::u16string_view text) {
  std::string out;
  out.reserve(text.size());
  for (std::size_t i = 0; i < text.size(); ++i) {
    const char16_t unit = text[i];
    if (unit >= 0xD800 && unit <= 0xDBFF && i + 1 < text.size() && text[i + 1] >= 0xDC00 &&
        text[i + 1] <= 0xDFFF) {
      const std::uint32_t code_point =
          0x10000 + ((static_cast<std::uint32_t>(unit) - 0xD800) << 10) + (text[i + 1] - 0xDC00);
      AppendUtf8(out, code_point);
      ++i;
    } else if (unit >= 0xD800 && unit <= 0xDFFF) {
      AppendUtf8(out, kReplacementCharacter);
    } else {
      AppendUtf8(out, unit);
    }
  }
  return out;
}

std::string AnsiToUtf8(std::string_view bytes, CodePage code_page) {
  return Utf16ToUtf8(AnsiToUtf16(bytes, code_page));
}

std::string Utf8ToAnsi(std::string_view bytes, CodePage code_page) {
  return Utf16ToAnsi(Utf8ToUtf16(bytes), code_page);
}

}  // namespace kit::codepage
