// The install roads under a fault sweep: an install on a parallel port, a
// serial port of the kit's monitor, a network port and a USB port of the
// kit's USB monitor, each run once per Windows call it makes with that call
// failing. Every run must end, say what failed, leave no half-made printer,
// port, monitor or driver, and leave the foreign printer alone.
#include <gtest/gtest.h>

#include <memory>

#include "setup/progress/progress_dialog.h"
#include "tests/platform/sim/fault_sweep.h"
#include "tests/setup/install/install_machine.h"

namespace kit::setup::testing {
namespace {

using sim::testing::Road;
using sim::testing::RoadResult;
using sim::testing::RoadRun;

// Under the sanitizers the sweep takes its first road only, to stay within
// the time CI gives it.
#ifdef KIT_SWEEP_ROADS
constexpr int kSweepRoads = KIT_SWEEP_ROADS;
#else
constexpr int kSweepRoads = 100;
#endif

struct InstallRoad {
  const char* name;
  const char* preset;
  const char* port;          // as the port page hands it on
  const char* printer_port;  // the port the printer stands on
  std::vector<std::uint8_t> ip;
};

class InstallRoadRun final : public RoadRun {
 public:
  explicit InstallRoadRun(const InstallRoad& road) : road_(road), m_(road.preset) {
    SetMonitorRules(m_);
    sim::testing::AddForeignPrinter(m_.machine());
  }
  sim::Machine& machine() override { return m_.machine(); }
  RoadResult Run() override {
    InstallRequest request = Request(m_, road_.port);
    if (!road_.ip.empty()) request.ip_bytes = {road_.ip[0], road_.ip[1], road_.ip[2], road_.ip[3]};
    m_.ctx().error_text.clear();
    const InstallRun run = Install(m_, request);
    RoadResult result;
    result.messages = run.prompts;
    if (!run.text.empty()) result.messages.push_back(run.text);
    result.ended = run.state != kProgressRunning;
    result.failed = run.outcome != StartOutcome::kRunWorker || run.state != kProgressDone;
    succeeded_ = !result.failed;
    return result;
  }
  std::vector<std::string> Untruths() override {
    if (!succeeded_) return {};
    std::string printers;
    const sim::Json state = m_.State();
    for (const auto& p : state["spooler"]["printers"]) {
      if (p.value("port", "") == road_.printer_port && p.value("driver", "") == "VRT-Q40") return {};
      printers += " " + p.value("name", "") + "@" + p.value("port", "");
    }
    return {std::string("success reported, yet no printer of the model on ") + road_.printer_port + " (printers:" +
            printers + ")"};
  }

 private:
  const InstallRoad& road_;
  EngineMachine m_;
  bool succeeded_ = false;
};

TEST(InstallSweep, EveryCallOfEveryPortKindFailing) {
  static const InstallRoad kRoads[] = {
      {"install on LPT1: (Windows 7 x64)", "win7-x64-en", "LPT1:", "LPT1:", {}},
      {"install on a serial port (XP)", "winxp-x86-en", "KVCOM3:", "KVCOM3:", {}},
      {"install on a network port (Windows 7 x64)", "win7-x64-en", "NET:", "KVIP_192.168.0.50", {192, 168, 0, 50}},
      {"install on a USB port (Windows 7 x64)", "win7-x64-en", "USB_VRT-Q40_2", "USB_VRT-Q40_2", {}},
  };
  sim::testing::SweepFigures figures;
  for (const InstallRoad& r : kRoads) {
    if (figures.roads == kSweepRoads) break;
    Road road;
    road.name = r.name;
    road.make = [&r] { return std::make_unique<InstallRoadRun>(r); };
    sim::testing::SweepRoad(road, &figures);
  }
  figures.Print("install sweep");
  EXPECT_GT(figures.runs, 0);
  EXPECT_EQ(figures.findings, std::vector<std::string>{});
}

}  // namespace
}  // namespace kit::setup::testing
