#include "plugin/render/core/page_text.h"

#include <gtest/gtest.h>

#include "print/encoder/raster_packer.h"

namespace kit::render {
namespace {

using Bytes = std::vector<std::uint8_t>;

Bytes Joined(std::initializer_list<Bytes> parts) {
  Bytes out;
  for (const Bytes& p : parts) out.insert(out.end(), p.begin(), p.end());
  return out;
}
// The raster of rows [from, to) of `page` as one packing of its own.
Bytes Raster(const MonoPage& page, int from, int to) {
  return print::encoder::PackPage(std::span(page.Row(from), page.stride() * static_cast<std::size_t>(to - from)),
                                  page.stride(), static_cast<std::size_t>(to - from), page.width());
}
Bytes FeedOf(int dots) { return {0x1B, 0x4A, static_cast<std::uint8_t>(dots)}; }

// A page of 40 rows with a dot on rows 0..9 and 30..39, text lines placed
// over it: what comes out, in page order.
TEST(PageText, RasterAndLinesInPageOrder) {
  MonoPage page(64, 40);
  for (int y = 0; y < 10; ++y) page.Set(3, y);
  for (int y = 30; y < 40; ++y) page.Set(5, y);
  const Bytes text = {'h', 'i'};
  const Bytes barcode = {0x1D, 0x6B, 0x00, 0x0A};
  struct Case {
    const char* what;
    std::vector<TextItem> items;
    Bytes want;
    int paper_row;  // where the paper stands after the page
  };
  const Case cases[] = {
      {"no text: the page's raster alone", {}, Raster(page, 0, 40), 40},
      {"a line in the blank rows: raster above, blank rows fed, the line fed by its height, raster below",
       {{12, 8, false, text}},
       Joined({Raster(page, 0, 10), FeedOf(2), text, FeedOf(8), Raster(page, 20, 40)}), 40},
      {"two runs on one line share one feed, the higher line", {{12, 8, false, text}, {12, 6, false, text}},
       Joined({Raster(page, 0, 10), FeedOf(2), text, text, FeedOf(8), Raster(page, 20, 40)}), 40},
      {"a barcode feeds by itself", {{10, 20, true, barcode}}, Joined({Raster(page, 0, 10), barcode, Raster(page, 30, 40)}), 40},
      {"a line above rows already printed goes where the paper stands",
       {{12, 8, false, text}, {14, 4, false, text}},
       Joined({Raster(page, 0, 10), FeedOf(2), text, FeedOf(8), text, FeedOf(4), Raster(page, 24, 40)}), 40},
      {"a line below the page's end", {{50, 8, false, text}}, Joined({Raster(page, 0, 40), text, FeedOf(8)}), 48},
  };
  for (const Case& c : cases) {
    int paper_row = -1;
    EXPECT_EQ(ComposePage(page, c.items, &paper_row), c.want) << c.what;
    EXPECT_EQ(paper_row, c.paper_row) << c.what;
  }
  // Past the printed rows, below the blank rows under them.
  MonoPage short_page(64, 40);
  short_page.Set(3, 0);
  int paper_row = -1;
  ComposePage(short_page, {{20, 8, false, text}}, &paper_row);
  EXPECT_EQ(paper_row, 28);
}

}  // namespace
}  // namespace kit::render
