#include "print/encoder/raster_packer.h"

#include <gtest/gtest.h>

namespace kit::print::encoder {
namespace {

struct Case {
  const char* name;
  int width_dots;
  std::vector<Bytes> rows;  // each row as handed over (stride = its size)
  Bytes bytes;
  Leading leading = Leading::kFed;
};

TEST(RasterPacker, BlankRowsFedTrailingWhiteDropped) {
  const Case cases[] = {
      {"empty page", 16, {}, {}},
      {"blank page sends nothing", 16, {{0, 0}, {0, 0}}, {}},
      {"one row", 16, {{0x80, 0x01}}, {0x1D, 0x76, 0x30, 0x00, 0x02, 0x00, 0x01, 0x00, 0x80, 0x01}},
      {"white on the right cut off", 24, {{0x80, 0, 0}, {0x40, 0x20, 0}},
       {0x1D, 0x76, 0x30, 0x00, 0x02, 0x00, 0x02, 0x00, 0x80, 0x00, 0x40, 0x20}},
      {"blank rows between fed, trailing ones dropped", 8, {{0}, {1}, {0}, {0}, {0}, {2}, {0}, {0}},
       {0x1B, 0x4A, 0x01, 0x1D, 0x76, 0x30, 0x00, 0x01, 0x00, 0x01, 0x00, 0x01, 0x1B, 0x4A, 0x03, 0x1D, 0x76,
        0x30, 0x00, 0x01, 0x00, 0x01, 0x00, 0x02}},
      // Bits past width_dots are padding: a row with only those is blank.
      {"padding bits ignored", 12, {{0x00, 0x0F}, {0x00, 0x10}},
       {0x1B, 0x4A, 0x01, 0x1D, 0x76, 0x30, 0x00, 0x02, 0x00, 0x01, 0x00, 0x00, 0x10}},
      {"padding cleared in a printed row", 12, {{0xFF, 0xFF}},
       {0x1D, 0x76, 0x30, 0x00, 0x02, 0x00, 0x01, 0x00, 0xFF, 0xF0}},
      // Dropped leading white: the page starts at its first printed row;
      // white between printed rows is still fed, trailing white dropped.
      {"leading blank rows dropped when asked", 8, {{0}, {0}, {1}, {0}, {2}, {0}},
       {0x1D, 0x76, 0x30, 0x00, 0x01, 0x00, 0x01, 0x00, 0x01, 0x1B, 0x4A, 0x01, 0x1D, 0x76, 0x30, 0x00, 0x01,
        0x00, 0x01, 0x00, 0x02},
       Leading::kDropped},
      {"blank page sends nothing when leading white is dropped", 8, {{0}, {0}}, {}, Leading::kDropped},
      {"a row of padding bits only is leading white", 12, {{0x00, 0x0F}, {0x00, 0x10}},
       {0x1D, 0x76, 0x30, 0x00, 0x02, 0x00, 0x01, 0x00, 0x00, 0x10}, Leading::kDropped},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    Bytes out;
    RasterPacker packer(out, c.width_dots, c.leading);
    for (const Bytes& row : c.rows) packer.AddRows(row, row.size(), 1);
    packer.EndPage();
    EXPECT_EQ(out, c.bytes);
    // Each page starts afresh: the same rows again on a second page give
    // the same bytes (a dropped leading white is dropped on every page).
    const std::size_t first = out.size();
    for (const Bytes& row : c.rows) packer.AddRows(row, row.size(), 1);
    packer.AddBlankRows(3);
    packer.EndPage();
    EXPECT_EQ(Bytes(out.begin() + static_cast<std::ptrdiff_t>(first), out.end()), c.bytes);
  }
}

TEST(RasterPacker, LongRunsSplitIntoBlocksAndFeeds) {
  // 300 blank rows, then 300 printed rows of one byte: feeds of 255 + 45 and
  // two blocks of 256 and 44 rows.
  Bytes page(600, 0);
  std::fill(page.begin() + 300, page.end(), 0xFF);
  const Bytes out = PackPage(page, 1, 600, 8);
  Bytes expected = {0x1B, 0x4A, 0xFF, 0x1B, 0x4A, 0x2D, 0x1D, 0x76, 0x30, 0x00, 0x01, 0x00, 0x00, 0x01};
  expected.insert(expected.end(), 256, 0xFF);
  expected.insert(expected.end(), {0x1D, 0x76, 0x30, 0x00, 0x01, 0x00, 0x2C, 0x00});
  expected.insert(expected.end(), 44, 0xFF);
  EXPECT_EQ(out, expected);
  // A band shorter than it claims adds only its whole rows.
  Bytes short_out;
  RasterPacker packer(short_out, 16);
  packer.AddRows(Bytes{0xFF, 0xFF, 0xFF}, 2, 5);
  packer.EndPage();
  EXPECT_EQ(short_out, (Bytes{0x1D, 0x76, 0x30, 0x00, 0x02, 0x00, 0x01, 0x00, 0xFF, 0xFF}));
}

}  // namespace
}  // namespace kit::print::encoder
