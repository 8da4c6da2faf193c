// Contract environment on the virtual machine: a fresh Windows 7 x64 machine
// in a temporary folder for every test, used by a native 64-bit process.
#include <unistd.h>

#include <atomic>
#include <cstdlib>
#include <filesystem>

#include "platform/sim/scratch_machine.h"
#include "tests/platform/contract/contract_env.h"

namespace kit::contract {
namespace {

class SimEnv final : public ContractEnv {
 public:
  SimEnv() {
    sim::ScratchOptions options;
    options.process.bits = 64;
    options.process.module_path = u"C:\\kit\\contract.exe";
    std::string error;
    machine_ = sim::ScratchMachine::Create(options, &error);
    if (!machine_) std::abort();
    // A driver the spooler accepts: its files in the driver folder.
    auto& p = machine_->platform();
    WString dir;
    p.spooler.GetPrinterDriverDirectory(u"", u"", &dir);
    for (const char16_t* f : {u"\\unidrv.dll", u"\\test.gpd", u"\\unidrvui.dll"}) {
      p.files.WriteFile(dir + f, Bytes{'M', 'Z'}, WriteMode::kCreateAlways);
    }
    DriverInfo3 d;
    d.name = u"Kit Contract Text Driver";
    d.driver_path = u"unidrv.dll";
    d.data_file = u"test.gpd";
    d.config_file = u"unidrvui.dll";
    if (!p.spooler.AddPrinterDriver(u"", d)) std::abort();
    p.files.CreateDirectory(u"C:\\scratch");
  }
  Platform& platform() override { return machine_->platform(); }
  WString ScratchFolder() override { return u"C:\\scratch"; }
  WString UniqueName(WStringView stem) override {
    static std::atomic<int> counter{0};
    return WString(stem) + u"_" + FromUtf8(std::to_string(::getpid())) + u"_" + FromUtf8(std::to_string(++counter));
  }
  WString TestDriverName() override { return u"Kit Contract Text Driver"; }
  WString TestPortName() override { return u"LPT3:"; }
  bool IsWine() const override { return false; }
  bool BecomeStandardUser() override {
    std::string message;
    machine_->machine().store().Update(
        [](sim::Json& s) {
          s["system"]["admin"] = false;
          return true;
        },
        &message);
    return !p().system.IsAdministrator();
  }

  WString UsbLibraryFolder(const std::vector<UsbPrinter>& printers) override {
    std::string message;
    machine_->machine().store().Update(
        [&](sim::Json& s) {
          auto& devices = s["devices"];
          for (const auto& printer : printers) {
            const std::uint32_t inst = devices.value("next_inst", 2u);
            devices["next_inst"] = inst + 1;
            devices["list"].push_back({{"inst", inst},
                                       {"instance_id", "USB\\VID_7A5C&PID_1000\\C" + std::to_string(inst)},
                                       {"hardware_ids", sim::Json::array()},
                                       {"class", "USB"},
                                       {"plugged", true},
                                       {"installed", true},
                                       {"usb",
                                        {{"vid", printer.vid},
                                         {"pid", printer.pid},
                                         {"release", printer.release},
                                         {"kvusb", true},
                                         {"enum_text", printer.list_text},
                                         {"writes", sim::Json::array()}}}});
          }
          return true;
        },
        &message);
    // The machine answers the calls itself; the files need only be there.
    p().files.CreateDirectory(u"C:\\scratch\\usb");
    for (const char16_t* library : {kKvUsbIntDll, kUsbPrintDll}) {
      p().files.WriteFile(u"C:\\scratch\\usb\\" + WString(library), Bytes{'M', 'Z'}, WriteMode::kCreateAlways);
    }
    return u"C:\\scratch\\usb";
  }

 private:
  Platform& p() { return machine_->platform(); }
  std::unique_ptr<sim::ScratchMachine> machine_;
};

}  // namespace

std::unique_ptr<ContractEnv> MakeContractEnv() { return std::make_unique<SimEnv>(); }

}  // namespace kit::contract
