// This file is OS-independent.
#include "common/ini/profile_bytes.h"

namespace kit::ini {
namespace {

constexpr char16_t kCr = u'\r';
constexpr char16_t kLf = u'\n';

// How many bytes the file's encoding reads as one unit at `pos`, and the
// unit when it is a CR or LF (else 0).
struct Step {
  std::size_t size;
  char16_t line_break;
};

Step StepAt(std::string_view bytes, std::size_t pos, std::size_t end, TextEncoding encoding,
            CodePage code_page) {
  const auto byte = static_cast<unsigned char>(bytes[pos]);
  if (encoding == TextEncoding::kUtf16Le || encoding == TextEncoding::kUtf16Be) {
    const auto first = static_cast<unsigned char>(bytes[pos]);
    const auto second = static_cast<unsigned char>(bytes[pos + 1]);
    const unsigned unit = encoding == TextEncoding::kUtf16Le ? (second << 8) | first
                                                              : (first << 8) | second;
    return {2, unit == kCr || unit == kLf ? static_cast<char16_t>(unit) : u'\0'};
  }
  if (encoding == TextEncoding::kAnsi && IsLeadByte(byte, code_page) && pos + 1 < end &&
      bytes[pos + 1] != '\0') {
    return {2, u'\0'};
  }
  // UTF-8 never uses the bytes of CR and LF inside a sequence.
  return {1, byte == kCr || byte == kLf ? static_cast<char16_t>(byte) : u'\0'};
}

}  // namespace

ByteLines SplitByteLines(std::string_view bytes, TextEncoding encoding, CodePage code_page) {
  ByteLines split;
  split.text_end = bytes.size();
  switch (encoding) {
    case TextEncoding::kUtf16Le:
    case TextEncoding::kUtf16Be:
      split.text_begin = 2;
      split.text_end = split.text_begin + (bytes.size() - split.text_begin) / 2 * 2;
      break;
    case TextEncoding::kUtf8WithBom:
      split.text_begin = 3;
      break;
    case TextEncoding::kAnsi:
    case TextEncoding::kUtf8:
      break;
  }
  std::size_t pos = split.text_begin;
  const std::size_t end = split.text_end;
  while (pos < end) {
    ByteLine line;
    line.begin = pos;
    Step step{0, u'\0'};
    while (pos < end) {
      step = StepAt(bytes, pos, end, encoding, code_page);
      if (step.line_break) break;
      pos += step.size;
    }
    line.end = pos;
    if (pos < end) {
      pos += step.size;
      if (step.line_break == kCr && pos < end) {
        const Step after = StepAt(bytes, pos, end, encoding, code_page);
        if (after.line_break == kLf) pos += after.size;
      }
    }
    line.next = pos;
    split.lines.push_back(line);
  }
  return split;
}

}  // namespace kit::ini
