#include "tools/usbstandin/printer_file.h"

#include <cstdio>

namespace kit::usbstandin {
namespace {

constexpr char kPrinterKeyword[] = "printer";
constexpr std::uint8_t kIdWritePrefix[] = {0x1B, 0x73, 0x42, 0x45, 0x92, 0x99, 0x1D, 0x49, 0x20};
// Fixed descriptor fields: bLength, bDescriptorType, bcdUSB 1.10, class 0,
// subclass 0, protocol 0, max packet 64; after the release: the string
// indices and one configuration.
constexpr std::uint8_t kDescriptorHead[] = {18, 1, 0x10, 0x01, 0, 0, 0, 64};
constexpr std::uint8_t kDescriptorTail[] = {1, 2, 3, 1};

// Words of a printer line: the keyword, vendor id, product id, release.
constexpr int kReleaseWord = 3;

bool IsSpace(char c) { return c == ' ' || c == '\t'; }

// [*begin, *end) of the n-th space-separated word of `line` (0-based).
bool WordSpan(std::string_view line, int n, std::size_t* begin, std::size_t* end) {
  std::size_t i = 0;
  for (int word = 0;; ++word) {
    while (i < line.size() && (IsSpace(line[i]) || line[i] == '\r')) ++i;
    if (i >= line.size()) return false;
    const std::size_t start = i;
    while (i < line.size() && !IsSpace(line[i]) && line[i] != '\r') ++i;
    if (word == n) {
      *begin = start;
      *end = i;
      return true;
    }
  }
}

std::string_view Trim(std::string_view s) {
  while (!s.empty() && (IsSpace(s.front()) || s.front() == '\r')) s.remove_prefix(1);
  while (!s.empty() && (IsSpace(s.back()) || s.back() == '\r')) s.remove_suffix(1);
  return s;
}

// The next space-separated word of *rest; *rest keeps what follows it.
std::string_view Word(std::string_view* rest) {
  *rest = Trim(*rest);
  std::size_t end = 0;
  while (end < rest->size() && !IsSpace((*rest)[end])) ++end;
  const std::string_view word = rest->substr(0, end);
  rest->remove_prefix(end);
  return word;
}

bool Number(std::string_view text, int base, std::uint16_t* value) {
  if (text.empty() || text.size() > 5) return false;
  std::uint32_t v = 0;
  for (char c : text) {
    int digit = -1;
    if (c >= '0' && c <= '9') digit = c - '0';
    if (base == 16 && c >= 'a' && c <= 'f') digit = c - 'a' + 10;
    if (base == 16 && c >= 'A' && c <= 'F') digit = c - 'A' + 10;
    if (digit < 0) return false;
    v = v * static_cast<std::uint32_t>(base) + static_cast<std::uint32_t>(digit);
  }
  if (v > 0xFFFF) return false;
  *value = static_cast<std::uint16_t>(v);
  return true;
}

// Calls `line(number, text)` for every line of `text`.
template <typename F>
void ForEachLine(std::string_view text, F line) {
  std::size_t number = 0;
  for (;;) {
    const auto end = text.find('\n');
    line(++number, text.substr(0, end));
    if (end == std::string_view::npos) break;
    text.remove_prefix(end + 1);
  }
}

}  // namespace

std::vector<SimulatedPrinter> ParsePrinterFile(std::string_view text, std::vector<std::string>* problems) {
  std::vector<SimulatedPrinter> printers;
  ForEachLine(text, [&](std::size_t number, std::string_view raw) {
    std::string_view rest = Trim(raw);
    if (rest.empty() || rest.front() == '#' || rest.front() == ';') return;
    const auto complain = [&](const char* what) {
      if (problems) problems->push_back("line " + std::to_string(number) + ": " + what);
    };
    if (Word(&rest) != kPrinterKeyword) return complain("not a printer line");
    SimulatedPrinter p;
    if (!Number(Word(&rest), 16, &p.vid)) return complain("vendor id is not a 16-bit hex number");
    if (!Number(Word(&rest), 16, &p.pid)) return complain("product id is not a 16-bit hex number");
    if (!Number(Word(&rest), 10, &p.release)) return complain("release is not a number 0-65535");
    p.list_text = std::string(Trim(rest));
    p.line = number;
    if (printers.size() >= kMaxPrinters) return complain("more than eight printers");
    printers.push_back(std::move(p));
  });
  return printers;
}

std::string WithRelease(std::string_view text, const SimulatedPrinter& printer, std::uint16_t release) {
  std::string out;
  ForEachLine(text, [&](std::size_t number, std::string_view line) {
    if (number > 1) out += '\n';
    if (number != printer.line) {
      out += line;
      return;
    }
    std::size_t begin = 0, end = 0;
    if (!WordSpan(line, kReleaseWord, &begin, &end)) {
      out += line;
      return;
    }
    out += line.substr(0, begin);
    out += std::to_string(release);
    out += line.substr(end);
  });
  return out;
}

void Descriptor(const SimulatedPrinter& printer, std::uint8_t out[kDescriptorSize]) {
  std::size_t at = 0;
  for (std::uint8_t b : kDescriptorHead) out[at++] = b;
  for (std::uint16_t v : {printer.vid, printer.pid, printer.release}) {
    out[at++] = static_cast<std::uint8_t>(v);
    out[at++] = static_cast<std::uint8_t>(v >> 8);
  }
  for (std::uint8_t b : kDescriptorTail) out[at++] = b;
}

std::string PrinterList(const std::vector<SimulatedPrinter>& printers) {
  std::string list;
  for (const auto& p : printers) list += p.list_text;
  if (list.size() > kListBufferSize - 1) list.resize(kListBufferSize - 1);
  return list;
}

bool IdWrite(const std::uint8_t* data, std::size_t length, std::uint16_t* id) {
  if (data == nullptr || length != sizeof kIdWritePrefix + 1) return false;
  for (std::size_t i = 0; i < sizeof kIdWritePrefix; ++i) {
    if (data[i] != kIdWritePrefix[i]) return false;
  }
  *id = data[sizeof kIdWritePrefix];
  return true;
}

std::string WriteLogLine(std::size_t index, int pipe, const std::uint8_t* data, std::size_t length) {
  std::string line = "write " + std::to_string(index) + " pipe " + std::to_string(pipe) + ":";
  char hex[4];
  for (std::size_t i = 0; data != nullptr && i < length; ++i) {
    std::snprintf(hex, sizeof hex, " %02X", data[i]);
    line += hex;
  }
  return line + "\r\n";
}

}  // namespace kit::usbstandin
