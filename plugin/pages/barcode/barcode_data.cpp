// This file is OS-independent.
#include "plugin/pages/barcode/barcode_data.h"

#include <array>

namespace kit::plugin::barcode {
namespace {

// A set of admitted bytes: up to seven ranges, both ends included.
struct ByteRange {
  unsigned char first, last;
};
struct CheckRow {
  std::size_t min_length, max_length;
  ByteRange ranges[7];  // unused entries are {1, 0}
};
constexpr ByteRange kNone{1, 0};
constexpr ByteRange kDigits{'0', '9'};

// Rows by the printer's symbology code 0..6, then Code93 and Code128.
constexpr std::array<CheckRow, 9> kCheckRows = {{
    {11, 12, {kDigits, kNone, kNone, kNone, kNone, kNone, kNone}},  // 0 UPC-A
    {11, 12, {kDigits, kNone, kNone, kNone, kNone, kNone, kNone}},  // 1 UPC-E
    {12, 13, {kDigits, kNone, kNone, kNone, kNone, kNone, kNone}},  // 2 EAN13
    {7, 8, {kDigits, kNone, kNone, kNone, kNone, kNone, kNone}},    // 3 EAN8
    // 4 Code39: space, "$", "%", "*", "+", "-".."9", "A".."Z"
    {1, 255, {{' ', ' '}, {'$', '%'}, {'*', '+'}, {'-', '9'}, {'A', 'Z'}, kNone, kNone}},
    {1, 255, {kDigits, kNone, kNone, kNone, kNone, kNone, kNone}},  // 5 ITF
    // 6 Codabar: "$", "*", "+", "-"..":", "A".."E", "N", "T"
    {1, 255, {{'$', '$'}, {'*', '+'}, {'-', ':'}, {'A', 'E'}, {'N', 'N'}, {'T', 'T'}, kNone}},
    {1, 255, {{0x00, 0x7F}, kNone, kNone, kNone, kNone, kNone, kNone}},  // 7 Code93
    {2, 255, {{0x00, 0x7F}, kNone, kNone, kNone, kNone, kNone, kNone}},  // 8 Code128
}};
constexpr std::size_t kCode93Row = 7;
constexpr std::size_t kCode128Row = 8;

constexpr char kCodeSetLead = '{';

std::size_t RowOf(print::commands::BarcodeType type) {
  if (type == print::commands::BarcodeType::kCode93) return kCode93Row;
  if (type == print::commands::BarcodeType::kCode128) return kCode128Row;
  return print::commands::SymbologyCode(type);
}

bool Admitted(const CheckRow& row, unsigned char c) {
  for (const ByteRange& range : row.ranges)
    if (c >= range.first && c <= range.last) return true;
  return false;
}

bool IsDigit(char c) { return c >= '0' && c <= '9'; }
bool IsCodabarStart(char c) { return c >= 'A' && c <= 'D'; }
bool IsCodabarStop(char c) { return (c >= 'A' && c <= 'E') || c == 'N' || c == 'T' || c == '*'; }

// Code set C packing; nothing when a "{C" segment holds a non-digit or an
// odd number of digits.
std::optional<std::string> PackCode128(std::string_view data) {
  if (data.size() < 2 || data[0] != kCodeSetLead || (data[1] != 'A' && data[1] != 'B' && data[1] != 'C'))
    return std::nullopt;
  std::string packed;
  std::size_t i = 0;
  while (i < data.size()) {
    const std::size_t next = data.find(kCodeSetLead, i + 1);
    const std::string_view segment = data.substr(i, next == std::string_view::npos ? std::string_view::npos : next - i);
    if (segment.size() >= 2 && segment[0] == kCodeSetLead && segment[1] == 'C') {
      const std::string_view digits = segment.substr(2);
      if (digits.size() % 2 != 0) return std::nullopt;
      packed.append(segment.substr(0, 2));
      for (std::size_t d = 0; d < digits.size(); d += 2) {
        if (!IsDigit(digits[d]) || !IsDigit(digits[d + 1])) return std::nullopt;
        packed.push_back(static_cast<char>((digits[d] - '0') * 10 + (digits[d + 1] - '0')));
      }
    } else {
      packed.append(segment);
    }
    i += segment.size();
  }
  return packed;
}

}  // namespace

codepage::CodePage AnsiCodePage(std::uint32_t acp) { return static_cast<codepage::CodePage>(acp); }

std::string DataBytes(std::u16string_view text, codepage::CodePage code_page) {
  return codepage::Utf16ToAnsi(text.substr(0, kMaxDataCharacters), code_page);
}

std::optional<std::string> Check1DData(print::commands::BarcodeType type, std::string_view data) {
  const std::size_t row_index = RowOf(type);
  const CheckRow& row = kCheckRows[row_index];
  if (data.size() < row.min_length || data.size() > row.max_length) return std::nullopt;
  for (char c : data)
    if (!Admitted(row, static_cast<unsigned char>(c))) return std::nullopt;
  switch (type) {
    case print::commands::BarcodeType::kUpcE:
      if (data.front() != '0') return std::nullopt;
      break;
    case print::commands::BarcodeType::kCodabar:
      if (!IsCodabarStart(data.front()) || !IsCodabarStop(data.back())) return std::nullopt;
      break;
    case print::commands::BarcodeType::kCode128:
      return PackCode128(data);
    default:
      break;
  }
  return std::string(data);
}

bool CheckQrData(std::string_view data) { return !data.empty() && data.size() <= kMaxQrDataLength; }

}  // namespace kit::plugin::barcode
