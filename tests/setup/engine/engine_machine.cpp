#include "tests/setup/engine/engine_machine.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "setup/app/system_detection.h"
#include "ui/text.h"
#include "tests/read_limit.h"

namespace kit::setup::testing {
namespace fs = std::filesystem;

const char* const kSamplePayload[] = {
    "UNIDRV.DLL",   "UNIDRVUI.DLL",  "UNIDRV.HLP",     "TTFSUB.GPD",       "STDNAMES.GPD",        "UNIRES.DLL",
    "VRTQ40G.GPD",  "VRTQ40S.GPD",   "VRTQ40UI.DLL",   "VRTQ40R.DLL",      "VRTQ40.INI",          "VRTQ40CONTROL.DAT",
    "LANGUAGE_VRTQ40.DAT", "ENG_VRTQ40.RES", "CHN_VRTQ40.RES", "CHF_VRTQ40.RES", "KVRPRT32.DLL", "KVRPRT64.DLL", "KVRCOMMON.DLL",      "KVRCOMUI.DLL",
    "KVRUSBMON.DLL", "KVRUSBUI.DLL", "KVRLMON.DLL",    "SRCLIENT.DLL",     "FRAMEDYN.DLL",        "NEWDEV.DLL",
    "ICONLIB.DLL",  "VRTD45G.GPD",   "VRTD45S.GPD",    "VRTD45R.DLL",      "VRTD45.INI",          nullptr};

namespace {

std::string HostFile(const char* path) {
  std::ifstream in(path, std::ios::binary);
  std::stringstream bytes;
  bytes << in.rdbuf();
  return bytes.str();
}

}  // namespace

std::string PayloadContent(const std::string& text) {
  // The monitors' Linux builds, which the machine's spooler loads as
  // Windows loads a monitor; the text after the module tells the copies
  // apart and leaves it loadable.
  static const std::pair<const char*, std::string> kModules[] = {
      {"KVRCOMMON.DLL", HostFile(KIT_SERIAL_MONITOR_PATH)},
      {"KVRUSBMON.DLL", HostFile(KIT_USB_MONITOR_PATH)},
      {"KVRLMON.DLL", HostFile(KIT_LANGUAGE_MONITOR_PATH)},
  };
  for (const auto& [name, module] : kModules) {
    if (text.size() > 4 && text.substr(4) == name) return module + text;
  }
  return text;
}

EngineMachine::EngineMachine(const std::string& preset) {
  std::string error;
  sim::ScratchOptions options;
  options.preset = preset;
  options.process.module_path = u"C:\\kit\\kitsetup.exe";
  scratch_ = sim::ScratchMachine::Create(options, &error);
  if (!scratch_) {
    ADD_FAILURE() << error;
    std::abort();
  }
  // The kit's configuration and its payload.
  for (const auto& entry : fs::directory_iterator(fs::path(KIT_SETUP_DATA) / "DRVCONFIG")) {
    std::ifstream in(entry.path(), std::ios::binary);
    std::stringstream bytes;
    bytes << in.rdbuf();
    Put("C:\\kit\\DRVCONFIG\\" + entry.path().filename().string(), bytes.str());
  }
  for (const char* const* name = kSamplePayload; *name; ++name) {
    Put(std::string("C:\\kit\\W32\\") + *name, PayloadContent(std::string("W32 ") + *name));
    Put(std::string("C:\\kit\\W64\\") + *name, PayloadContent(std::string("W64 ") + *name));
  }

  SystemFacts& system = platform().system;
  const bool is_64bit = Detect64BitWindows(system);
  source_ = std::make_unique<PlatformFileSource>(platform().files);
  CPrinterInfManager::Options config;
  config.files = source_.get();
  config.package_folder = "C:\\kit";
  config.is_64bit = is_64bit;
  config_ = std::make_unique<CPrinterInfManager>(config);
  ctx_ = std::make_unique<EngineContext>(platform(), texts_, "C:\\kit", DetectOs(system).code, is_64bit);

  windows = ui::ToAnsi(system.GetWindowsDirectory());
  system32 = windows + "\\system32";
  const bool nine_x = ctx_->os_code == 0;
  const std::string env = is_64bit ? "x64" : "w32x86";
  driver_folder = nine_x ? windows + "\\SYSTEM" : system32 + "\\spool\\drivers\\" + env;
  processor_folder = nine_x ? windows + "\\SYSTEM" : system32 + "\\spool\\prtprocs\\" + env;
}

void EngineMachine::Put(const std::string& windows_path, const std::string& content) {
  const fs::path host = machine().HostPath(ui::FromUtf8(windows_path));
  fs::create_directories(host.parent_path());
  std::ofstream(host, std::ios::binary | std::ios::trunc) << content;
}

bool EngineMachine::Exists(const std::string& windows_path) {
  Bytes bytes;
  return platform().files.ReadFile(ui::FromUtf8(windows_path), kTestReadLimit, &bytes) ||
         platform().files.GetFileAttributes(ui::FromUtf8(windows_path)) != kInvalidFileAttributes;
}

std::string EngineMachine::Content(const std::string& windows_path) {
  ScopedFsRedirectionOff native(platform().files);
  Bytes bytes;
  if (!platform().files.ReadFile(ui::FromUtf8(windows_path), kTestReadLimit, &bytes)) return "(missing)";
  return std::string(bytes.begin(), bytes.end());
}

void EngineMachine::Remove(const std::string& windows_path) {
  fs::remove_all(machine().HostPath(ui::FromUtf8(windows_path)));
}

sim::Json EngineMachine::State() {
  sim::Json state;
  std::string message;
  machine().store().Read(&state, &message);
  return state;
}

void EngineMachine::Change(const std::function<void(sim::Json&)>& change) {
  std::string message;
  machine().store().Update(
      [&](sim::Json& s) {
        change(s);
        return true;
      },
      &message);
}

void EngineMachine::PathFault(const std::string& windows_path, std::uint32_t error) {
  Change([&](sim::Json& s) { s["faults"]["paths"].push_back({{"path", windows_path}, {"error", error}}); });
}

void EngineMachine::CallFault(const std::string& api, std::uint32_t error, const std::string& subject, int times) {
  Change([&](sim::Json& s) {
    sim::Json fault = {{"api", api}, {"error", error}, {"remaining", times}};
    if (!subject.empty()) fault["subject"] = subject;
    s["faults"]["calls"].push_back(fault);
  });
}

std::optional<std::uint32_t> EngineMachine::Dword(const std::string& key, const std::string& value) {
  RegistryKeyPtr open;
  if (platform().registry.RegOpenKeyEx(RootKey::kLocalMachine, ui::FromUtf8(key), kKeyReadWrite64, &open) != 0)
    return std::nullopt;
  std::uint32_t data = 0;
  if (open->GetDword(ui::FromUtf8(value), &data) != 0) return std::nullopt;
  return data;
}

std::optional<std::string> EngineMachine::String(const std::string& key, const std::string& value) {
  RegistryKeyPtr open;
  if (platform().registry.RegOpenKeyEx(RootKey::kLocalMachine, ui::FromUtf8(key), kKeyReadWrite64, &open) != 0)
    return std::nullopt;
  WString data;
  if (open->GetString(ui::FromUtf8(value), &data) != 0) return std::nullopt;
  return ui::ToUtf8(data);
}

void EngineMachine::SetDword(const std::string& key, const std::string& value, std::uint32_t data) {
  RegistryKeyPtr open;
  ASSERT_EQ(platform().registry.RegCreateKeyEx(RootKey::kLocalMachine, ui::FromUtf8(key), kKeyReadWrite64, &open), 0u);
  open->SetDword(ui::FromUtf8(value), data);
}

void EngineMachine::SetString(const std::string& key, const std::string& value, const std::string& data) {
  RegistryKeyPtr open;
  ASSERT_EQ(platform().registry.RegCreateKeyEx(RootKey::kLocalMachine, ui::FromUtf8(key), kKeyReadWrite64, &open), 0u);
  open->SetString(ui::FromUtf8(value), ui::FromUtf8(data));
}

}  // namespace kit::setup::testing
