// The install roads under a fault sweep: an install on a parallel port, a
// serial port of the kit's monitor, a network port and a USB port of the
// kit's USB monitor, each run once per Windows call it makes with that call
// failing. Every run must end, say what failed, leave no half-made printer,
// port, monitor or driver, and leave the foreign printer alone.
#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <map>
#include <memory>

#include "platform/sim/presets.h"
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

namespace fs = std::filesystem;

// A port monitor's DLL the copy cannot replace (in use, access denied) is
// copied and registered under its side-by-side name (nKVR...DLL), as the
// kit's setup does for a DLL the spooler holds: the install is whole with
// that copy, and its end state differs from the clean run's by that name.
constexpr char kMonitorCopyFinding[] =
    "a monitor DLL the copy cannot replace is copied and registered under its side-by-side n name; the install is "
    "whole with that copy";
// XP's Unidrv files extracted from the driver cache into Temp.
constexpr char kUnidrvCopyReason[] =
    "XP: the Unidrv files setup extracts into Temp are a working copy; without them the driver is installed "
    "from the files the system has, and the driver is checked whole";

// What an install writes to the registry and must not drop: setup's records
// of its ports and printers, and a serial port's settings.
const std::vector<std::string> kInstallRegistry = {"HKLM\\SOFTWARE\\VELDRAN",
                                                   "HKLM\\SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\Ports"};

// The worker's PRINTERPORT value is written without a check of its result,
// as the install always has; nothing of the kit reads it back.
constexpr char kPrinterPortRecordFinding[] =
    "the worker's PRINTERPORT record of a USB port is not checked: a refused write leaves the install done "
    "without it (no part of the kit reads it)";

const std::map<std::string, std::string> kKnownFindings = {
    {"RegSetValueEx 'HKLM\\SOFTWARE\\VELDRAN\\PRINTERPORT' failing", kPrinterPortRecordFinding},
    {"RegCreateKeyEx 'HKLM\\SOFTWARE\\VELDRAN\\PRINTERPORT' failing", kPrinterPortRecordFinding},
    {"system32\\KVRCOMMON.DLL' failing", kMonitorCopyFinding},
    {"system32\\KVRLMON.DLL' failing", kMonitorCopyFinding},
    {"system32\\KVRUSBMON.DLL' failing", kMonitorCopyFinding},
};

// Failures the install takes for a state Windows is in already, so that it
// ends done short of the clean run's end state.
const std::map<std::string, std::string> kOtherDoneEnd = {
    {"AddPrinter 'VRT-Q40'",
     "1802 says a printer of that name is there already: the install makes the next numbered copy "
     "(\"VRT-Q40(P)(1)\") and ends done with it"},
    {"ReadFile 'driver.cab'", kUnidrvCopyReason},
    {"WriteFile '\\Temp\\'", kUnidrvCopyReason},
};

// The printer a quiet install makes on `port` (name, driver), if any.
bool HasModelPrinter(const sim::Json& state, const std::string& port) {
  for (const auto& p : state["spooler"]["printers"])
    if (p.value("port", "") == port && p.value("driver", "") == "VRT-Q40") return true;
  return false;
}

// The Linux kitsetup itself, as a deployment tool starts it: --quiet with
// the model and port, on its own machine, its exit status read.
class QuietSetupRun final : public RoadRun {
 public:
  QuietSetupRun(const std::string& preset, std::string port) : port_(std::move(port)) {
    const fs::path work = fs::temp_directory_path() / ("kit-install-sweep-" + std::to_string(::getpid()));
    const fs::path template_folder = work / ("template-" + preset);
    std::string error;
    std::error_code ec;
    if (!fs::exists(template_folder)) {
      sim::ProcessOptions process;
      if (!sim::CreateMachine(template_folder, preset, true, &error)) ADD_FAILURE() << error;
      auto m = sim::Machine::Open(template_folder, process, &error);
      if (m) sim::testing::AddForeignPrinter(*m);
    }
    folder_ = work / "run";
    fs::remove_all(folder_, ec);
    fs::copy(template_folder, folder_, fs::copy_options::recursive, ec);
    sim::ProcessOptions process;
    machine_ = sim::Machine::Open(folder_, process, &error);
    if (!machine_) ADD_FAILURE() << error;
  }
  ~QuietSetupRun() override {
    machine_.reset();
    std::error_code ec;
    fs::remove_all(folder_, ec);
  }
  sim::Machine& machine() override { return *machine_; }

  RoadResult Run() override {
    const fs::path log = folder_.parent_path() / "run.log";
    std::error_code ec;
    fs::remove(log, ec);
    const sim::testing::ProgramRun program = sim::testing::RunProgram(
        std::string("'") + KIT_SETUP_PROGRAM + "' --machine '" + folder_.string() + "' --kit '" + KIT_FOLDER +
            "' --quiet --accept-licence --model VRT-Q40 --port '" + port_ + "' --log '" + log.string() + "'",
        folder_.parent_path());
    RoadResult result;
    // The run log's lines (the choices, what the wizard showed, the
    // outcome), then what the program wrote.
    std::ifstream in(log);
    for (std::string line; std::getline(in, line);) result.messages.push_back(line);
    result.messages.insert(result.messages.end(), program.lines.begin(), program.lines.end());
    result.exit_status = program.exit_status;
    result.ended = program.exit_status.has_value();
    untruths_ = program.crashes;
    sim::Json state;
    std::string error;
    machine_->store().Read(&state, &error);
    result.failed = !HasModelPrinter(state, port_);
    return result;
  }
  std::vector<std::string> Untruths() override { return untruths_; }

 private:
  std::string port_;
  fs::path folder_;
  std::unique_ptr<sim::Machine> machine_;
  std::vector<std::string> untruths_;
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
    road.known_findings = kKnownFindings;
    road.other_done_end = kOtherDoneEnd;
    road.compared_registry = kInstallRegistry;
#ifdef KIT_SWEEP_ROADS
    // The install reads its configuration file again for every value: under
    // the sanitizers each read is failed where it is made first only.
    road.fail_repeats = false;
#endif
    road.make = [&r] { return std::make_unique<InstallRoadRun>(r); };
    sim::testing::SweepRoad(road, &figures);
  }

  figures.Print("install sweep");
  EXPECT_GT(figures.runs, 0);
  EXPECT_EQ(figures.findings, std::vector<std::string>{});
}

// The program's own road, for its exit status after every failure. Under
// the sanitizers its code runs in the roads above; the program is left out.
TEST(InstallSweep, EveryCallOfTheQuietProgramFailing) {
#ifdef KIT_SWEEP_ROADS
  GTEST_SKIP() << "the program's road runs in the unsanitized builds";
#endif
  sim::testing::SweepFigures figures;
  Road road;
  road.name = "kitsetup --quiet on LPT1: (Windows 7 x64)";
  road.known_findings = kKnownFindings;
  road.other_done_end = kOtherDoneEnd;
  road.compared_registry = kInstallRegistry;
  road.make = [] { return std::make_unique<QuietSetupRun>("win7-x64-en", "LPT1:"); };
  sim::testing::SweepRoad(road, &figures);
  figures.Print("kitsetup --quiet sweep");
  EXPECT_GT(figures.runs, 0);
  EXPECT_EQ(figures.findings, std::vector<std::string>{});
}

}  // namespace
}  // namespace kit::setup::testing
