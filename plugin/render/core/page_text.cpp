// This file is OS-independent.
#include "plugin/render/core/page_text.h"

#include <algorithm>

#include "print/encoder/command_bytes.h"
#include "print/encoder/raster_packer.h"

namespace kit::render {
namespace {

using Bytes = std::vector<std::uint8_t>;

void Feed(Bytes& out, int dots) {
  while (dots > 0) {
    const int step = std::min(dots, print::commands::kMaxFeedDots);
    out.insert(out.end(), print::commands::kFeedDotsCommand.begin(), print::commands::kFeedDotsCommand.end());
    out.push_back(static_cast<std::uint8_t>(step));
    dots -= step;
  }
}

// Rows [from, to) of the page as raster; blank rows at their end are fed,
// so that what follows starts at `to`.
void Rows(Bytes& out, const MonoPage& page, int from, int to) {
  if (to <= from) return;
  print::encoder::RasterPacker packer(out, page.width());
  packer.AddRows(std::span(page.Row(from), page.stride() * static_cast<std::size_t>(to - from)), page.stride(),
                 static_cast<std::size_t>(to - from));
  const std::size_t blank = packer.pending_blank_rows();
  packer.EndPage();
  Feed(out, static_cast<int>(blank));
}

}  // namespace

std::vector<std::uint8_t> ComposePage(const MonoPage& page, std::vector<TextItem> items, int* paper_row) {
  std::stable_sort(items.begin(), items.end(), [](const TextItem& a, const TextItem& b) { return a.y < b.y; });
  Bytes out;
  int at = 0;  // the page row the paper stands at
  for (std::size_t i = 0; i < items.size();) {
    const int y = items[i].y;
    Rows(out, page, at, std::clamp(y, at, page.height()));
    at = std::max(at, std::min(y, page.height()));  // the paper goes no further than the page's rows
    // Every item of this line: the text runs share one feed.
    int line = 0;
    bool text = false;
    for (; i < items.size() && items[i].y == y; ++i) {
      out.insert(out.end(), items[i].bytes.begin(), items[i].bytes.end());
      line = std::max(line, items[i].line);
      text |= !items[i].prints_itself;
    }
    if (text) Feed(out, line);
    at += line;
  }
  if (at < page.height()) {
    print::encoder::RasterPacker packer(out, page.width());
    packer.AddRows(std::span(page.Row(at), page.stride() * static_cast<std::size_t>(page.height() - at)), page.stride(),
                   static_cast<std::size_t>(page.height() - at));
    packer.EndPage();
  }
  if (paper_row != nullptr) *paper_row = std::max(at, page.PrintedHeight());
  return out;
}

}  // namespace kit::render
