// What the user waits on after pressing Install: one whole install on a
// fresh Windows 7 x64 machine (LPT1:), the worker on its own thread while
// the progress dialog runs in the headless host, until the dialog closes.
// Real time is measured; the fixed pauses of the install pass on the
// machine's virtual clock and are reported beside it ("virtual_wait_ms").
#include <benchmark/benchmark.h>

#include <atomic>
#include <memory>
#include <thread>

#include "setup/progress/progress_dialog.h"
#include "setup/progress/progress_headless.h"
#include "tests/setup/install/install_machine.h"

namespace kit::setup::testing {
namespace {

void BM_InstallOnParallelPort(benchmark::State& state) {
  std::uint64_t virtual_wait = 0;
  for (auto _ : state) {
    state.PauseTiming();
    auto machine = std::make_unique<EngineMachine>();
    const InstallRequest request = Request(*machine, "LPT1:");
    ui::headless::Environment env;
    state.ResumeTiming();

    RecordingPrompts prompts;
    DirectUsbInstall usb;
    InstallPlan plan;
    if (PrepareInstall(machine->ctx(), machine->config(), request, prompts, usb, &plan) != StartOutcome::kRunWorker) {
      state.SkipWithError("the install did not start");
      break;
    }
    std::atomic<int> progress{kProgressRunning};
    ProgressDialog dialog(machine->ctx().texts, progress);
    std::thread worker([&] { InstallWorker(machine->ctx(), plan, &progress); });
    RunProgressHeadless(env, dialog);
    worker.join();

    state.PauseTiming();
    if (progress.load() != kProgressDone || Printer(*machine, "VRT-Q40(P)").is_null()) {
      state.SkipWithError(("the install failed: " + machine->ctx().error_text).c_str());
      break;
    }
    virtual_wait = machine->Slept();
    machine.reset();
    state.ResumeTiming();
  }
  state.counters["virtual_wait_ms"] = static_cast<double>(virtual_wait);
}
BENCHMARK(BM_InstallOnParallelPort)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace
}  // namespace kit::setup::testing

BENCHMARK_MAIN();
