// The full uninstall under the fault sweep: every component of the family
// ticked, the USB driver too, on a machine with the family on every kind of
// port and a foreign printer, run once per Windows call it makes with that
// call failing. A failure must be logged, the entries not removed must stay
// in the list, no removal may be logged for an object still there, nothing
// half made may stay and the foreign printer must not change.
#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <memory>
#include <sstream>

#include "platform/win32_errors.h"
#include "tests/platform/sim/fault_sweep.h"
#include "tests/uninstall/family_machine.h"
#include "uninstall/app/exit_status.h"
#include "uninstall/app/uninstall_app.h"
#include "uninstall/quiet/uninstall_quiet.h"

namespace kit::uninstall {
namespace {

using sim::testing::Road;
using sim::testing::RoadResult;

// Under the sanitizers the sweep takes its first road only, to stay within
// the time CI gives it.
#ifdef KIT_SWEEP_ROADS
constexpr int kSweepRoads = KIT_SWEEP_ROADS;
#else
constexpr int kSweepRoads = 100;
#endif

// The family machine as one run of the road.
class UninstallRoadRun final : public sim::testing::RoadRun, public FamilyMachineTest {
 public:
  // Build puts the foreign printer the sweep watches on the machine.
  explicit UninstallRoadRun(const std::string& preset) { Build(preset); }
  ~UninstallRoadRun() override { TearDown(); }
  void TestBody() override {}
  sim::Machine& machine() override { return *program_; }

  RoadResult Run() override {
    std::vector<std::string> not_listed;
    for (const auto& c : BuildComponentList(Context(), &not_listed)) view_.Add(c);
    listed_ = view_.entries;
    view_.usb_box = true;
    view_.restart_answer = false;
    UninstallRun run(Context(), view_);
    RoadResult result;
    RunResult ran;
    if (run.CheckQueuedJobs()) ran = run.Run();
    result.messages = view_.log;
    // The run's end: entries left in the list say something was not removed,
    // the run's own reckoning what a removal left behind.
    // A listing that failed may hide a family member, as the window says.
    result.failed = view_.end_entries_left || !view_.entries.empty() || !ran.left.empty() || ran.usb_failed ||
                    !not_listed.empty();
    for (const auto& what : not_listed) result.messages.push_back("not listed: " + what);
    return result;
  }

  std::vector<std::string> Untruths() override {
    std::vector<std::string> untruths;
    for (const Component& c : listed_) {
      const bool still_listed = std::find(view_.entries.begin(), view_.entries.end(), c) != view_.entries.end();
      if (still_listed) continue;
      // Taken off the list as removed: it must be gone.
      if (c.kind == ComponentKind::kPrinter && HasPrinter(FromUtf8(c.name)))
        untruths.push_back("printer " + c.name + " taken off the list as removed, yet still there");
      if (c.kind == ComponentKind::kMonitor && HasKey(u"SYSTEM\\CurrentControlSet\\Control\\Print\\Monitors\\" + FromUtf8(c.name)))
        untruths.push_back("monitor " + c.name + " taken off the list as removed, yet still there");
    }
    return untruths;
  }

 private:
  FakeView view_;
  std::vector<Component> listed_;
};

// The program itself, as the Linux Uninstall runs it: its window answered
// as --quiet --all --remove-usb-driver answers it, ending with the exit
// status of the quiet run or, for `window`, the status the program gives
// after its window closes.
class UninstallProgramRun final : public sim::testing::RoadRun, public FamilyMachineTest {
 public:
  UninstallProgramRun(const std::string& preset, bool window) : window_(window) {
    Build(preset);
    sim::ProcessOptions process;
    process.bits = 32;  // the uninstaller is a 32-bit program
    process.module_path = std::u16string(kKit) + u"\\Uninstall.exe";
    process.current_directory = kKit;
    std::string error;
    app_machine_ = sim::Machine::Open(folder_, process, &error);
    if (!app_machine_) ADD_FAILURE() << error;
    options_.quiet = true;
    options_.all = true;
    options_.remove_usb_driver = true;
  }
  ~UninstallProgramRun() override {
    app_machine_.reset();
    TearDown();
  }
  void TestBody() override {}
  sim::Machine& machine() override { return *app_machine_; }
  // Read from the machine's state, not through a call the sweep counts.
  sim::Json State() {
    sim::Json s;
    std::string error;
    if (app_machine_->store().Read(&s, &error) != sim::StoreError::kNone) ADD_FAILURE() << error;
    return s;
  }
  bool SpoolerRunning() {
    const sim::Json s = State();
    for (const auto& [name, service] : s["services"].items())
      if (name == "Spooler") return service.value("state", kServiceRunning) == kServiceRunning;
    return false;
  }
  // The USB installer started with its removal action.
  bool UsbRemovalStarted() {
    const sim::Json s = State();
    for (const auto& launch : s.value("launches", sim::Json::array()))
      if (launch.value("file", "").find("Install.exe") != std::string::npos && launch.value("parameters", "") == "22")
        return true;
    return false;
  }

