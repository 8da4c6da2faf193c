// This file is OS-independent.
#include "tools/kvjob/virtual_printer.h"

#include <algorithm>
#include <cstdio>
#include <functional>
#include <optional>
#include <string>

#include "tools/kvjob/command_reader.h"
#include "tools/kvjob/printer_font.h"
#include "tools/kvjob/printer_symbols.h"
#include "tools/kvjob/render_paper.h"
#include "tools/kvjob/self_test_page.h"

namespace kit::tools {

class JobRenderer;

namespace {

constexpr std::uint8_t kDefaultCodePage = 0;
constexpr int kCutDash = 6;
// The paper the cutter leaves after a cut, before the next receipt.
constexpr int kAfterCutDots = 24;
constexpr std::size_t kNoteHexPerLine = 7;
constexpr std::uint8_t kHriNone = 0, kHriAbove = 1, kHriBelow = 2, kHriBoth = 3;
constexpr int kDefaultBarWidth = 3;
constexpr int kDefaultBarHeight = 162;
constexpr int kDefaultQrModule = 3;
constexpr int kDefaultQrModel = 2;
constexpr std::uint8_t kDefaultQrLetter = 'L';
// GS ! n: bits 3 and 7 set are outside its range (1 to 8 each way).
constexpr std::uint8_t kSizeOutOfRange = 0x88;

// Bits of ESC ! n.
constexpr std::uint8_t kModeFontB = 0x01, kModeEmphasis = 0x08, kModeDoubleHeight = 0x10, kModeDoubleWidth = 0x20,
                       kModeUnderline = 0x80;

std::string Hex(std::span<const std::uint8_t> bytes) {
  std::string out;
  char buf[4];
  for (std::uint8_t b : bytes) {
    std::snprintf(buf, sizeof buf, out.empty() ? "%02X" : " %02X", b);
    out += buf;
  }
  return out;
}

std::string Printable(std::span<const std::uint8_t> bytes) {
  std::string out;
  for (std::uint8_t b : bytes) out.push_back(b >= 0x20 && b < 0x7F ? static_cast<char>(b) : '.');
  return out;
}

struct Style {
  int font = 0;
  int width = 1, height = 1;  // magnification
  bool emphasis = false;
  int underline = 0;  // dots
  bool reverse = false;
};

struct Cell {
  char32_t character;
  Style style;
  int blank = 0;  // a gap of this many dots (1B 24) instead of a character
};

}  // namespace

// Draws one job on a fresh picture with the printer's memory.
class JobRenderer {
 public:
  JobRenderer(VirtualPrinter& printer, Rendering& out) : printer_(printer), out_(out) {
    page_ = CodePageOf(kDefaultCodePage);
  }

  void Run(std::span<const std::uint8_t> job) {
    for (std::size_t pos = 0; pos < job.size() && !out_.paper_end;) {
      const Command command = ReadCommand(job, pos);
      pos += command.bytes.size();
      if (command.kind == CommandKind::kUnknown) {
        unknown_.insert(unknown_.end(), command.bytes.begin(), command.bytes.end());
        continue;
      }
      FlushUnknown();
      Do(command);
    }
    FlushUnknown();
    if (!line_.empty()) {
      Note("text left waiting for a line feed:");
      PrintLine();
    }
    out_.picture.Grow(std::max(y_, margin_y_) + paper::kDefaultLineSpacing);
  }

