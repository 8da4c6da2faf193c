#include "print/logo/logo_levels.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <set>


namespace kit::logo {
namespace {

TEST(AdjustLevel, NeutralSettingsKeepEveryLevel) {
  for (int v = 0; v <= 255; ++v) EXPECT_EQ(AdjustLevel(v, 0, 0), v) << v;
}

TEST(AdjustLevel, FullContrastStretchesTheMiddleBand) {
  for (int v = 0; v <= 100; ++v) EXPECT_EQ(AdjustLevel(v, 100, 0), 0) << v;
  for (int v = 155; v <= 255; ++v) EXPECT_EQ(AdjustLevel(v, 100, 0), 255) << v;
  EXPECT_EQ(AdjustLevel(101, 100, 0), 4);
  EXPECT_EQ(AdjustLevel(128, 100, 0), 129);
  EXPECT_EQ(AdjustLevel(154, 100, 0), 250);
}

TEST(AdjustLevel, NegativeContrastCompressesTowardsTheMiddle) {
  EXPECT_EQ(AdjustLevel(0, -100, 0), 100);
  // 255 / (255 / 55 rounded to float) is 55 only after rounding to float.
  EXPECT_EQ(AdjustLevel(255, -100, 0), 155);
}

TEST(AdjustLevel, BrightnessIsAddedAfterContrastAndClamped) {
  EXPECT_EQ(AdjustLevel(100, 100, 30), 30);  // cut to 0 by contrast, then brightened
  EXPECT_EQ(AdjustLevel(200, 0, 100), 255);
  EXPECT_EQ(AdjustLevel(50, 0, -100), 0);
  EXPECT_EQ(AdjustLevel(0, -100, -100), 0);
  EXPECT_EQ(AdjustLevel(128, 0, -28), 100);
}

TEST(AdjustAroundMean, SpreadsAroundTheMeanAndTruncatesTowardsZero) {
  for (int v = 0; v <= 255; v += 17) EXPECT_EQ(AdjustAroundMean(v, 90, 0, 0), v);
  EXPECT_EQ(AdjustAroundMean(130, 100, 10, 0), 160);   // k = 2
  EXPECT_EQ(AdjustAroundMean(200, 100, 100, 0), 255);  // k = 11, clamped
  EXPECT_EQ(AdjustAroundMean(7, 200, -100, 0), 200);   // k = 0: everything becomes the mean
  // (0 - 1) * 1.5 + 1 = -0.5 truncates to 0 (not -1) before brightness is added.
  EXPECT_EQ(AdjustAroundMean(0, 1, 5, 10), 10);
  // k = 1 - sqrt(4) / 10 = 0.8: (50 - 100) * 0.8 + 100 = 60.
  EXPECT_EQ(AdjustAroundMean(50, 100, -4, 0), 60);
}

TEST(DitherMatrices, AreCompleteOrderedDitherPermutations) {
  std::set<int> m3, m4;
  for (const auto& row : kDitherM3) m3.insert(row.begin(), row.end());
  for (const auto& row : kDitherM4) m4.insert(row.begin(), row.end());
  EXPECT_EQ(m3.size(), 64u);
  EXPECT_EQ(*m3.rbegin(), 63);
  EXPECT_EQ(m4.size(), 256u);
  EXPECT_EQ(*m4.rbegin(), 255);
  // The quarters of the large matrix: 4m, 4m + 3 (right), 4m + 2 (below), 4m + 1.
  EXPECT_EQ(kDitherM4[0][1], 128);
  EXPECT_EQ(kDitherM4[0][8], 3);
  EXPECT_EQ(kDitherM4[8][0], 2);
  EXPECT_EQ(kDitherM4[8][8], 1);
  EXPECT_EQ(kDitherM4[7][8], 255);
  EXPECT_EQ(kDitherM4[15][15], 4 * 21 + 1);
}

}  // namespace
}  // namespace kit::logo
