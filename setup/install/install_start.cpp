#include "setup/install/install_start.h"

#include "common/oscode/os_code.h"
#include "setup/engine/driver_record.h"
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

}  // namespace

StartOutcome PrepareInstall(EngineContext& ctx, const CPrinterInfManager& config, const InstallRequest& request,
                            InstallPrompts& prompts, UsbInstallHooks& usb, InstallPlan* plan) {
  // A text left by an earlier refused attempt must not fail this one.
  ctx.error_text.clear();
  if (request.model_name.empty() || request.series_index < 0 || request.series_index >= kSeriesCount) {
    prompts.Message("IDS_ERR_SELPRINTER");
    return StartOutcome::kRefused;
  }
  const Series series = static_cast<Series>(request.series_index);
  const std::string port_section = request.model_name + std::string(kPortSectionSuffix);
  for (const SupportCheck& check : kSupportChecks) {
    if (request.os_code == check.os_code && config.ReadSeriesInt(series, port_section, check.key) == 0) {
      prompts.Message(check.message);
      return StartOutcome::kRefused;
    }
  }

  const int kind = KindOfPort(request.port_name);
  if (kind == kPortUsb) {
    switch (usb.RouteUsbInstall(ctx, request, prompts)) {
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
    if (!usb.MatchUsbId(ctx, request, UsbPortIndex(request.port_name), prompts)) return StartOutcome::kRefused;
    plan->port_name = UsbPortFor(request.model_name, request.port_name);
    WriteUsbPortRecord(ctx, plan->port_name,
                       static_cast<std::uint32_t>(ReadSupportedUsbDevice(config, plan->port_name)));
  }
  plan->printer.printer_name += PrinterSuffix(kind, request.port_name);
  plan->printer.port_name = plan->port_name;
  if (kind == kPortUsb && request.os_code == kOsNt4) {
    prompts.Message("IDS_ERR_NOSUPPORTUSB");
    return StartOutcome::kRefused;
  }

  const UnidrvKeys unidrv = ReadUnidrvKeys(config, series, request.model_name, request.os_code);
  plan->unidrv_flag = UnidrvFlag(unidrv, request.raster);
  plan->driver_record = MakeDriverInfo3(
      plan->driver, {request.os_code, kind, ListsUnidrvFiles(unidrv), language_monitor});
  plan->processor_version = ReadProcessorVersion(config);
  plan->serial = {request.baud_rate, request.parity, request.data_bits, request.stop_bits, request.flow};
  return StartOutcome::kRunWorker;
}

}  // namespace kit::setup