 private:
  void Do(const Command& c) {
    switch (c.kind) {
      case CommandKind::kText:
        for (std::uint8_t b : c.data) {
          if (out_.paper_end) return;
          Put(page_ ? page_->characters[b] : static_cast<char32_t>(b));
        }
        return;
      case CommandKind::kLineFeed:
        if (line_.empty()) return Feed(spacing_);
        return PrintLine();
      case CommandKind::kTab: {
        const int stop = paper::kTabCells * paper::kFontA.width;
        const int spaces = (stop - LineWidth() % stop) / CellOf(style_).width;
        for (int i = 0; i < std::max(spaces, 1); ++i) Put(U' ');
        return;
      }
      case CommandKind::kCarriageReturn:
      case CommandKind::kDataEnd:
      case CommandKind::kBracketOpen:
      case CommandKind::kBracketClose:
      case CommandKind::kUnknown:
        return;
      case CommandKind::kSkipped:
      case CommandKind::kCutShort: {
        const bool cut_short = c.kind == CommandKind::kCutShort;
        Record({{"what", cut_short ? "cut short" : "skipped"}, {"y", y_}, {"command", c.name},
                {"length", c.bytes.size()}});
        return Note(c.name + (cut_short ? " cut short by the job's end" : " not drawn") + " (" +
                    std::to_string(c.bytes.size()) + " bytes)");
      }
      case CommandKind::kSelfTest: return SelfTest();
      case CommandKind::kClearLogos:
        printer_.logos_.clear();
        Record({{"what", "logos cleared"}});
        return Note("logos cleared");
      case CommandKind::kDefineLogos: return Define(c);
      case CommandKind::kPrintLogo: return PrintLogo(c.n, c.n2);
      case CommandKind::kHriFont: hri_font_ = (c.n == 1 || c.n == '1') ? 1 : 0; return;
      case CommandKind::kHriPosition: hri_position_ = c.n >= '0' ? c.n - '0' : c.n; return;
      case CommandKind::kBarWidth: bar_width_ = c.n; return;
      case CommandKind::kBarHeight: bar_height_ = c.n; return;
      case CommandKind::kQrParameters:
        qr_module_ = c.n;
        qr_model_ = c.n3;
        return;
      case CommandKind::kBarcode: return Barcode(c);
      case CommandKind::kQrCode: return Qr(c.n2, c.data);
      case CommandKind::kSymbolFunction: return SymbolFunction(c);
      case CommandKind::kRasterImage: return PrintRaster(c);
      case CommandKind::kInitialise: return Initialise();
      case CommandKind::kPrintMode:
        style_.font = (c.n & kModeFontB) != 0 ? 1 : 0;
        style_.emphasis = (c.n & kModeEmphasis) != 0;
        style_.height = (c.n & kModeDoubleHeight) != 0 ? 2 : 1;
        style_.width = (c.n & kModeDoubleWidth) != 0 ? 2 : 1;
        style_.underline = (c.n & kModeUnderline) != 0 ? 1 : 0;
        return;
      case CommandKind::kEmphasis: style_.emphasis = (c.n & 1) != 0; return;
      case CommandKind::kUnderline: style_.underline = (c.n == 1 || c.n == '1') ? 1 : (c.n == 2 || c.n == '2') ? 2 : 0; return;
      case CommandKind::kFont: style_.font = (c.n == 1 || c.n == '1') ? 1 : 0; return;
      case CommandKind::kCharacterSize:
        if ((c.n & kSizeOutOfRange) != 0) return;  // the printer ignores it
        style_.width = std::min((c.n >> 4) + 1, paper::kMaxMagnification);
        style_.height = std::min((c.n & 0x0F) + 1, paper::kMaxMagnification);
        return;
      case CommandKind::kReverse: style_.reverse = (c.n & 1) != 0; return;
      case CommandKind::kAlign: align_ = c.n >= '0' ? c.n - '0' : c.n; return;
      // Both print the waiting line and feed n lines (dots) from its top.
      case CommandKind::kFeedLines:
        if (!line_.empty()) return PrintLine(spacing_ * c.n);
        return Feed(spacing_ * c.n);
      case CommandKind::kFeedDots:
        if (!line_.empty()) return PrintLine(c.n);
        return Feed(c.n);
      case CommandKind::kLineSpacing: spacing_ = c.n; return;
      case CommandKind::kDefaultSpacing: spacing_ = paper::kDefaultLineSpacing; return;
      case CommandKind::kPosition: {
        const int to = c.n | c.n2 << 8;
        if (to > LineWidth() && to < paper::kPaperWidthDots) line_.push_back({U' ', style_, to - LineWidth()});
        return;
      }
      case CommandKind::kCodePage:
        if (const CodePage* page = CodePageOf(c.n)) {
          page_ = page;
        } else {
          Note("code page " + std::to_string(c.n) + " not known");
        }
        return;
      case CommandKind::kCut: return Cut(c);
      case CommandKind::kDrawerPulse: {
        const std::string text = "drawer " + std::string(c.n % 2 == 0 ? "pin 2" : "pin 5") + ": " +
                                 std::to_string(c.n2 * 2) + " ms on, " + std::to_string(c.n3 * 2) + " ms off";
        Record({{"what", "drawer"}, {"y", y_}, {"pin", c.n % 2 == 0 ? 2 : 5}, {"on_ms", c.n2 * 2}, {"off_ms", c.n3 * 2}});
        return Note(text);
      }
      case CommandKind::kBuzzer:
        Record({{"what", "buzzer"}, {"y", y_}, {"times", c.n}, {"duration", c.n2}});
        return Note("buzzer: " + std::to_string(c.n) + " beeps");
    }
  }

