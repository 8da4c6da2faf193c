// Contract environment on the virtual machine: a fresh Windows 7 x64 machine
// in a temporary folder for every test, used by a native 64-bit process, or
// by a 32-bit one (WOW64) when KIT_CONTRACT_PROCESS_BITS is 32.
#include <unistd.h>

#include <atomic>
#include <cstdlib>
#include <cstring>
#include <filesystem>

#include "platform/sim/scratch_machine.h"
#include "tests/platform/contract/contract_env.h"

namespace kit::contract {
namespace {

constexpr char kProcessBitsVariable[] = "KIT_CONTRACT_PROCESS_BITS";

class SimEnv final : public ContractEnv {
 public:
  SimEnv() {
    sim::ScratchOptions options;
    const char* bits = std::getenv(kProcessBitsVariable);
    options.process.bits = bits && std::strcmp(bits, "32") == 0 ? 32 : 64;
    options.process.module_path = u"C:\\kit\\contract.exe";
    std::string error;
    machine_ = sim::ScratchMachine::Create(options, &error);
    if (!machine_) std::abort();
    // A driver the spooler accepts, in the process's own environment and,
    // for a 32-bit process, in the machine's one too (the one its printers
    // use), as a 64-bit server keeps a 32-bit driver for its 32-bit clients.
    auto& p = machine_->platform();
    std::vector<WString> environments = {u""};
    if (options.process.bits == 32) environments.push_back(kEnvironmentX64);
    for (const WString& env : environments) {
      WString dir;
      p.spooler.GetPrinterDriverDirectory(u"", env, &dir);
      DriverInfo3 d;
      d.name = u"Kit Contract Text Driver";
      d.environment = env;
      if (!LayTestDriverFiles(dir, &d) || !p.spooler.AddPrinterDriver(u"", d)) std::abort();
    }
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
  bool LayTestDriverFiles(const WString& folder, DriverInfo3* driver) override {
    auto& p = machine_->platform();
    for (const char16_t* f : {u"\\unidrv.dll", u"\\test.gpd", u"\\unidrvui.dll"}) {
      if (!p.files.WriteFile(folder + f, Bytes{'M', 'Z'}, WriteMode::kCreateAlways)) return false;
    }
    driver->driver_path = u"unidrv.dll";
    driver->data_file = u"test.gpd";
    driver->config_file = u"unidrvui.dll";
    return true;
  }
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
