// This file is OS-independent.
#include "tools/kvjob/job_renderer.h"

#include <algorithm>

namespace kit::tools {

paper::FontCell JobRenderer::CellOf(const Style& s) {
  const paper::FontCell base = s.font == 0 ? paper::kFontA : paper::kFontB;
  return {base.width * s.width, base.height * s.height};
}
int JobRenderer::LineWidth() const {
  int width = 0;
  for (const Cell& cell : line_) width += cell.blank != 0 ? cell.blank : CellOf(cell.style).width;
  return width;
}
void JobRenderer::Put(char32_t character) {
  if (LineWidth() + CellOf(style_).width > printer_.roll_.width_dots) PrintLine();
  line_.push_back({character, style_});
}

int JobRenderer::AlignedX(int width) const {
  const int room = std::max(printer_.roll_.width_dots - width, 0);
  return align_ == 1 ? room / 2 : align_ == 2 ? room : 0;
}

// Prints the line waiting in the buffer and feeds at least `spacing`.
void JobRenderer::PrintLine() { PrintLine(spacing_); }
void JobRenderer::PrintLine(int spacing) {
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

void JobRenderer::Utf8(std::string& out, char32_t c) {
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

void JobRenderer::DrawCharacter(int x, int y, const Cell& cell) {
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
void JobRenderer::DrawString(int x, int y, int font, const std::string& text) {
  Style style;
  style.font = font;
  for (unsigned char ch : text) {
    DrawCharacter(x, y, {ch, style});
    x += CellOf(style).width;
  }
}

}  // namespace kit::tools