  // ESC @: the print modes, the barcode and the QR settings as at power-on.
  void Initialise() {
    style_ = Style{};
    align_ = 0;
    spacing_ = paper::kDefaultLineSpacing;
    page_ = CodePageOf(kDefaultCodePage);
    hri_font_ = 0;
    hri_position_ = kHriNone;
    bar_width_ = kDefaultBarWidth;
    bar_height_ = kDefaultBarHeight;
    qr_module_ = kDefaultQrModule;
    qr_model_ = kDefaultQrModel;
    qr_letter_ = kDefaultQrLetter;
    qr_data_.clear();
  }

  // ---- text --------------------------------------------------------------

  static paper::FontCell CellOf(const Style& s) {
    const paper::FontCell base = s.font == 0 ? paper::kFontA : paper::kFontB;
    return {base.width * s.width, base.height * s.height};
  }
  int LineWidth() const {
    int width = 0;
    for (const Cell& cell : line_) width += cell.blank != 0 ? cell.blank : CellOf(cell.style).width;
    return width;
  }
  void Put(char32_t character) {
    if (LineWidth() + CellOf(style_).width > paper::kPaperWidthDots) PrintLine();
    line_.push_back({character, style_});
  }

  int AlignedX(int width) const {
    const int room = std::max(paper::kPaperWidthDots - width, 0);
    return align_ == 1 ? room / 2 : align_ == 2 ? room : 0;
  }

  // Prints the line waiting in the buffer and feeds at least `spacing`.
  void PrintLine() { PrintLine(spacing_); }
  void PrintLine(int spacing) {
    int height = 0;
    std::u32string text;
    for (const Cell& cell : line_) {
      if (cell.blank == 0) height = std::max(height, CellOf(cell.style).height);
    }
    Grow(y_ + height);
    int x = AlignedX(LineWidth());
    for (const Cell& cell : line_) {
      if (cell.blank != 0) {
        x += cell.blank;
        text.push_back(U' ');
        continue;
      }
      const paper::FontCell size = CellOf(cell.style);
      DrawCharacter(x, y_ + height - size.height, cell);
      x += size.width;
      text.push_back(cell.character);
    }
    std::string utf8;
    for (char32_t ch : text) Utf8(utf8, ch);
    Record({{"what", "text"}, {"y", y_}, {"height", height}, {"text", utf8}});
    line_.clear();
    Feed(std::max(spacing, height));
  }

  static void Utf8(std::string& out, char32_t c) {
    if (c < 0x80) {
      out.push_back(static_cast<char>(c));
    } else if (c < 0x800) {
      out.push_back(static_cast<char>(0xC0 | (c >> 6)));
      out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
    } else {
      out.push_back(static_cast<char>(0xE0 | ((c >> 12) & 0x0F)));
      out.push_back(static_cast<char>(0x80 | ((c >> 6) & 0x3F)));
      out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
    }
  }

