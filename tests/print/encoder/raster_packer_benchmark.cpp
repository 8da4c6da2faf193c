// Packing speed: a 28 cm receipt page (395 x 2000 dots) in under 2 ms, a 3 m
// roll with blank stretches (395 x 21260 dots) in under 20 ms.
#include <benchmark/benchmark.h>

#include "print/encoder/raster_packer.h"

namespace {

constexpr int kWidth = 395;
constexpr std::size_t kStride = (kWidth + 7) / 8;

// Text-like rows: 24-row lines of print with 8 blank rows between them;
// on the roll every other 500 rows are blank.
std::vector<std::uint8_t> Page(std::size_t rows, bool blank_stretches) {
  std::vector<std::uint8_t> bits(rows * kStride, 0);
  for (std::size_t y = 0; y < rows; ++y) {
    if (y % 32 >= 24 || (blank_stretches && (y / 500) % 2 == 1)) continue;
    for (std::size_t x = 0; x < kStride - 10; ++x) bits[y * kStride + x] = static_cast<std::uint8_t>(0x5A ^ (x * 7 + y));
  }
  return bits;
}

void Pack(benchmark::State& state, std::size_t rows, bool blank_stretches) {
  const auto bits = Page(rows, blank_stretches);
  for (auto _ : state) {
    auto out = kit::print::encoder::PackPage(bits, kStride, rows, kWidth);
    benchmark::DoNotOptimize(out.data());
  }
}

void BM_ReceiptPage(benchmark::State& state) { Pack(state, 2000, false); }
void BM_ThreeMetreRoll(benchmark::State& state) { Pack(state, 21260, true); }
BENCHMARK(BM_ReceiptPage)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ThreeMetreRoll)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
