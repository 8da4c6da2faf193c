// Opening a virtual machine and assembling its Platform.
#include "platform/sim/machine.h"

#include <cstdlib>

#include "platform/sim/core.h"

namespace kit::sim {
namespace {

class MachineImpl final : public Machine {
 public:
  MachineImpl(std::filesystem::path folder, ProcessOptions process)
      : core_(std::move(folder), std::move(process)),
        system_(MakeSystemFacts(core_)),
        files_(MakeFiles(core_)),
        registry_(MakeRegistry(core_)),
        spooler_(MakeSpooler(core_, *files_)),
        services_(MakeServices(core_)),
        devices_(MakeDevices(core_, *files_)),
        usb_(MakeUsbLibraries(core_)),
        clock_(MakeClock(core_)),
        shell_(MakeShell(core_, *clock_)),
        platform_{*system_, *files_, *registry_, *spooler_, *services_, *devices_, *usb_, *shell_, *clock_} {}

  Platform& platform() override { return platform_; }
  Store& store() override { return core_.store(); }
  const ProcessOptions& process() const override { return core_.process(); }
  std::filesystem::path HostPath(WStringView windows_path) override { return core_.HostPathOf(windows_path); }
  std::uint64_t SleptMilliseconds() override {
    Json state;
    if (!core_.Read(&state)) return 0;
    return state["clock"].value("slept_ms", std::uint64_t{0});
  }

 private:
  Core core_;
  std::unique_ptr<SystemFacts> system_;
  std::unique_ptr<Files> files_;
  std::unique_ptr<Registry> registry_;
  std::unique_ptr<Spooler> spooler_;
  std::unique_ptr<Services> services_;
  std::unique_ptr<Devices> devices_;
  std::unique_ptr<UsbLibraries> usb_;
  std::unique_ptr<Clock> clock_;
  std::unique_ptr<Shell> shell_;
  Platform platform_;
};

}  // namespace

std::unique_ptr<Machine> Machine::Open(const std::filesystem::path& folder, const ProcessOptions& process,
                                       std::string* error) {
  Store store(folder);
  std::string message;
  if (store.Check(&message) != StoreError::kNone) {
    if (error) *error = message;
    return nullptr;
  }
  if (process.bits != 32 && process.bits != 64) {
    if (error) *error = "a simulated process is 32-bit or 64-bit";
    return nullptr;
  }
  return std::make_unique<MachineImpl>(folder, process);
}

int NativeProcessBits(const std::filesystem::path& folder, std::string* error) {
  auto probe = Machine::Open(folder, ProcessOptions(), error);
  if (!probe) return 0;
  SystemInfo native;
  probe->platform().system.GetNativeSystemInfo(&native);
  return native.processor_architecture == kProcessorArchitectureAmd64 ? 64 : 32;
}

std::unique_ptr<Machine> Machine::OpenFromEnvironment(std::string* error) {
  const char* folder = std::getenv(kEnvMachine);
  if (folder == nullptr || *folder == 0) {
    if (error) *error = std::string("no virtual machine given (set ") + kEnvMachine + ")";
    return nullptr;
  }
  ProcessOptions process;
  if (const char* v = std::getenv(kEnvModulePath)) process.module_path = FromUtf8(v);
  if (const char* v = std::getenv(kEnvCommandLine)) process.command_line = FromUtf8(v);
  if (const char* v = std::getenv(kEnvCurrentDirectory)) process.current_directory = FromUtf8(v);
  if (const char* v = std::getenv(kEnvProcessBits)) process.bits = std::string(v) == "64" ? 64 : 32;
  if (const char* v = std::getenv(kEnvAccount)) process.account = FromUtf8(v);
  return Open(folder, process, error);
}

std::string RefusalText(Platform& platform, win32::Error code) {
  WString message = platform.system.FormatMessage(code);
  while (!message.empty() && (message.back() == u'\n' || message.back() == u'\r')) message.pop_back();
  std::string text = ToUtf8(message);
  if (!text.empty()) text += ' ';
  return text + "(error " + std::to_string(code) + ")";
}

}  // namespace kit::sim