  void DrawCharacter(int x, int y, const Cell& cell) {
    const Glyph& glyph = printer_.fonts_->Of(cell.style.font, cell.character);
    const Style& s = cell.style;
    for (int gy = 0; gy < glyph.height; ++gy) {
      for (int gx = 0; gx < glyph.width; ++gx) {
        bool on = glyph.dots[gy * glyph.width + gx] != 0;
        if (s.emphasis && gx > 0) on = on || glyph.dots[gy * glyph.width + gx - 1] != 0;
        if (s.underline > 0 && gy >= glyph.height - s.underline) on = true;
        if (s.reverse) on = !on;
        if (!on) continue;
        for (int dy = 0; dy < s.height; ++dy) {
          for (int dx = 0; dx < s.width; ++dx) out_.picture.Dot(x + gx * s.width + dx, y + gy * s.height + dy);
        }
      }
    }
  }

  // A line of Font A or B text, left aligned, for the self-test and HRI.
  void DrawString(int x, int y, int font, const std::string& text) {
    Style style;
    style.font = font;
    for (unsigned char ch : text) {
      DrawCharacter(x, y, {ch, style});
      x += CellOf(style).width;
    }
  }

  // ---- paper ---------------------------------------------------------------

  void Grow(int rows) {
    if (rows > paper::kMaxLengthDots) out_.paper_end = true;
    out_.picture.Grow(rows);
  }
  void Feed(int dots) {
    y_ += std::max(dots, 0);
    if (y_ >= paper::kMaxLengthDots) {
      y_ = paper::kMaxLengthDots;
      out_.paper_end = true;
    }
    Grow(y_);
  }

  // What was drawn, up to kMaxRecords; then one record says how many more.
  void Record(nlohmann::json item) {
    if (out_.drawn.size() < kMaxRecords) return out_.drawn.push_back(std::move(item));
    if (out_.drawn.size() == kMaxRecords) out_.drawn.push_back({{"what", "not listed"}, {"count", 0}});
    out_.drawn.back()["count"] = out_.drawn.back()["count"].get<std::size_t>() + 1;
  }

  // A note in the margin at the paper's current row (below earlier notes).
  void Note(const std::string& text) {
    constexpr std::size_t kPerLine = paper::kMarginDots / paper::kFontB.width - 1;
    for (std::size_t at = 0; at < text.size() && !out_.paper_end;) {
      const int y = std::max(y_, margin_y_);
      Grow(y + paper::kFontB.height);
      // Lines break at a space when there is one; a word longer than a line
      // breaks where the line ends.
      std::size_t count = std::min(kPerLine, text.size() - at);
      if (at + count < text.size()) {
        const std::size_t space = text.rfind(' ', at + count);
        if (space != std::string::npos && space > at) count = space - at + 1;
      }
      const std::string part = text.substr(at, count);
      at += count;
      for (std::size_t i = 0; i < part.size(); ++i) {
        const Glyph& g = printer_.fonts_->Of(1, static_cast<unsigned char>(part[i]));
        const int x0 = paper::kMarginLeft + paper::kFontB.width / 2 + static_cast<int>(i) * g.width;
        for (int gy = 0; gy < g.height; ++gy) {
          for (int gx = 0; gx < g.width; ++gx) {
            if (g.dots[gy * g.width + gx] != 0) out_.picture.Pixel(x0 + gx, y + gy, kNoteInk);
          }
        }
      }
      margin_y_ = y + paper::kFontB.height;
    }
  }

  void FlushUnknown() {
    if (unknown_.empty()) return;
    Record({{"what", "unknown"}, {"y", y_}, {"bytes", Hex(unknown_)}});
    for (std::size_t i = 0; i < unknown_.size() && !out_.paper_end; i += kNoteHexPerLine) {
      const std::size_t count = std::min(kNoteHexPerLine, unknown_.size() - i);
      Note("? " + Hex(std::span<const std::uint8_t>(unknown_).subspan(i, count)));
    }
    unknown_.clear();
  }

