// ANSI code pages on Linux, converting exactly as Windows does.
//
// Windows converts these code pages through fixed tables, one character at a
// time: each UTF-16 code unit becomes one or two bytes (a surrogate pair
// becomes two default characters), and each byte, or lead byte with the byte
// after it, becomes one code unit. The Linux build fills the same tables once
// per code page from glibc's iconv, one character at a time, and applies the
// recorded differences of Windows' tables (codepage_windows_tables.cpp: its
// best-fit mappings, its user-defined areas and the characters the two map
// apart).
#include <iconv.h>

#include <array>
#include <cstdint>
#include <optional>
#include <vector>

#include "common/codepage/codepage.h"
#include "common/codepage/codepage_windows_tables.h"

namespace kit::codepage {
namespace {

constexpr const char* kUtf16Name = "UTF-16LE";
constexpr std::size_t kCodeUnits = 0x10000;
constexpr unsigned kAsciiEnd = 0x80;
// Code pages 936 and 950 have lead bytes 0x81 to 0xFE (see IsLeadByte).
constexpr unsigned kFirstLeadByte = 0x81;
constexpr std::size_t kLeadBytes = 0xFE - kFirstLeadByte + 1;
// What Windows decodes a byte sequence its table does not map to.
constexpr char16_t kDefaultUnit = static_cast<char16_t>(kDefaultAnsiCharacter);
constexpr std::uint16_t kDefaultCode = static_cast<unsigned char>(kDefaultAnsiCharacter);

const char* IconvName(CodePage code_page) {
  switch (code_page) {
    case CodePage::kSimplifiedChinese:
      return "CP936";
    case CodePage::kTraditionalChinese:
      return "CP950";
    case CodePage::kWestern:
      break;
  }
  return "CP1252";
}

class Converter {
 public:
  Converter(const char* to, const char* from) : handle_(iconv_open(to, from)) {}
  ~Converter() {
    if (ok()) iconv_close(handle_);
  }
  Converter(const Converter&) = delete;
  Converter& operator=(const Converter&) = delete;

  bool ok() const { return handle_ != reinterpret_cast<iconv_t>(-1); }

  // The conversion of the whole input when it converts to at most
  // `max_out` bytes, else nothing.
  std::optional<std::vector<unsigned char>> Whole(const unsigned char* data, std::size_t size,
                                                  std::size_t max_out) {
    if (!ok()) return std::nullopt;
    iconv(handle_, nullptr, nullptr, nullptr, nullptr);
    unsigned char input[2] = {};
    for (std::size_t i = 0; i < size; ++i) input[i] = data[i];
    unsigned char output[8] = {};
    char* in = reinterpret_cast<char*>(input);
    char* out = reinterpret_cast<char*>(output);
    std::size_t in_left = size;
    std::size_t out_left = sizeof output;
    if (iconv(handle_, &in, &in_left, &out, &out_left) == static_cast<std::size_t>(-1) ||
        in_left != 0) {
      return std::nullopt;
    }
    const std::size_t written = sizeof output - out_left;
    if (written == 0 || written > max_out) return std::nullopt;
    return std::vector<unsigned char>(output, output + written);
  }

 private:
  iconv_t handle_;
};

// One code page's conversion, as Windows' tables hold it.
struct Tables {
  CodePage code_page = CodePage::kWestern;
  std::vector<std::uint16_t> encode;           // code unit -> code (< 0x100: one byte)
  std::array<char16_t, 256> single{};          // byte that is no lead byte -> code unit
  std::vector<char16_t> pairs;                 // lead and trail byte -> code unit

