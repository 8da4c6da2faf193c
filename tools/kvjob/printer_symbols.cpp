// This file is OS-independent.
#include "tools/kvjob/printer_symbols.h"

#include <zint.h>

#include <algorithm>
#include <memory>

namespace kit::tools {
namespace {

// Thick elements of Code39, ITF and Codabar by the thin width of GS w n.
constexpr int kThickDots[kMaxBarWidth + 1] = {0, 3, 5, 8, 10, 13, 15};

struct Kind {
  std::uint8_t code;          // m of 1D 6B m, first form
  std::uint8_t length_code;   // m of the form with a length byte
  int zint;
  const char* name;
};
constexpr Kind kKinds[] = {
    {0, 65, BARCODE_UPCA, "UPC-A"},     {1, 66, BARCODE_UPCE, "UPC-E"},       {2, 67, BARCODE_EANX, "EAN13"},
    {3, 68, BARCODE_EANX, "EAN8"},      {4, 69, BARCODE_CODE39, "Code39"},    {5, 70, BARCODE_C25INTER, "ITF"},
    {6, 71, BARCODE_CODABAR, "Codabar"}, {0xFF, 72, BARCODE_CODE93, "Code93"}, {0xFF, 73, BARCODE_CODE128, "Code128"},
};

struct ZintDeleter {
  void operator()(zint_symbol* s) const { ZBarcode_Delete(s); }
};

bool AllDigits(const std::string& s) {
  for (char c : s) {
    if (c < '0' || c > '9') return false;
  }
  return !s.empty();
}

// The EAN/UPC check digit of the digits given (weights 3 and 1 from the right).
char CheckDigit(const std::string& digits) {
  int sum = 0;
  for (std::size_t i = 0; i < digits.size(); ++i) {
    const int d = digits[digits.size() - 1 - i] - '0';
    sum += (i % 2 == 0) ? 3 * d : d;
  }
  return static_cast<char>('0' + (10 - sum % 10) % 10);
}

// EAN13, EAN8 and UPC-A: the printer takes the digits before the check digit
// and adds its own; a typed check digit that differs is replaced (noted).
bool WithoutCheckDigit(std::string& data, std::size_t digits, Symbol& symbol) {
  if (!AllDigits(data) || (data.size() != digits && data.size() != digits + 1)) {
    symbol.error = symbol.name + " needs " + std::to_string(digits) + " or " + std::to_string(digits + 1) + " digits";
    return false;
  }
  const std::string body = data.substr(0, digits);
  if (data.size() == digits + 1 && data.back() != CheckDigit(body)) {
    symbol.note = std::string("check digit ") + data.back() + " printed as " + CheckDigit(body);
  }
  data = body;
  return true;
}

// UPC-E: the printer takes a UPC-A number (11 or 12 digits, number system 0)
// and prints its zero-suppressed form; zint takes the number system and the
// six digits.
bool ZeroSuppressed(std::string& data, Symbol& symbol) {
  if (!AllDigits(data) || data.size() < 11 || data.size() > 12 || data[0] != '0') {
    symbol.error = "UPC-E needs 11 or 12 digits beginning with 0";
    return false;
  }
  const std::string m = data.substr(1, 5), p = data.substr(6, 5);
  std::string six;
  if (m.substr(2) == "000" || m.substr(2) == "100" || m.substr(2) == "200") {
    if (p.substr(0, 2) == "00") six = m.substr(0, 2) + p.substr(2, 3) + m[2];
  } else if (m.substr(3) == "00") {
    if (p.substr(0, 3) == "000") six = m.substr(0, 3) + p.substr(3, 2) + "3";
  } else if (m[4] == '0') {
    if (p.substr(0, 4) == "0000") six = m.substr(0, 4) + p[4] + "4";
  } else if (p.substr(0, 4) == "0000" && p[4] >= '5') {
    six = m + p[4];
  }
  if (six.empty()) {
    symbol.error = "UPC-E: " + data + " has no zero-suppressed form";
    return false;
  }
  data = "0" + six;
  return true;
}

// The UPC-A number (without check digit) that a UPC-E "0" + six digits
// stands for.
std::string UpcAOfUpcE(const std::string& e) {
  // Letters a..f stand for the six digits after the number system.
  const char* pattern = e[6] <= '2' ? "0abf0000cde" : e[6] == '3' ? "0abc00000de" : e[6] == '4' ? "0abcd00000e"
                                                                                                : "0abcde0000f";
  std::string out;
  for (const char* p = pattern; *p != 0; ++p) out.push_back(*p == '0' ? '0' : e[static_cast<std::size_t>(*p - 'a') + 1]);
  return out;
}

// Code128: the data chooses its code set with "{A", "{B" or "{C"; in code
// set C each byte is a pair of digits (0..99); "{{" is a "{" itself.
bool PlainCode128(std::string& data, Symbol& symbol) {
  if (data.size() < 2 || data[0] != '{') {
    symbol.error = "Code128 data must begin with {A, {B or {C";
    return false;
  }
  std::string plain;
  char set = 0;
  for (std::size_t i = 0; i < data.size(); ++i) {
    const auto c = static_cast<unsigned char>(data[i]);
    if (c == '{' && i + 1 < data.size()) {
      const char next = data[++i];
      if (next == 'A' || next == 'B' || next == 'C') set = next;
      else if (next == '{') plain.push_back('{');
      else symbol.note = std::string("code 128 function {") + next + " left out";
      continue;
    }
    if (set == 'C') {
      if (c > 99) {
        symbol.error = "Code128 code set C byte above 99";
        return false;
      }
      plain.push_back(static_cast<char>('0' + c / 10));
      plain.push_back(static_cast<char>('0' + c % 10));
    } else {
      plain.push_back(static_cast<char>(c));
    }
  }
  if (set == 0 || plain.empty()) {
    symbol.error = "Code128 data without a code set or characters";
    return false;
  }
  data = plain;
  return true;
}

// The printer's Codabar stop characters E, N, T and * stand for D, B, A, C.
void CodabarStops(std::string& data) {
  const std::string from = "TN*E", to = "ABCD";
  for (char* c : {&data.front(), &data.back()}) {
    if (const auto at = from.find(*c); at != std::string::npos) *c = to[at];
  }
}

Symbol Encoded(int zint_symbology, const std::string& data, Symbol symbol, int option_1 = -1) {
  std::unique_ptr<zint_symbol, ZintDeleter> z(ZBarcode_Create());
  if (!z) {
    symbol.error = "no memory for the symbol";
    return symbol;
  }
  z->symbology = zint_symbology;
  z->input_mode = DATA_MODE;
  if (option_1 >= 0) z->option_1 = option_1;
  const int result =
      ZBarcode_Encode(z.get(), reinterpret_cast<const unsigned char*>(data.data()), static_cast<int>(data.size()));
  if (result >= ZINT_ERROR || z->width <= 0 || z->rows <= 0) {
    symbol.error = symbol.name + ": " + z->errtxt;
    return symbol;
  }
  // zint's text is empty for some symbologies; the caller's line stays then.
  if (z->text[0] != 0) symbol.text = reinterpret_cast<const char*>(z->text);
  // The modules as zint keeps them: row by row, bit (x mod 8) of byte x / 8.
  // A barcode is one row; the printer adds no quiet zone of its own.
  symbol.columns = z->width;
  symbol.rows = z->rows;
  symbol.modules.reserve(static_cast<std::size_t>(symbol.columns) * symbol.rows);
  for (int y = 0; y < symbol.rows; ++y) {
    for (int x = 0; x < symbol.columns; ++x) symbol.modules.push_back((z->encoded_data[y][x >> 3] >> (x & 7)) & 1);
  }
  return symbol;
}

}  // namespace

Symbol EncodeBarcode(std::uint8_t m, std::span<const std::uint8_t> bytes) {
  Symbol symbol;
  const Kind* kind = nullptr;
  for (const Kind& k : kKinds) {
    if (k.code == m || k.length_code == m) kind = &k;
  }
  if (kind == nullptr) {
    symbol.error = "barcode system " + std::to_string(m) + " not known";
    return symbol;
  }
  symbol.name = kind->name;
  std::string data(bytes.begin(), bytes.end());
  if (data.empty()) {
    symbol.error = symbol.name + " without data";
    return symbol;
  }
  bool ok = true;
  switch (kind->length_code) {
    case 65: ok = WithoutCheckDigit(data, 11, symbol); break;
    case 66: ok = ZeroSuppressed(data, symbol); break;
    case 67: ok = WithoutCheckDigit(data, 12, symbol); break;
    case 68: ok = WithoutCheckDigit(data, 7, symbol); break;
    case 69:
      // The printer adds the start and stop stars; typed ones are taken as them.
      if (data.size() > 1 && data.front() == '*') data.erase(0, 1);
      if (!data.empty() && data.back() == '*') data.pop_back();
      break;
    case 70:
      // The printer takes digits in pairs and leaves an odd last one out.
      if (data.size() % 2 != 0) {
        symbol.note = std::string("ITF: odd digit count, last digit ") + data.back() + " not printed";
        data.pop_back();
        if (data.empty()) {
          symbol.error = "ITF needs at least two digits";
          return symbol;
        }
      }
      break;
    case 71: CodabarStops(data); break;
    case 73: ok = PlainCode128(data, symbol); break;
    default: break;
  }
  if (!ok) return symbol;
  // The human-readable line: the number with its check digit, Code39 with
  // its stars, the others as encoded.
  switch (kind->length_code) {
    case 65: case 67: case 68: symbol.text = data + CheckDigit(data); break;
    case 66: symbol.text = data + CheckDigit(UpcAOfUpcE(data)); break;
    case 69: symbol.text = "*" + data + "*"; break;
    default: symbol.text = data; break;
  }
  symbol.two_widths = kind->length_code == 69 || kind->length_code == 70 || kind->length_code == 71;
  return Encoded(kind->zint, data, symbol);
}

std::vector<std::uint8_t> BarDots(const Symbol& symbol, int width) {
  width = std::clamp(width, kMinBarWidth, kMaxBarWidth);
  std::vector<std::uint8_t> dots;
  for (int x = 0; x < symbol.columns;) {
    const std::uint8_t dark = symbol.modules[static_cast<std::size_t>(x)];
    int run = 1;
    while (x + run < symbol.columns && symbol.modules[static_cast<std::size_t>(x + run)] == dark) ++run;
    // libzint draws a thick element as two or three modules, a thin one as one.
    const int across = !symbol.two_widths ? run * width : run == 1 ? width : kThickDots[width];
    dots.insert(dots.end(), static_cast<std::size_t>(across), dark);
    x += run;
  }
  return dots;
}

Symbol EncodeQr(std::uint8_t letter, std::uint8_t model, std::span<const std::uint8_t> bytes) {
  Symbol symbol;
  symbol.name = "QR";
  // zint's QR error levels 1..4 are L, M, Q, H.
  constexpr char kLevels[] = "LMQH";
  int level = 0;
  for (int i = 0; i < 4; ++i) {
    if (letter == static_cast<std::uint8_t>(kLevels[i])) level = i + 1;
  }
  if (level == 0) {
    symbol.error = "QR error correction letter not known";
    return symbol;
  }
  if (bytes.empty()) {
    symbol.error = "QR without data";
    return symbol;
  }
  // Model 1 (the 2D page's default) is a symbol of its own that libzint
  // cannot make; drawing model 2 instead would be a picture the printer does
  // not print.
  if (model == 1) {
    symbol.error = "QR model 1 not drawn (only model 2)";
    return symbol;
  }
  return Encoded(BARCODE_QRCODE, std::string(bytes.begin(), bytes.end()), symbol, level);
}

}  // namespace kit::tools