  void Cut(const Command& c) {
    if (!line_.empty()) PrintLine();
    if (c.bytes.size() == 4) Feed(c.n2);
    const bool partial = IsPartialCut(c.n);
    Grow(y_ + 1);
    out_.picture.DashedLine(y_, kCutDash, partial);
    Record({{"what", "cut"}, {"y", y_}, {"kind", partial ? "partial" : "full"}});
    Note(partial ? "partial cut" : "full cut");
    Feed(kAfterCutDots);
  }

  // ---- pictures --------------------------------------------------------------

  // Draws a pattern of modules, each `mw` x `mh` dots, at the current row,
  // aligned; false when it is wider than the paper (nothing printed).
  bool DrawModules(const Symbol& s, int mw, int mh, int y, int* x_out) {
    const int width = s.columns * mw;
    if (width > paper::kPaperWidthDots) return false;
    const int x0 = AlignedX(width);
    Grow(y + s.rows * mh);
    for (int r = 0; r < s.rows; ++r) {
      for (int col = 0; col < s.columns; ++col) {
        if (s.modules[static_cast<std::size_t>(r) * s.columns + col] == 0) continue;
        for (int dy = 0; dy < mh; ++dy) {
          for (int dx = 0; dx < mw; ++dx) out_.picture.Dot(x0 + col * mw + dx, y + r * mh + dy);
        }
      }
    }
    *x_out = x0;
    return true;
  }

  void Barcode(const Command& c) {
    if (!line_.empty()) PrintLine();
    const Symbol symbol = EncodeBarcode(c.n, c.data);
    const std::string data = Printable(c.data);
    if (!symbol.error.empty()) {
      // The kit's Code93 and Code128 prints begin with an empty symbol the
      // printer passes over.
      if (!c.data.empty()) {
        Record({{"what", "barcode refused"}, {"y", y_}, {"data", data}, {"reason", symbol.error}});
        Note(symbol.error);
      }
      return;
    }
    if (!symbol.note.empty()) Note(symbol.note);
    const int width = std::clamp(bar_width_, kMinBarWidth, kMaxBarWidth), height = std::max(bar_height_, 1);
    Symbol bars;  // the row of dots, drawn one dot a module
    bars.modules = BarDots(symbol, width);
    bars.columns = static_cast<int>(bars.modules.size());
    bars.rows = 1;
    const paper::FontCell hri = hri_font_ == 0 ? paper::kFontA : paper::kFontB;
    const bool above = hri_position_ == kHriAbove || hri_position_ == kHriBoth;
    const bool below = hri_position_ == kHriBelow || hri_position_ == kHriBoth;
    const int top = y_;
    int bars_y = top + (above ? hri.height : 0), x = 0;
    if (!DrawModules(bars, 1, height, bars_y, &x)) {
      Record({{"what", "barcode refused"}, {"y", y_}, {"data", data}, {"reason", "wider than the paper"}});
      return Note(symbol.name + " wider than the paper: not printed");
    }
    const int symbol_width = bars.columns;
    const int text_x = x + (symbol_width - static_cast<int>(symbol.text.size()) * hri.width) / 2;
    const int total = bars_y + height + (below ? hri.height : 0) - top;
    Grow(top + total);
    if (above) DrawString(text_x, top, hri_font_, symbol.text);
    if (below) DrawString(text_x, bars_y + height, hri_font_, symbol.text);
    Record({{"what", "barcode"}, {"symbology", symbol.name}, {"data", data}, {"hri", symbol.text},
            {"hri_position", hri_position_}, {"hri_font", hri_font_ == 0 ? "A" : "B"}, {"module_width", width},
            {"x", x}, {"y", top}, {"width", symbol_width}, {"height", total}});
    y_ = top + total;
  }