  bool IsLeadByte(unsigned char byte) const { return codepage::IsLeadByte(byte, code_page); }
  char16_t& Pair(unsigned lead, unsigned trail) {
    return pairs[(lead - kFirstLeadByte) * 256 + trail];
  }
  char16_t Pair(unsigned lead, unsigned trail) const {
    return pairs[(lead - kFirstLeadByte) * 256 + trail];
  }
};

char16_t DecodeWithIconv(Converter& converter, const unsigned char* data, std::size_t size) {
  const auto out = converter.Whole(data, size, 2);
  if (!out || out->size() != 2) return kDefaultUnit;
  return static_cast<char16_t>((*out)[0] | ((*out)[1] << 8));
}

Tables BuildTables(CodePage code_page) {
  Tables tables;
  tables.code_page = code_page;
  Converter to_code_page(IconvName(code_page), kUtf16Name);
  Converter from_code_page(kUtf16Name, IconvName(code_page));

  // ASCII is the same in all three, and stays so should iconv lack them.
  tables.encode.assign(kCodeUnits, kDefaultCode);
  for (unsigned ascii = 0; ascii < kAsciiEnd; ++ascii) {
    tables.encode[ascii] = static_cast<std::uint16_t>(ascii);
    tables.single[ascii] = static_cast<char16_t>(ascii);
  }
  for (std::size_t unit = 0; unit < kCodeUnits; ++unit) {
    const unsigned char le[2] = {static_cast<unsigned char>(unit & 0xFF),
                                 static_cast<unsigned char>(unit >> 8)};
    const auto out = to_code_page.Whole(le, 2, 2);
    if (!out) continue;  // not in iconv's table: the default, or Windows' entry below
    tables.encode[unit] =
        out->size() == 1 ? (*out)[0] : static_cast<std::uint16_t>(((*out)[0] << 8) | (*out)[1]);
  }
  for (unsigned byte = kAsciiEnd; byte < 256; ++byte) {
    const unsigned char b = static_cast<unsigned char>(byte);
    tables.single[byte] = tables.IsLeadByte(b) ? kDefaultUnit : DecodeWithIconv(from_code_page, &b, 1);
  }
  if (code_page != CodePage::kWestern) {
    tables.pairs.assign(kLeadBytes * 256, kDefaultUnit);
    for (unsigned lead = kFirstLeadByte; lead < kFirstLeadByte + kLeadBytes; ++lead) {
      for (unsigned trail = 0; trail < 256; ++trail) {
        const unsigned char pair[2] = {static_cast<unsigned char>(lead),
                                       static_cast<unsigned char>(trail)};
        tables.Pair(lead, trail) = DecodeWithIconv(from_code_page, pair, 2);
      }
    }
  }

  const WindowsTable windows = WindowsDifferences(code_page);
  for (const TableRun& run : windows.encode) {
    for (unsigned k = 0; k < run.count; ++k) {
      tables.encode[run.from + k] = static_cast<std::uint16_t>(run.to + k);
    }
  }
  for (const TableRun& run : windows.decode) {
    for (unsigned k = 0; k < run.count; ++k) {
      const unsigned code = run.from + k;
      const auto unit = static_cast<char16_t>(run.to + k);
      if (code < 0x100) {
        tables.single[code] = unit;
      } else if (tables.IsLeadByte(static_cast<unsigned char>(code >> 8))) {
        tables.Pair(code >> 8, code & 0xFF) = unit;
      }
    }
  }
  return tables;
}

const Tables& TablesFor(CodePage code_page) {
  switch (code_page) {
    case CodePage::kSimplifiedChinese: {
      static const Tables tables = BuildTables(CodePage::kSimplifiedChinese);
      return tables;
    }
    case CodePage::kTraditionalChinese: {
      static const Tables tables = BuildTables(CodePage::kTraditionalChinese);
      return tables;
    }
    case CodePage::kWestern:
      break;
  }
  static const Tables tables = BuildTables(CodePage::kWestern);
  return tables;
}

}  // namespace

std::u16string AnsiToUtf16(std::string_view bytes, CodePage code_page) {
  std::u16string result;
  if (bytes.empty()) return result;
  const Tables& tables = TablesFor(code_page);
  result.reserve(bytes.size());
  std::size_t i = 0;
  while (i < bytes.size()) {
    const auto byte = static_cast<unsigned char>(bytes[i]);
    if (!tables.IsLeadByte(byte)) {
      result.push_back(tables.single[byte]);
      ++i;
      continue;
    }
    // A lead byte at the end, or before a NUL, is the default character;
    // Windows then reads the NUL on its own.
    if (i + 1 == bytes.size() || bytes[i + 1] == '\0') {
      result.push_back(kDefaultUnit);
      ++i;
      continue;
    }
    result.push_back(tables.Pair(byte, static_cast<unsigned char>(bytes[i + 1])));
    i += 2;
  }
  return result;
}

std::string Utf16ToAnsi(std::u16string_view text, CodePage code_page) {
  std::string result;
  if (text.empty()) return result;
  const Tables& tables = TablesFor(code_page);
  result.reserve(text.size());
  for (const char16_t unit : text) {
    const std::uint16_t code = tables.encode[unit];
    if (code >= 0x100) result.push_back(static_cast<char>(code >> 8));
    result.push_back(static_cast<char>(code & 0xFF));
  }
  return result;
}

}  // namespace kit::codepage
