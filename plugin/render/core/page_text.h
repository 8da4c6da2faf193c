// A page's device text and its raster in page order: the raster rows above
// each line of text go first, then the line, then the rows below it. A line
// of Font A/B text is printed and the paper fed by the line's height with
// one feed (1B 4A n); a barcode or QR command prints and feeds by itself.
// The rows a line covers are not printed as raster (text and pictures do
// not share a line of a receipt); a line that starts above rows already
// printed goes out where the paper stands.
//
// This file is OS-independent.
#pragma once

#include <cstdint>
#include <vector>

#include "plugin/render/core/mono_page.h"

namespace kit::render {

struct TextItem {
  int y = 0;                        // the line's top, dots from the page's top
  int line = 0;                     // dots the line takes down the page
  bool prints_itself = false;       // a barcode or QR command: no line feed of ours
  std::vector<std::uint8_t> bytes;  // selection, position and characters or command
};

// The page's bytes: raster blocks and feeds, the items at their lines. With
// `paper_row`, the page row the paper stands at after them (the trailing
// white is not fed).
std::vector<std::uint8_t> ComposePage(const MonoPage& page, std::vector<TextItem> items, int* paper_row = nullptr);

}  // namespace kit::render
