#include "setup/engine/components.h"

#include "common/oscode/os_code.h"
#include "common/strings/print_processor.h"
#include "setup/engine/copy_driver_file.h"
#include "setup/pages/confirm_page.h"

namespace kit::setup {
namespace {

// The installed version of a component: nullopt when its key is missing,
// 0 when the key has no version.
std::optional<std::uint32_t> InstalledVersion(EngineContext& ctx, const std::string& key) {
  RegistryKeyPtr open;
  if (ctx.platform.registry.RegOpenKeyEx(RootKey::kLocalMachine, ctx.Wide(key), ctx.KeyAccess(), &open) !=
      win32::kErrorSuccess)
    return std::nullopt;
  std::uint32_t version = 0;
  if (open->GetDword(kDriverVersionValue, &version) != win32::kErrorSuccess) return 0u;
  return version;
}

bool Outdated(std::optional<std::uint32_t> installed, int version) {
  return static_cast<std::int64_t>(*installed) < version;
}

WString MonitorEnvironment(const EngineContext& ctx) {
  return ctx.os_code == kOsWin9x ? WString(kEnvironmentWin40) : WString();
}

// Registers a monitor that is not registered yet: its DLL (and UI DLL)
// into the system folder, AddMonitor, then its version.
bool RegisterMonitor(EngineContext& ctx, const MonitorConfig& monitor, bool with_ui_dll) {
  std::string dll;
  if (!CopyMonitorDll(ctx, monitor.dll, &dll)) return false;
  if (with_ui_dll && !monitor.ui_dll.empty() && !CopyRequiredFile(ctx, monitor.ui_dll, kDestSystemFolder)) {
    return false;
  }
  const MonitorInfo2 info{ctx.Wide(monitor.name), MonitorEnvironment(ctx), ctx.Wide(dll)};
  if (!ctx.platform.spooler.AddMonitor(u"", info)) {
    const win32::Error error = ctx.platform.system.GetLastError();
    if (error != win32::kErrorPrintMonitorAlreadyInstalled && error != win32::kErrorAlreadyExists) {
      ctx.Fail(ctx.Message("IDS_ERR_ADDMONITOR") + std::string(kLineBreak) + ctx.SystemText(error));
      return false;
    }
  }
  return WriteComponentKey(ctx, MonitorKey(monitor.name), monitor.version);
}

// A monitor that is registered gives `outdated_flag` when its version is
// below the kit's; one that is not is registered. kMonitorFailed on failure.
int InstallMonitor(EngineContext& ctx, const MonitorConfig& monitor, bool with_ui_dll, int outdated_flag) {
  const auto installed = InstalledVersion(ctx, MonitorKey(monitor.name));
  if (installed) return Outdated(installed, monitor.version) ? outdated_flag : 0;
  return RegisterMonitor(ctx, monitor, with_ui_dll) ? 0 : kMonitorFailed;
}

}  // namespace

std::string MonitorKey(std::string_view monitor_name) { return std::string(kMonitorsKey) + std::string(monitor_name); }

std::string ProcessorEnvironment(const EngineContext& ctx) { return ctx.Ansi(ctx.Environment()); }

std::string ProcessorKey(const EngineContext& ctx, std::string_view processor_name) {
  return std::string(kEnvironmentsKey) + ProcessorEnvironment(ctx) + std::string(kPrintProcessorsSubkey) +
         std::string(processor_name);
}

bool WriteComponentKey(EngineContext& ctx, const std::string& key, int version, std::string_view dll) {
  RegistryKeyPtr open;
  if (ctx.platform.registry.RegCreateKeyEx(RootKey::kLocalMachine, ctx.Wide(key), ctx.KeyAccess(), &open) !=
      win32::kErrorSuccess)
    return false;
  bool ok = open->SetDword(kDriverVersionValue, static_cast<std::uint32_t>(version)) == win32::kErrorSuccess;
  if (!dll.empty()) ok = open->SetString(kDriverValue, ctx.Wide(dll)) == win32::kErrorSuccess && ok;
  return ok;
}

bool CopyMonitorDll(EngineContext& ctx, std::string_view dll, std::string* dll_in_use) {
  std::string target;
  int result = CopyDriverFile(ctx, dll, kDestSystemFolder, false, &target);
  std::string name = ctx.Ansi(ToUpperAscii(ctx.Wide(dll)));
  if (result == kCopyInUse || result == kCopyAccessDenied) {
    result = CopyDriverFile(ctx, dll, kDestSystemFolder, true, &target);
    if (result == kCopyInUse || result == kCopyAccessDenied) {
      // The side-by-side name is refused too: only a restart frees the file.
      ctx.Fail(ctx.Message("IDS_ERR_NEEDRESTART"));
      return false;
    }
    name = std::string(kInUsePrefix) + name;
  }
  if (result != kCopyDone) return false;
  *dll_in_use = name;
  return true;
}

int InstallPortMonitors(EngineContext& ctx, int port_kind, const MonitorSet& monitors) {
  if (port_kind == kPortSerial && !monitors.serial.dll.empty() && ctx.os_code != kOsWin9x) {
    return InstallMonitor(ctx, monitors.serial, true, kUpdateSerialMonitor);
  }
  if (port_kind == kPortUsb && !monitors.usb.dll.empty() && ctx.os_code != kOsNt4) {
    return InstallMonitor(ctx, monitors.usb, true, kUpdateUsbMonitor);
  }
  return 0;
}

int InstallLanguageMonitor(EngineContext& ctx, int port_kind, const MonitorConfig& monitor) {
  if (port_kind != kPortUsb || ctx.os_code == kOsNt4 || monitor.name.empty()) return 0;
  return InstallMonitor(ctx, monitor, false, kUpdateLanguageMonitor);
}

int InstallPrintProcessor(EngineContext& ctx, std::string_view processor_name, std::string_view processor_dll,
                          int version) {
  if (IsSystemPrintProcessor(processor_name)) return 0;
  const std::string key = ProcessorKey(ctx, processor_name);
  if (const auto installed = InstalledVersion(ctx, key)) return Outdated(installed, version) ? kUpdateProcessor : 0;

  std::string dll = std::string(processor_dll);
  if (!processor_dll.empty()) {
    std::string target;
    int result = CopyDriverFile(ctx, processor_dll, kDestProcessorFolder, false, &target);
    dll = ctx.Ansi(ToUpperAscii(ctx.Wide(processor_dll)));
    if ((result == kCopyInUse || result == kCopyAccessDenied) && ctx.os_code == kOsWin9x) {
      // Windows 9x: the processor DLL in use is replaced side by side, as the monitors are.
      result = CopyDriverFile(ctx, processor_dll, kDestProcessorFolder, true, &target);
      if (result == kCopyInUse || result == kCopyAccessDenied) {
        ctx.Fail(ctx.Message("IDS_ERR_NEEDRESTART"));
        return kProcessorFailed;
      }
      dll = std::string(kInUsePrefix) + dll;
    }
    if (result == kCopyInUse || result == kCopyAccessDenied) {
      ctx.Fail(CopyFailureText(ctx, target, result == kCopyInUse ? win32::kErrorSharingViolation
                                                                 : win32::kErrorAccessDenied));
    }
    if (result != kCopyDone) return kProcessorFailed;
  }
  if (!ctx.platform.spooler.AddPrintProcessor(u"", ctx.Environment(), ctx.Wide(dll), ctx.Wide(processor_name))) {
    ctx.Fail(ctx.Message("IDS_ERR_ADDPROCESSOR"));
    return kProcessorFailed;
  }
  WriteComponentKey(ctx, key, version);
  ctx.platform.clock.Sleep(kAfterProcessorMs);
  return 0;
}

}  // namespace kit::setup
