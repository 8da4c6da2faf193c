// Install, the USB device-driver installer, under the fault sweep: the Linux
// program started with an action as the wizard starts it, on a machine with
// the kit's packages in the 64-bit program folder, run once per Windows
// call it makes with that call failing. Every run must end without a crash
// within its time, say what failed where its action reports failures, leave
// the foreign printer alone, and end with an exit status that says failure
// when the action's work is not done.
#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <memory>

#include "platform/sim/machine.h"
#include "platform/sim/presets.h"
#include "tests/platform/sim/fault_sweep.h"

namespace kit::usbinstall {
namespace {

namespace fs = std::filesystem;
using sim::testing::Road;
using sim::testing::RoadResult;

constexpr char16_t kProgramFolder64[] = u"C:\\kit\\USBDrv\\USBDriver_x64";
// A family printer on USB, as Windows lists it.
const std::vector<std::string> kPrinterIds = {"USB\\VID_7A5C&PID_1002&REV_0100", "USB\\VID_7A5C&PID_1002"};

struct ActionRoad {
  const char* name;
  const char* action;
  bool plugged;  // a family printer is connected
  // Whether the action's work is done on the machine.
  bool (*done)(const sim::Json& state);
};

// Action 8: a root device for a network port, with its driver.
bool RootDeviceWithDriver(const sim::Json& s) {
  for (const auto& d : s["devices"]["list"])
    if (d.value("root", false) && d.value("installed", true) && !d.value("driver_inf", std::string()).empty())
      return true;
  return false;
}

// Action 2: the connected printer updated, or else the package pre-installed
// into the driver store.
bool PrinterDriverInPlace(const sim::Json& s) {
  for (const auto& d : s["devices"]["list"])
    if (d.value("hardware_ids", sim::Json::array()) == sim::Json(kPrinterIds) &&
        !d.value("driver_inf", std::string()).empty())
      return true;
  return !s["devices"].value("store", sim::Json::array()).empty();
}

[[noreturn]] void Abort(const std::string& what) {
  std::fprintf(stderr, "Install sweep: %s\n", what.c_str());
  std::abort();
}

fs::path WorkFolder() {
  static const fs::path folder = fs::temp_directory_path() / ("kit-usbinstall-sweep-" + std::to_string(::getpid()));
  return folder;
}

// The machine every run of a road starts from.
fs::path TemplateMachine(const ActionRoad& road) {
  const fs::path folder = WorkFolder() / (std::string("template-") + (road.plugged ? "plugged" : "bare"));
  if (fs::exists(folder)) return folder;
  std::string error;
  if (!sim::CreateMachine(folder, "win7-x64-en", true, &error)) Abort("cannot create the machine: " + error);
  sim::ProcessOptions process;
  process.bits = 64;
  auto machine = sim::Machine::Open(folder, process, &error);
  if (!machine) Abort(error);
  Platform& p = machine->platform();
  for (const char16_t* dir : {u"C:\\kit", u"C:\\kit\\USBDrv", kProgramFolder64}) p.files.CreateDirectory(dir);
  for (const auto& entry : fs::directory_iterator(KIT_USBINSTALL_DATA)) {
    if (!entry.is_regular_file()) continue;
    std::ifstream in(entry.path(), std::ios::binary);
    const Bytes bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    if (!p.files.WriteFile(WString(kProgramFolder64) + u"\\" + FromUtf8(entry.path().filename().string()), bytes,
                           WriteMode::kCreateAlways))
      Abort("cannot place " + entry.path().string());
  }
  sim::testing::AddForeignPrinter(*machine);
  if (road.plugged) {
    machine->store().Update(
        [&](sim::Json& s) {
          auto& devices = s["devices"];
          const std::uint32_t inst = devices.value("next_inst", 2u);
          devices["next_inst"] = inst + 1;
          devices["list"].push_back({{"inst", inst},
                                     {"instance_id", kPrinterIds.front() + "\\" + std::to_string(inst)},
                                     {"class", "USB"},
                                     {"class_guid", "{36FC9E60-C465-11CF-8056-444553540000}"},
                                     {"hardware_ids", kPrinterIds},
                                     {"plugged", true},
                                     {"installed", true}});
          return true;
        },
        &error);
  }
  return folder;
}

class ActionRun final : public sim::testing::RoadRun {
 public:
  explicit ActionRun(const ActionRoad& road) : road_(road) {
    // A folder of this process's own: the sweep spreads its runs over processes.
    folder_ = WorkFolder() / ("run-" + std::to_string(::getpid()));
    std::error_code ec;
    fs::remove_all(folder_, ec);
    fs::copy(TemplateMachine(road), folder_, fs::copy_options::recursive, ec);
    if (ec) Abort("cannot copy the machine: " + ec.message());
    std::string error;
    sim::ProcessOptions process;
    process.bits = 64;
    machine_ = sim::Machine::Open(folder_, process, &error);
    if (!machine_) Abort(error);
  }
  ~ActionRun() override {
    machine_.reset();
    std::error_code ec;
    fs::remove_all(folder_, ec);
  }
  sim::Machine& machine() override { return *machine_; }

  RoadResult Run() override {
    const sim::testing::ProgramRun program = sim::testing::RunProgram(
        std::string("'") + KIT_INSTALL_PROGRAM + "' --machine '" + folder_.string() + "' " + road_.action,
        folder_);
    RoadResult result;
    result.messages = program.lines;
    result.exit_status = program.exit_status;
    result.ended = program.exit_status.has_value();
    crashes_ = program.crashes;
    sim::Json state;
    std::string error;
    if (machine_->store().Read(&state, &error) != sim::StoreError::kNone) Abort(error);
    result.failed = !road_.done(state);
    return result;
  }
  std::vector<std::string> Untruths() override { return crashes_; }

 private:
  const ActionRoad& road_;
  fs::path folder_;
  std::unique_ptr<sim::Machine> machine_;
  std::vector<std::string> crashes_;
};

TEST(InstallProgramSweep, EveryCallOfItsInstallActionsFailing) {
  static const ActionRoad kRoads[] = {
      {"Install 8 (a network port's root device, Windows 7 x64)", "8", false, RootDeviceWithDriver},
      {"Install 8-2 (two network ports' root devices, Windows 7 x64)", "8-2", false, RootDeviceWithDriver},
      {"Install 2 (a family printer connected, Windows 7 x64)", "2", true, PrinterDriverInPlace},
  };
  sim::testing::SweepFigures figures;
  for (const ActionRoad& r : kRoads) {
    Road road;
    road.name = r.name;
    // The progress lines come first whatever happens; a failure adds its
    // box and line after them.
    road.outcome_is_last_message = false;
    // The connected printer's update failing pre-installs the package into
    // the driver store instead: Windows binds it when the printer is plugged
    // in again (the action's other done state).
    for (const char* call : {"UpdateDriverForPlugAndPlayDevices 'USB\\VID_7a5c&PID_1002'",
                             "ReadFile 'C:\\kit\\USBDrv\\USBDriver_x64\\KVPUSB.INF'"})
      road.other_done_end[call] = "updating the connected printer: the package is pre-installed into the store instead";
    road.make = [&r] { return std::make_unique<ActionRun>(r); };
    sim::testing::SweepRoad(road, &figures);
  }
  figures.Print("Install sweep");
  EXPECT_GT(figures.runs, 0);
  EXPECT_EQ(figures.findings, std::vector<std::string>{});
}

}  // namespace
}  // namespace kit::usbinstall
