// This file is OS-independent.
#include "tools/kvjob/self_test_page.h"

#include "tools/kvjob/render_paper.h"

namespace kit::tools {

namespace {

// The receipt model the plug-in serves, as the kit's setup configuration names it.
constexpr char kModelName[] = "VRT-Q40";

std::string Size(int width, int height) { return std::to_string(width) + " x " + std::to_string(height) + " dots"; }

}  // namespace

std::vector<SelfTestLine> SelfTestLines(const SelfTestFacts& f) {
  std::vector<SelfTestLine> lines = {
      {0, "*** SELF-TEST ***"},
      {0, std::string(kModelName) + " receipt printer"},
      {1, "Resolution:   " + std::to_string(paper::kDotsPerInch) + " dpi"},
      {1, "Paper width:  " + std::to_string(paper::kPaperWidthTenthsMm / 10) + "." +
              std::to_string(paper::kPaperWidthTenthsMm % 10) + " mm (" + std::to_string(paper::kPaperWidthDots) +
              " dots)"},
      {1, "Font A:       " + Size(paper::kFontA.width, paper::kFontA.height)},
      {1, "Font B:       " + Size(paper::kFontB.width, paper::kFontB.height)},
      {1, "Code page:    " + f.code_page},
      {1, "Line spacing: " + std::to_string(f.line_spacing) + " dots"},
      {1, "Barcode:      width " + std::to_string(f.bar_width) + ", height " + std::to_string(f.bar_height)},
      {1, "HRI:          position " + std::to_string(f.hri_position) + (f.hri_font == 0 ? ", Font A" : ", Font B")},
      {1, "QR:           module " + std::to_string(f.qr_module) + ", model " + std::to_string(f.qr_model)},
      {1, "Stored logos: " + std::to_string(f.logos.size())},
  };
  for (std::size_t i = 0; i < f.logos.size(); ++i) {
    lines.push_back({1, "  logo " + std::to_string(i + 1) + ": " +
                            Size(static_cast<int>(f.logos[i].first), static_cast<int>(f.logos[i].second))});
  }
  lines.push_back({0, "*** END ***"});
  return lines;
}

}  // namespace kit::tools
