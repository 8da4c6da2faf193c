// The lines of the page the virtual printer prints for a self-test: the
// model, its figures and the settings the job has made so far.
//
// This file is OS-independent.
#pragma once

#include <cstddef>
#include <string>
#include <utility>
#include <vector>

namespace kit::tools {

struct SelfTestFacts {
  std::string code_page;
  int line_spacing = 0;
  int bar_width = 0, bar_height = 0, hri_position = 0, hri_font = 0;
  int qr_module = 0, qr_model = 0;
  std::vector<std::pair<std::size_t, std::size_t>> logos;  // stored logos, width x height in dots
};

// Font (0 A, 1 B) and text of each line, top to bottom.
struct SelfTestLine {
  int font;
  std::string text;
};
std::vector<SelfTestLine> SelfTestLines(const SelfTestFacts& facts);

}  // namespace kit::tools
