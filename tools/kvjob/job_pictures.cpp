// This file is OS-independent.
#include "tools/kvjob/job_renderer.h"

#include <algorithm>

#include "tools/kvjob/self_test_page.h"

namespace kit::tools {

void JobRenderer::Define(const Command& c) {
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
void JobRenderer::PrintLogo(std::uint8_t n, std::uint8_t m) {
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
void JobRenderer::PrintRaster(const Command& c) {
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
void JobRenderer::PrintDots(std::size_t columns, std::size_t rows, std::uint8_t m,
               const std::function<bool(std::size_t, std::size_t)>& dot, nlohmann::json record) {
  const int mx = (m & 1) != 0 ? 2 : 1, my = (m & 2) != 0 ? 2 : 1;
  const int width = static_cast<int>(std::min<std::size_t>(columns * mx, printer_.roll_.width_dots + 1));
  const int x0 = AlignedX(width);
  const int visible_rows = static_cast<int>(std::min<std::size_t>(rows, paper::kMaxLengthDots));
  Grow(y_ + visible_rows * my);
  const std::size_t visible_columns = std::min<std::size_t>(columns, printer_.roll_.width_dots);
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


void JobRenderer::SelfTest() {
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
    DrawString(font == 0 ? (printer_.roll_.width_dots - width) / 2 : 0, y_, font, text);
    Feed(std::max(cell.height + 4, font == 0 ? spacing_ : 0));
  }
  Record({{"what", "self-test"}, {"y", top}, {"height", y_ - top}});
}

}  // namespace kit::tools