  void Qr(std::uint8_t letter, std::span<const std::uint8_t> bytes) {
    if (!line_.empty()) PrintLine();
    const Symbol symbol = EncodeQr(letter, static_cast<std::uint8_t>(qr_model_), bytes);
    const std::string data = Printable(bytes);
    if (!symbol.error.empty()) {
      Record({{"what", "qr refused"}, {"y", y_}, {"data", data}, {"reason", symbol.error}});
      return Note(symbol.error);
    }
    if (!symbol.note.empty()) Note(symbol.note);
    const int module = std::max(qr_module_, 1);
    int x = 0;
    if (!DrawModules(symbol, module, module, y_, &x)) {
      Record({{"what", "qr refused"}, {"y", y_}, {"data", data}, {"reason", "wider than the paper"}});
      return Note("QR wider than the paper: not printed");
    }
    const int side = symbol.columns * module;
    Record({{"what", "qr"}, {"data", data}, {"error_correction", std::string(1, static_cast<char>(letter))},
            {"model", qr_model_}, {"module_size", module}, {"modules", symbol.columns}, {"x", x}, {"y", y_},
            {"width", side}, {"height", side}});
    y_ += side;
  }

  // GS ( k for QR (cn 49): model, module size, error level, store, print.
  void SymbolFunction(const Command& c) {
    constexpr std::uint8_t kQr = 49, kModel = 65, kModule = 67, kLevel = 69, kStore = 80, kPrint = 81;
    constexpr char kLevelLetters[] = "LMQH";  // n = 48..51
    if (c.n != kQr) {
      Record({{"what", "2D symbol not drawn"}, {"y", y_}, {"symbol", c.n}, {"function", c.n2}});
      return Note("2D symbol " + std::to_string(c.n) + " function " + std::to_string(c.n2) + " not drawn");
    }
    const auto p = c.data;
    switch (c.n2) {
      case kModel:
        if (!p.empty()) qr_model_ = p[0] == 49 ? 1 : 2;
        return;
      case kModule:
        if (!p.empty()) qr_module_ = p[0];
        return;
      case kLevel:
        if (!p.empty() && p[0] >= 48 && p[0] <= 51) qr_letter_ = static_cast<std::uint8_t>(kLevelLetters[p[0] - 48]);
        return;
      case kStore:
        if (!p.empty()) qr_data_.assign(p.begin() + 1, p.end());
        return;
      case kPrint: return Qr(qr_letter_, qr_data_);
      default: return Note("QR function " + std::to_string(c.n2) + " not known");
    }
  }

  void Define(const Command& c) {
    printer_.logos_.clear();
    for (const LogoBlock& block : c.logos) {
      printer_.logos_.push_back({block.x, block.y, std::vector<std::uint8_t>(block.data.begin(), block.data.end())});
    }
    nlohmann::json sizes = nlohmann::json::array();
    for (const StoredLogo& logo : printer_.logos_) sizes.push_back({{"width", logo.x * 8}, {"height", logo.y * 8}});
    Record({{"what", "logos defined"}, {"y", y_}, {"logos", sizes}});
    Note(std::to_string(c.logos.size()) + " logos stored");
  }

  // FS p n m: m 0 normal, 1 double width, 2 double height, 3 both.
  void PrintLogo(std::uint8_t n, std::uint8_t m) {
    if (!line_.empty()) PrintLine();
    if (n < 1 || n > printer_.logos_.size()) {
      Record({{"what", "logo missing"}, {"y", y_}, {"number", n}});
      return Note("logo " + std::to_string(n) + " not stored");
    }
    const StoredLogo& logo = printer_.logos_[n - 1];
    PrintDots(logo.x * 8, logo.y * 8, m, [&logo](std::size_t col, std::size_t row) { return logo.Dot(col, row); },
              {{"what", "logo"}, {"number", n}});
  }

  // GS v 0: rows of x bytes, the leftmost dot in the high bit.
  void PrintRaster(const Command& c) {
    if (!line_.empty()) PrintLine();
    const auto data = c.data;
    const std::size_t x = c.x;
    PrintDots(x * 8, c.y, c.n, [data, x](std::size_t col, std::size_t row) {
      return ((data[row * x + col / 8] >> (7 - col % 8)) & 1) != 0;
    }, {{"what", "raster image"}});
  }

