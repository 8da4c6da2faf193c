// Conversion time of the largest logo the download page admits (1024 x 768),
// 24-bit and 8-bit, with each halftone method. The preview converts on every
// repaint, so this is what the user waits for. The plain per-pixel rules are
// measured beside the product converter for comparison.
#include <benchmark/benchmark.h>

#include <random>

#include "print/logo/logo_convert.h"
#include "tests/print/logo/reference_converter.h"
#include "tests/print/logo/test_images.h"

namespace {

constexpr int kWidth = 1024;
constexpr int kHeight = 768;

// A photo-like picture: smooth gradients with noise, different per channel.
const std::vector<std::uint8_t>& Source(bool is24) {
  static const auto make = [](bool colour) {
    std::mt19937 rng(1);
    auto level = [&](int x, int y, int salt) {
      return static_cast<std::uint8_t>(((x * 255) / kWidth + (y * 128) / kHeight + salt + static_cast<int>(rng() % 24)) & 0xFF);
    };
    return colour ? kit::logo::testing::Make24(kWidth, kHeight, [&](int x, int y) {
      return kit::logo::testing::Bgr{level(x, y, 0), level(x, y, 60), level(x, y, 120)};
    })
                  : kit::logo::testing::Make8(kWidth, kHeight, [&](int x, int y) { return level(x, y, 30); });
  };
  static const std::vector<std::uint8_t> s24 = make(true);
  static const std::vector<std::uint8_t> s8 = make(false);
  return is24 ? s24 : s8;
}

void BM_Convert(benchmark::State& state) {
  const bool is24 = state.range(0) == 24;
  const int method = static_cast<int>(state.range(1));
  const auto& source = Source(is24);
  for (auto _ : state) {
    auto result = kit::logo::ConvertLogoBytes(source, {method, 20, -10});
    benchmark::DoNotOptimize(result.file.data());
  }
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) * static_cast<std::int64_t>(source.size()));
}

void BM_Reference(benchmark::State& state) {
  const bool is24 = state.range(0) == 24;
  const int method = static_cast<int>(state.range(1));
  const auto& source = Source(is24);
  for (auto _ : state) {
    auto result = kit::logo::testing::ReferenceConvert(source, method, 20, -10);
    benchmark::DoNotOptimize(result->data());
  }
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) * static_cast<std::int64_t>(source.size()));
}

// The floor: reading every source byte once (what any conversion must do).
void BM_ReadOnly(benchmark::State& state) {
  const auto& source = Source(state.range(0) == 24);
  for (auto _ : state) {
    std::uint64_t sum = 0;
    for (const std::uint8_t b : source) sum += b;
    benchmark::DoNotOptimize(sum);
  }
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) * static_cast<std::int64_t>(source.size()));
}

void Arguments(benchmark::internal::Benchmark* b) {
  for (const int bits : {24, 8})
    for (int method = 0; method <= 3; ++method) b->Args({bits, method});
  b->ArgNames({"bits", "method"})->Unit(benchmark::kMillisecond);
}

BENCHMARK(BM_Convert)->Apply(Arguments);
BENCHMARK(BM_Reference)->Apply(Arguments);
BENCHMARK(BM_ReadOnly)->Arg(24)->Arg(8)->ArgName("bits")->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
