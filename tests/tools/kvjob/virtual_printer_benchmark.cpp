// What a user of `kvjob render` and `kvjob listen --render` waits on: a
// 30 cm till receipt with a logo and two barcodes, drawn and written as PNG.
#include <benchmark/benchmark.h>

#include "tests/tools/kvjob/receipt_jobs.h"
#include "tools/kvjob/render_paper.h"
#include "tools/kvjob/virtual_printer.h"

namespace kit::tools {
namespace {

void BM_RenderTillReceipt(benchmark::State& state) {
  VirtualPrinter printer;
  printer.Render(testing::LogoJob(testing::ConvertedLogo(300, 120)));
  const testing::Bytes job = testing::TillReceipt();
  int length = 0;
  for (auto _ : state) {
    const Rendering r = printer.Render(job);
    benchmark::DoNotOptimize(EncodePng(r.picture));
    length = r.picture.height();
  }
  state.counters["length_mm"] = length * static_cast<double>(paper::kTenthsMmPerInch) / paper::kDotsPerInch / 10;
}
BENCHMARK(BM_RenderTillReceipt)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace kit::tools

BENCHMARK_MAIN();