  // A picture of columns x rows dots at the current row, aligned, scaled by
  // mode m (bit 0 doubles the width, bit 1 the height), cut at the paper's
  // edge and at the longest paper's end.
  void PrintDots(std::size_t columns, std::size_t rows, std::uint8_t m,
                 const std::function<bool(std::size_t, std::size_t)>& dot, nlohmann::json record) {
    const int mx = (m & 1) != 0 ? 2 : 1, my = (m & 2) != 0 ? 2 : 1;
    const int width = static_cast<int>(std::min<std::size_t>(columns * mx, paper::kPaperWidthDots + 1));
    const int x0 = AlignedX(width);
    const int visible_rows = static_cast<int>(std::min<std::size_t>(rows, paper::kMaxLengthDots));
    Grow(y_ + visible_rows * my);
    const std::size_t visible_columns = std::min<std::size_t>(columns, paper::kPaperWidthDots);
    for (int row = 0; row < visible_rows && y_ + row * my < out_.picture.height(); ++row) {
      for (std::size_t col = 0; col < visible_columns; ++col) {
        if (!dot(col, static_cast<std::size_t>(row))) continue;
        for (int dy = 0; dy < my; ++dy) {
          for (int dx = 0; dx < mx; ++dx) out_.picture.Dot(x0 + static_cast<int>(col) * mx + dx, y_ + row * my + dy);
        }
      }
    }
    record["mode"] = m;
    record["x"] = x0;
    record["y"] = y_;
    record["width"] = columns * mx;
    record["height"] = rows * my;
    Record(std::move(record));
    Feed(visible_rows * my);
  }

  // ---- self-test -------------------------------------------------------------

  void SelfTest() {
    if (!line_.empty()) PrintLine();
    SelfTestFacts facts{page_ ? page_->name : std::string("?"), spacing_, bar_width_, bar_height_, hri_position_,
                        hri_font_, qr_module_, qr_model_, {}};
    for (const StoredLogo& logo : printer_.logos_) facts.logos.push_back({logo.x * 8, logo.y * 8});
    const std::vector<SelfTestLine> lines = SelfTestLines(facts);
    const int top = y_;
    for (const auto& [font, text] : lines) {  // Font A centred, Font B from the left
      const paper::FontCell cell = font == 0 ? paper::kFontA : paper::kFontB;
      Grow(y_ + cell.height);
      const int width = static_cast<int>(text.size()) * cell.width;
      DrawString(font == 0 ? (paper::kPaperWidthDots - width) / 2 : 0, y_, font, text);
      Feed(std::max(cell.height + 4, font == 0 ? spacing_ : 0));
    }
    Record({{"what", "self-test"}, {"y", top}, {"height", y_ - top}});
  }

  VirtualPrinter& printer_;
  Rendering& out_;
  const CodePage* page_ = nullptr;
  Style style_;
  std::vector<Cell> line_;
  std::vector<std::uint8_t> unknown_;
  int y_ = 0, margin_y_ = 0;
  int align_ = 0;
  int spacing_ = paper::kDefaultLineSpacing;
  int hri_font_ = 0, hri_position_ = kHriNone;
  int bar_width_ = kDefaultBarWidth, bar_height_ = kDefaultBarHeight;
  int qr_module_ = kDefaultQrModule, qr_model_ = kDefaultQrModel;
  std::uint8_t qr_letter_ = kDefaultQrLetter;  // GS ( k's error level
  std::vector<std::uint8_t> qr_data_;    // GS ( k's stored data
};

VirtualPrinter::VirtualPrinter() : fonts_(std::make_unique<PrinterFonts>()) {}
VirtualPrinter::~VirtualPrinter() = default;

Rendering VirtualPrinter::Render(std::span<const std::uint8_t> job) {
  Rendering out;
  JobRenderer(*this, out).Run(job);
  return out;
}

}  // namespace kit::tools
