// The level transfers must give the levels of plain 32-bit float arithmetic
// for every setting, also when compiled for x87 arithmetic (as 32-bit
// Windows builds may be), where without forced rounding of each step
// thousands of settings give a level one off.
#include <gtest/gtest.h>

#include "print/logo/logo_levels.h"
#include "tests/print/logo/reference_converter.h"

namespace kit::logo {
namespace {

TEST(LevelPrecision, MatchesSinglePrecisionArithmeticForEverySetting) {
  for (int c = -100; c <= 100; ++c) {
    for (int b = -100; b <= 100; b += 20) {
      for (int v = 0; v <= 255; ++v) {
        ASSERT_EQ(AdjustLevel(v, c, b), testing::ReferenceAdjustLevel(v, c, b)) << v << " " << c << " " << b;
        for (int m = 0; m <= 255; m += 51) {
          ASSERT_EQ(AdjustAroundMean(v, m, c, b), testing::ReferenceAdjustAroundMean(v, m, c, b))
              << v << " " << m << " " << c << " " << b;
        }
      }
    }
  }
}

}  // namespace
}  // namespace kit::logo
