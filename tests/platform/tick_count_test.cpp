// The wide tick count of the Windows before Vista: every step back of the
// 32-bit count is a wrap, however long the gap since the last read.
#include "platform/tick_count.h"

#include <gtest/gtest.h>

#include <vector>

namespace kit {
namespace {

TEST(TickCount, EveryStepBackIsAWrap) {
  constexpr std::uint64_t kWrap = 1ull << 32;
  const struct {
    const char* name;
    std::uint64_t seen;
    std::uint32_t now;
    std::uint64_t wide;
  } cases[] = {
      {"forward", 1000, 1500, 1500},
      {"no time passed", 5 * kWrap + 7, 7, 5 * kWrap + 7},
      {"just across a wrap", 0xFFFFFFF0u, 0x10, kWrap + 0x10},
      {"half the range across a wrap", 0x80000000u, 0, kWrap},
      // A gap of more than 24.8 days across a wrap: the step back is less
      // than half the range, and still a wrap.
      {"30 days across a wrap", 0xC0000000u, 0x5A000000u, kWrap + 0x5A000000u},
      {"a step back of one", 3 * kWrap + 0x1234, 0x1233, 4 * kWrap + 0x1233},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(WidenTickCount(c.seen, c.now), c.wide);
  }
}

// Read by read the wide count never goes back, across two wraps, the second
// after a long gap.
TEST(TickCount, WideCountRunsForward) {
  const std::vector<std::uint32_t> reads = {0xFFFFFF00u, 0x100, 0x80000000u, 0xF0000000u, 0x60000000u, 0x60000001u};
  std::atomic<std::uint64_t> seen{0};
  std::vector<std::uint64_t> wide;
  for (const std::uint32_t now : reads) wide.push_back(WideTickCount(seen, [now] { return now; }));
  const std::vector<std::uint64_t> want = {0xFFFFFF00ull, 0x100000100ull, 0x180000000ull, 0x1F0000000ull,
                                          0x260000000ull, 0x260000001ull};
  EXPECT_EQ(wide, want);
}

}  // namespace
}  // namespace kit
