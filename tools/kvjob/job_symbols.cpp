// This file is OS-independent.
#include "tools/kvjob/job_renderer.h"

#include <algorithm>

namespace kit::tools {

std::string JobRenderer::Printable(std::span<const std::uint8_t> bytes) {
  std::string out;
  for (std::uint8_t b : bytes) out.push_back(b >= 0x20 && b < 0x7F ? static_cast<char>(b) : '.');
  return out;
}

// Draws a pattern of modules, each `mw` x `mh` dots, at the current row,
// aligned; false when it is wider than the paper (nothing printed).
bool JobRenderer::DrawModules(const Symbol& s, int mw, int mh, int y, int* x_out) {
  const int width = s.columns * mw;
  if (width > printer_.roll_.width_dots) return false;
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

void JobRenderer::Barcode(const Command& c) {
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

void JobRenderer::Qr(std::uint8_t letter, std::span<const std::uint8_t> bytes) {
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
void JobRenderer::SymbolFunction(const Command& c) {
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

}  // namespace kit::tools
