#include "setup/install/install_start.h"

#include "common/oscode/os_code.h"
#include "platform/profile_snapshot.h"
#include "setup/engine/driver_record.h"
#include "setup/engine/spooler_control.h"
#include "setup/pages/confirm_page.h"
#include "setup/printer/install_records.h"
#include "setup/printer/port_names.h"

namespace kit::setup {
namespace {

constexpr std::string_view kPortSectionSuffix = ".PORT";

// The support keys re-checked for the model, in the order they are tested.
struct SupportCheck {
  int os_code;
  std::string_view key;
  std::string_view message;
};
constexpr SupportCheck kSupportChecks[] = {
    {kOsServer2003, "System2003Supported", "IDS_NOTSUPPORT2003"},
    {kOsNt4, "SystemNTSupported", "IDS_NOTSUPPORTNT"},
    {kOsServer2008, "System2008Supported", "IDS_NOTSUPPORT2008"},
    {kOsWin7, "SystemWin7Supported", "IDS_NOTSUPPORTWin7"},
};

// Takes setup.ini and the series file into `snapshot`; false after the
// error box naming the file Windows would not give.
bool TakeConfiguration(EngineContext& ctx, const CPrinterInfManager& config, Series series,
                       ProfileSnapshot& snapshot, InstallPrompts& prompts) {
  for (const std::string& relative : {std::string(kSetupIni), config.SeriesFileFor(series)}) {
    const std::string path = config.PackagePath(relative);
    win32::Error error = win32::kErrorSuccess;
    if (snapshot.Take(ctx.Wide(path), &error)) continue;
    prompts.ErrorBox(std::string(kConfigUnreadableText) + path + std::string(kLineBreak) + ctx.SystemText(error));
    return false;
  }
  return true;
}

// A spooler found stopped (a setup killed while it had stopped it) is
// started, and waited for, before the install's own work: every step of it
// talks to the spooler. False after the error box when it does not run.
bool SpoolerRunning(EngineContext& ctx, InstallPrompts& prompts) {
  if (QuerySpoolerState(ctx) != kServiceStopped) return true;
  if (StartSpooler(ctx) && WaitForSpooler(ctx) == kServiceRunning) return true;
  prompts.ErrorBox(ctx.error_text);
  ctx.error_text.clear();
  return false;
}

// A refusal after the USB driver's install was started is a failure: the
// system has changed, and the user is told what stays.
StartOutcome Refused(EngineContext& ctx, InstallPrompts& prompts) {
  if (!ctx.usb_driver_started) return StartOutcome::kRefused;
  prompts.Notice(kUsbDriverLeftText);
  return StartOutcome::kFailed;
}

}  // namespace

StartOutcome PrepareInstall(EngineContext& ctx, const CPrinterInfManager& read_config, const InstallRequest& request,
                            InstallPrompts& prompts, UsbInstallHooks& usb, InstallPlan* plan) {
  // A text left by an earlier refused attempt must not fail this one.
  ctx.error_text.clear();
  ctx.usb_driver_started = false;
  if (request.model_name.empty() || request.series_index < 0 || request.series_index >= kSeriesCount) {
    prompts.Message("IDS_ERR_SELPRINTER");
    return StartOutcome::kRefused;
  }
  const Series series = static_cast<Series>(request.series_index);
  ProfileSnapshot snapshot(ctx.platform.files, ctx.platform.system);
  if (!TakeConfiguration(ctx, read_config, series, snapshot, prompts)) return StartOutcome::kFailed;
  CPrinterInfManager::Options options = read_config.options();
  options.files = &snapshot;
  const CPrinterInfManager config(options);
  const std::string port_section = request.model_name + std::string(kPortSectionSuffix);
  for (const SupportCheck& check : kSupportChecks) {
    if (request.os_code == check.os_code && config.ReadSeriesInt(series, port_section, check.key) == 0) {
      prompts.Message(check.message);
      return StartOutcome::kRefused;
    }
  }

  if (!SpoolerRunning(ctx, prompts)) return StartOutcome::kFailed;

  const int kind = KindOfPort(request.port_name);
  if (kind == kPortUsb) {
    switch (usb.RouteUsbInstall(ctx, config, request, prompts)) {
      case UsbRoute::kNormalInstall: break;
      case UsbRoute::kRefused: return StartOutcome::kRefused;
      case UsbRoute::kWizardEnds: return StartOutcome::kWizardEnds;
    }
  } else if (kind == kPortUnknown) {
    prompts.Message("IDS_ERR_NOSUPPORTINTERFACE");
    return StartOutcome::kRefused;
  }

  *plan = InstallPlan{};
  plan->model_name = request.model_name;
  plan->port_kind = kind;
  plan->chosen_port = request.port_name;
  plan->port_name = request.port_name;
  plan->set_as_default = request.set_as_default;
  const PackageSwitches switches = ReadPackageSwitches(config);
  const Flavour flavour = ChooseFlavour(request.raster, switches.gdi_std_sign, kind);
  plan->driver = ReadDriverDescription(config, series, request.model_name, request.os_code, flavour);
  plan->printer.printer_name = request.model_name;
  plan->printer.driver_name = DriverNameFor(plan->driver, request.os_code, kind);
  plan->printer.print_processor = plan->driver.print_processor;
  plan->printer.attributes = static_cast<std::uint32_t>(plan->driver.attributes);

  if (kind == kPortNetwork) {
    if (IsNullAddress(request.ip_bytes)) {
      prompts.Message("IDS_ERR_IPADDRISNULL");
      return StartOutcome::kRefused;
    }
    plan->port_name = NetworkPortName(request.ip_bytes);
    win32::Error error = win32::kErrorSuccess;
    if (!AddTcpIpPort(ctx, plan->port_name, DottedAddress(request.ip_bytes), &error)) {
      prompts.ErrorBox(ctx.SystemText(error));
      prompts.Message("IDS_ERR_ADDPORTERROR");
      return StartOutcome::kRefused;
    }
  }

  plan->monitors = ReadMonitorSet(config, request.os_code);
  const std::string language_monitor = kind == kPortUsb ? plan->monitors.language.name : std::string();

  if (kind == kPortUsb) {
    // Refused before the printer's id or the records change.
    if (request.os_code == kOsNt4) {
      prompts.Message("IDS_ERR_NOSUPPORTUSB");
      return Refused(ctx, prompts);
    }
    if (!usb.MatchUsbId(ctx, request, UsbPortIndex(request.port_name), prompts)) return Refused(ctx, prompts);
    plan->port_name = UsbPortFor(request.model_name, request.port_name);
    WriteUsbPortRecord(ctx, plan->port_name,
                       static_cast<std::uint32_t>(ReadSupportedUsbDevice(config, plan->port_name)));
  }
  plan->printer.printer_name += PrinterSuffix(kind, request.port_name);
  plan->printer.port_name = plan->port_name;

  const UnidrvKeys unidrv = ReadUnidrvKeys(config, series, request.model_name, request.os_code);
  plan->unidrv_flag = UnidrvFlag(unidrv, request.raster);
  plan->driver_record = MakeDriverInfo3(
      plan->driver, {request.os_code, kind, ListsUnidrvFiles(unidrv), language_monitor});
  plan->processor_version = ReadProcessorVersion(config);
  plan->serial = {request.baud_rate, request.parity, request.data_bits, request.stop_bits, request.flow};
  return StartOutcome::kRunWorker;
}

}  // namespace kit::setup
