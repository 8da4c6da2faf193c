#include "setup/printer/printer_settings.h"

#include <cstdio>

#include "common/oscode/os_code.h"
#include "platform/default_printer.h"
#include "setup/engine/copy_driver_file.h"
#include "setup/engine/spooler_control.h"
#include "setup/printer/serial_port_class.h"

namespace kit::setup {
namespace {

constexpr std::string_view kSerialPrefix = "COM";

}  // namespace

bool SetDefaultPrinter(EngineContext& ctx, std::string_view printer_name) {
  Platform& p = ctx.platform;
  const DefaultPrinterCalls calls{p.system, p.spooler, p.shell, [&p](WStringView section, WStringView key,
                                                                     WStringView value) {
                                    return p.files.WriteProfileString(section, key, value);
                                  }};
  return MakeDefaultPrinter(calls, ctx.Wide(printer_name));
}

void SetPrinterSpoolFolder(EngineContext& ctx, std::string_view printer_name) {
  const WString system = ctx.platform.system.GetSystemDirectory();
  if (system.empty()) return;
  // The system folder's own spool folder: right wherever Windows lives.
  const WString spool = system + ctx.Wide(kSpoolSubfolder);
  RegistryKeyPtr key;
  const std::string path = std::string(kPrintersKey) + std::string(printer_name);
  if (ctx.platform.registry.RegCreateKeyEx(RootKey::kLocalMachine, ctx.Wide(path), ctx.KeyAccess(), &key) !=
      win32::kErrorSuccess)
    return;
  key->SetString(kSpoolDirectoryValue, spool);
  key.reset();

  // The restart: a stop request, a pause, a start request; then make sure it
  // runs, starting it once more when it had not finished stopping.
  EngineContext quiet = ctx;
  quiet.error_text.clear();
  StopSpooler(quiet);
  ctx.platform.clock.Sleep(kSpoolRestartPauseMs - kAfterStopMs);
  StartSpooler(quiet);
  if (WaitForSpooler(quiet) != kServiceRunning) {
    StartSpooler(quiet);
    WaitForSpooler(quiet);
  }
}

std::string FormatSerialSettings(const SerialSettings& s) {
  // Stop bits are 1, 1.5 or 2: printed from tenths, so no locale can turn
  // the point into a comma.
  const int tenths = static_cast<int>(s.stop_bits * 10 + 0.5);
  char stop[16];
  if (tenths % 10 == 0) {
    std::snprintf(stop, sizeof stop, "%d", tenths / 10);
  } else {
    std::snprintf(stop, sizeof stop, "%d.%d", tenths / 10, tenths % 10);
  }
  char text[64];
  std::snprintf(text, sizeof text, "%d,%c,%d,%s,%c", s.baud_rate, s.parity, s.data_bits, stop, s.flow);
  return text;
}

std::string SerialValueName(std::string_view port_name) {
  const auto at = port_name.find(kSerialPrefix);
  return at == std::string_view::npos ? std::string() : std::string(port_name.substr(at));
}

bool WriteSerialSettings(EngineContext& ctx, std::string_view port_name, const SerialSettings& settings) {
  const std::string name = SerialValueName(port_name);
  if (name.empty()) return true;
  const WString value = ctx.Wide(FormatSerialSettings(settings));
  if (ctx.os_code == kOsWin9x) {
    if (ctx.platform.files.WriteProfileString(kPortsSection, ctx.Wide(name), value)) {
      ctx.platform.shell.BroadcastSettingChange(kPortsSection, kSettingChangeTimeoutMs);
    }
    WriteSerialPortClass(ctx, name, settings);
    return true;
  }
  RegistryKeyPtr key;
  win32::Error error =
      ctx.platform.registry.RegOpenKeyEx(RootKey::kLocalMachine, ctx.Wide(kSerialPortsKey), ctx.KeyAccess(), &key);
  if (error == win32::kErrorSuccess) error = key->SetString(ctx.Wide(name), value);
  // Without the value the port runs at Windows' defaults, not the speed and
  // framing chosen for the printer: the install says so and fails.
  if (error != win32::kErrorSuccess) {
    ctx.Fail(std::string(kSerialSettingsErrorText) + name + std::string(kLineBreak) + ctx.SystemText(error));
    return false;
  }
  return true;
}

}  // namespace kit::setup
