// ANSI code pages through glibc's iconv (Linux build).
#include <iconv.h>

#include <bit>
#include <cerrno>
#include <cstring>
#include <vector>

#include "common/codepage/codepage.h"

namespace kit::codepage {
namespace {

static_assert(std::endian::native == std::endian::little,
              "char16_t text is handed to iconv as UTF-16LE");

constexpr const char* kUtf16Name = "UTF-16LE";

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

// Windows maps the five bytes that 1252 leaves undefined to the C1 control
// characters of the same value; iconv rejects them.
bool IsUndefinedIn1252(unsigned char byte) {
  return byte == 0x81 || byte == 0x8D || byte == 0x8F || byte == 0x90 || byte == 0x9D;
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

  // Converts as much as it can; returns false with errno set when it stopped
  // at bad or cut input. `in`/`in_left` advance past what was converted.
  bool Step(char*& in, std::size_t& in_left, std::vector<char>& out) {
    char buffer[4096];
    while (in_left > 0) {
      char* out_ptr = buffer;
      std::size_t out_left = sizeof buffer;
      const std::size_t result = iconv(handle_, &in, &in_left, &out_ptr, &out_left);
      out.insert(out.end(), buffer, out_ptr);
      if (result != static_cast<std::size_t>(-1)) continue;
      if (errno == E2BIG) continue;
      return false;
    }
    return true;
  }

  void Reset() { iconv(handle_, nullptr, nullptr, nullptr, nullptr); }

 private:
  iconv_t handle_;
};

void AppendUnit(std::vector<char>& out, char16_t unit) {
  out.push_back(static_cast<char>(unit & 0xFF));
  out.push_back(static_cast<char>(unit >> 8));
}

}  // namespace

std::u16string AnsiToUtf16(std::string_view bytes, CodePage code_page) {
  std::u16string result;
  if (bytes.empty()) return result;
  Converter converter(kUtf16Name, IconvName(code_page));
  std::vector<char> out;
  if (!converter.ok()) {
    // No converter installed: keep ASCII, replace everything else.
    for (const char c : bytes) {
      const auto byte = static_cast<unsigned char>(c);
      result.push_back(byte < 0x80 ? char16_t{byte} : kReplacementCharacter);
    }
    return result;
  }
  std::vector<char> input(bytes.begin(), bytes.end());
  char* in = input.data();
  std::size_t in_left = input.size();
  while (in_left > 0) {
    if (converter.Step(in, in_left, out)) break;
    const bool cut_at_end = errno == EINVAL;
    const auto byte = static_cast<unsigned char>(*in);
    if (!cut_at_end && code_page == CodePage::kWestern && IsUndefinedIn1252(byte)) {
      AppendUnit(out, char16_t{byte});
    } else {
      AppendUnit(out, kReplacementCharacter);
    }
    if (cut_at_end) break;
    ++in;
    --in_left;
    converter.Reset();
  }
  result.resize(out.size() / 2);
  std::memcpy(result.data(), out.data(), result.size() * 2);
  return result;
}

std::string Utf16ToAnsi(std::u16string_view text, CodePage code_page) {
  std::string result;
  if (text.empty()) return result;
  Converter converter(IconvName(code_page), kUtf16Name);
  if (!converter.ok()) {
    for (const char16_t unit : text) {
      result.push_back(unit < 0x80 ? static_cast<char>(unit) : kDefaultAnsiCharacter);
    }
    return result;
  }
  std::vector<char> input(text.size() * 2);
  std::memcpy(input.data(), text.data(), input.size());
  std::vector<char> out;
  char* in = input.data();
  std::size_t in_left = input.size();
  while (in_left > 0) {
    if (converter.Step(in, in_left, out)) break;
    if (errno == EINVAL) {  // a high surrogate cut at the end
      out.push_back(kDefaultAnsiCharacter);
      break;
    }
    // Skip the character iconv could not take: a whole surrogate pair when
    // the input holds one, else one code unit.
    std::size_t skip = 2;
    char16_t unit = 0;
    std::memcpy(&unit, in, 2);
    if (code_page == CodePage::kWestern && unit < 0x100 &&
        IsUndefinedIn1252(static_cast<unsigned char>(unit))) {
      out.push_back(static_cast<char>(unit));
    } else {
      out.push_back(kDefaultAnsiCharacter);
    }
    if (unit >= 0xD800 && unit <= 0xDBFF && in_left >= 4) {
      char16_t next = 0;
      std::memcpy(&next, in + 2, 2);
      if (next >= 0xDC00 && next <= 0xDFFF) skip = 4;
    }
    skip = skip > in_left ? in_left : skip;
    in += skip;
    in_left -= skip;
    converter.Reset();
  }
  result.assign(out.begin(), out.end());
  return result;
}

}  // namespace kit::codepage
