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

}  // namespace
}  // namespace kit::plugin::download