  RoadResult Run() override {
    std::ostringstream log, err;
    quiet::QuietUninstallHost host(options_, &log);
    CUninstallPrinterApp::Options options;
    options.platform = &app_machine_->platform();
    // The quiet run removes the USB driver without asking the printer; the
    // window offers it only when the probe finds one.
    options.usb_removal_without_printer = !window_ && options_.remove_usb_driver;
    options.host = host.Host();
    CUninstallPrinterApp app(std::move(options));
    const UninstallStart start = app.Run();
    RoadResult result;
    result.exit_status = window_ ? ReportEnding(UninstallEnding(start, "", app.dialog()), err)
                                 : host.ExitCode(start, app.dialog(), err);
    std::istringstream lines(log.str() + err.str());
    for (std::string line; std::getline(lines, line);) result.messages.push_back(line);
    // Anything of the family the uninstaller still lists is not removed; a
    // spooler left stopped, or the USB driver's removal never started, is
    // no whole end either.
    result.failed = !BuildComponentList(Context()).empty() || !SpoolerRunning() || !UsbRemovalStarted();
    return result;
  }

 private:
  bool window_;
  quiet::QuietOptions options_;
  std::unique_ptr<sim::Machine> app_machine_;
};

// What a full removal deletes from the registry and must not leave: setup's
// records and the family's monitors' keys.
const std::vector<std::string> kRemovedRegistry = {"HKLM\\SOFTWARE\\VELDRAN",
                                                   "HKLM\\SYSTEM\\CurrentControlSet\\Control\\Print\\Monitors"};

// Ends by design, for every road: the call with its subject and the step.
std::map<std::string, std::string> ByDesign() {
  std::map<std::string, std::string> ends;
  // Without the drivers' list a family driver no printer uses cannot be seen.
  ends["EnumPrinterDrivers 'Windows x64'"] =
      "listing at the start: a family driver no printer uses may be among the drivers, so the run ends 1 \"not "
      "listed\" though nothing of the family stays";
  // Any printer that cannot be read may be of the family.
  for (const char* call : {"OpenPrinter", "GetPrinter"})
    ends[std::string(call) + " 'Acme Label 2000'"] =
        "listing at the start: a printer that cannot be read may be of the family, so the run ends 1 \"not listed\" "
        "though nothing of the family stays";
  return ends;
}

// The spooler's restart: the run has just stopped it, so "already running"
// (1056) comes only after another program started it again, and then it
// runs. The sweep would leave it stopped behind that answer.
const std::map<std::string, std::pair<std::uint32_t, std::string>> kImpossible = {
    {"StartService 'Spooler'",
     {win32::kErrorServiceAlreadyRunning,
      "the spooler's restart after the run stopped it: 1056 means another program started it, and it runs"}},
};

TEST(UninstallSweep, EveryCallOfAFullUninstallFailing) {
  sim::testing::SweepFigures figures;
  for (const char* preset : {"win7-x64-en", "winxp-x86-en"}) {
    if (figures.roads == kSweepRoads) break;
    Road road;
    road.name = std::string("full uninstall (") + preset + ")";
    // Each component is removed on its own: a later removal's success text
    // may follow an earlier one's failure.
    road.outcome_is_last_message = false;
    // The uninstaller reads its configuration and texts again for every
    // line it logs: each read is failed where it is made first and last.
    road.fail_repeats = false;
    road.known_findings = ByDesign();
    road.compared_registry = kRemovedRegistry;
    road.impossible_answers = kImpossible;
    // This road builds the list itself from the configuration; the program
    // refuses an unreadable Uninstall.ini at its start (the roads below).
    road.other_done_end["ReadFile 'C:\\kit\\DRVCONFIG\\Uninstall.ini'"] =
        "reading Uninstall.ini at the start: the road lists without it; the program ends 2 there";
    road.make = [preset] { return std::make_unique<UninstallRoadRun>(preset); };
    sim::testing::SweepRoad(road, &figures);
  }
  // The program's exit status after every failure: the quiet run, then the
  // window.
  for (const bool window : {false, true}) {
    if (figures.roads == kSweepRoads) break;
    Road road;
    road.name = std::string("Uninstall ") + (window ? "window" : "--quiet --all --remove-usb-driver") + " (win7-x64-en)";
    road.outcome_is_last_message = false;
    road.fail_repeats = false;
    // The USB probe failing ("Get Device ID error") disables the USB
    // driver's removal as the window does; the run ends done without it.
    road.exit_zero_expected["GetDescriptor ''"] =
        "the USB probe at the start: a failed probe leaves the USB driver, and the run ends done";
    road.known_findings = ByDesign();
    road.compared_registry = kRemovedRegistry;
    road.impossible_answers = kImpossible;
    // The window's USB probe at its opening: a printer that does not answer
    // is no printer, and the window offers no USB driver removal.
    if (window) {
      road.exit_zero_expected["OpenDeviceX ''"] =
          "the window's USB probe at its opening: no printer answers, so no USB driver removal is offered";
    }
    road.make = [window] { return std::make_unique<UninstallProgramRun>("win7-x64-en", window); };
    sim::testing::SweepRoad(road, &figures);
  }
  figures.Print("uninstall sweep");
  EXPECT_GT(figures.runs, 0);
  EXPECT_EQ(figures.findings, std::vector<std::string>{});
}

}  // namespace
}  // namespace kit::uninstall
