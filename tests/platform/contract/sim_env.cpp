// Contract environment on the virtual machine: a fresh Windows 7 x64 machine
// in a temporary folder for every test, used by a native 64-bit process.
#include <unistd.h>

#include <atomic>
#include <cstdlib>
#include <filesystem>

#include "platform/sim/machine.h"
#include "platform/sim/presets.h"
#include "tests/platform/contract/contract_env.h"

namespace kit::contract {
namespace {

class SimEnv final : public ContractEnv {
 public:
  SimEnv() {
    char pattern[] = "/tmp/kit-contract-XXXXXX";
    folder_ = ::mkdtemp(pattern);
    std::string error;
    if (!sim::CreateMachine(folder_, "win7-x64-en", true, &error)) std::abort();
    sim::ProcessOptions process;
    process.bits = 64;
    process.module_path = u"C:\\kit\\contract.exe";
    machine_ = sim::Machine::Open(folder_, process, &error);
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
  ~SimEnv() override {
    machine_.reset();
    std::error_code ec;
    std::filesystem::remove_all(folder_, ec);
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

 private:
  std::filesystem::path folder_;
  std::unique_ptr<sim::Machine> machine_;
};

}  // namespace

std::unique_ptr<ContractEnv> MakeContractEnv() { return std::make_unique<SimEnv>(); }

}  // namespace kit::contract
