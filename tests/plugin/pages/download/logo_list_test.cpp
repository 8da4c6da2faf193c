// The records beside the logo list and the names of the page's own files.
#include <gtest/gtest.h>

#include "plugin/pages/download/logo_list.h"

namespace kit::plugin::download {
namespace {

TEST(LogoRecords, RemovingMovesTheFollowingUpAndZeroesTheFreedSlotOnly) {
  struct Case {
    std::size_t index, count;
    std::array<int, kMaxLogos> contrasts;  // after
  } cases[] = {
      {0, 2, {2, 0, 3, 4, 5, 6, 7, 8, 9}},
      {8, 9, {1, 2, 3, 4, 5, 6, 7, 8, 0}},
      {0, 9, {2, 3, 4, 5, 6, 7, 8, 9, 0}},
      {3, 3, {1, 2, 3, 4, 5, 6, 7, 8, 9}},   // no such logo: unchanged
      {0, 10, {1, 2, 3, 4, 5, 6, 7, 8, 9}},  // more than the list holds: unchanged
  };
  for (const Case& c : cases) {
    LogoState state;
    for (std::size_t i = 0; i < kMaxLogos; ++i) state.records[i] = {1, static_cast<int>(i + 1), 0};
    RemoveRecord(state, c.index, c.count);
    for (std::size_t i = 0; i < kMaxLogos; ++i) EXPECT_EQ(state.records[i].contrast, c.contrasts[i]) << i;
  }
}

TEST(ConvertedLogoPath, IsTheLogosPositionInTheTemporaryFolder) {
  EXPECT_EQ(ConvertedLogoPath(u"C:\\Users\\u\\AppData\\Local\\Temp\\", 3),
            u"C:\\Users\\u\\AppData\\Local\\Temp\\VRTQ40Logo3Temp.bmp");
  EXPECT_EQ(ConvertedLogoPath(u"C:\\Temp", 9), u"C:\\Temp\\VRTQ40Logo9Temp.bmp");
}

// What Add reads of a logo after its 62 header bytes: where its rows may
// start (at least where 8-bit rows are read, at most after the largest
// headers and palette) plus its rows, whatever else the header says.
TEST(LogoBytesNeeded, IsBoundedByTheHeaderAndNeverByTheFile) {
  struct Case {
    const char* what;
    std::uint32_t offset;
    std::int32_t width, height;
    std::uint16_t bits;
    std::uint64_t needed;
  } cases[] = {
      {"24-bit 100 x 100", 54, 100, 100, 24, 1078 + 300 * 100},
      {"8-bit 1024 x 768", 1078, 1024, 768, 8, 1078 + 1024 * 768},
      {"1-bit 1024 x 768", 62, 1024, 768, 1, 1078 + 128 * 768},
      {"rows said to start 4 GB in", 0xFFFFFFFF, 8, 8, 24, 1162 + 24 * 8},
      {"0 bits", 62, 8, 8, 0, 1078 + 4 * 8},
      {"64 bits", 54, 1024, 768, 64, 1078 + 4096 * 768},
      {"the most", 0xFFFFFFFF, 1024, 768, 32, kMaxLogoSourceBytes},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    std::vector<std::uint8_t> head(kLogoHeadLength, 0);
    head[0] = 'B', head[1] = 'M';
    auto put = [&](std::size_t at, std::uint32_t value, int bytes) {
      for (int i = 0; i < bytes; ++i) head[at + i] = static_cast<std::uint8_t>(value >> (8 * i));
    };
    put(10, c.offset, 4);
    put(14, 40, 4);
    put(18, static_cast<std::uint32_t>(c.width), 4);
    put(22, static_cast<std::uint32_t>(c.height), 4);
    put(26, 1, 2);
    put(28, c.bits, 2);
    EXPECT_EQ(LogoBytesNeeded(head), c.needed);
  }
  EXPECT_EQ(kMaxLogoSourceBytes, 1162u + 4096u * 768u);
}

}  // namespace
}  // namespace kit::plugin::download
