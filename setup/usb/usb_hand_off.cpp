#include "setup/usb/usb_hand_off.h"

#include "setup/engine/copy_driver_file.h"
#include "setup/engine/driver_record.h"
#include "setup/pages/mode_page.h"
#include "setup/printer/port_names.h"
#include "setup/usb/usb_classification.h"
#include "setup/usb/usb_driver.h"
#include "setup/usb/usb_printer_id.h"
#include "setup/usb/usb_queries.h"

namespace kit::setup {
namespace {

constexpr std::string_view kClassPrinterKeySuffixes[] = {"(U)1", "(U)2", "(U)3", "(U)4"};

// Appends the text in double quotes.
void AppendQuoted(std::string& out, std::string_view text) {
  out += '"';
  out += text;
  out += '"';
}

// The driver-log files to the driver-log folder; on this route a file that
// does not arrive goes unreported, and leaves no text behind.
void CopyDriverLogFiles(EngineContext& ctx, std::initializer_list<const std::string*> files) {
  const std::string kept = ctx.error_text;
  for (const std::string* file : files) {
    if (NamesFile(*file)) CopyDriverFile(ctx, *file, kDestDriverLogFolder, false);
  }
  ctx.error_text = kept;
}

DriverDescription DescriptionFor(EngineContext& ctx, const CPrinterInfManager& config,
                                 const InstallRequest& request) {
  const Flavour flavour = ChooseFlavour(request.raster, ReadPackageSwitches(config).gdi_std_sign, kPortUsb);
  return ReadDriverDescription(config, static_cast<Series>(request.series_index), request.model_name,
                               ctx.os_code, flavour);
}

}  // namespace

UsbEnv UsbEnvOf(EngineContext& ctx) { return UsbEnv{ctx.platform, ctx.package_folder, ctx.is_64bit}; }

std::string ClassPrinterInfPath(std::string_view package_folder, std::string_view inf_file_name, bool is_64bit) {
  std::string path = std::string(package_folder) + "\\" +
                     std::string(is_64bit ? kPackageFolder64 : kPackageFolder32) + "\\";
  // "errors" counts as no name too: the comparison is of the prefix, with case.
  if (inf_file_name.empty() || inf_file_name.substr(0, kNoInfFilePrefix.size()) == kNoInfFilePrefix)
    return path + std::string(kDefaultClassInf);
  return path + std::string(inf_file_name) + (is_64bit ? "64.inf" : "32.inf");
}

std::string ClassPrinterKey(std::string_view model, int lookup) {
  if (lookup == kClassPrinterUnnumbered) return std::string(model) + std::string(kUsbMark);
  const int index = lookup >= 2 && lookup <= 4 ? lookup : 1;
  return std::string(model) + std::string(kClassPrinterKeySuffixes[index - 1]);
}

std::string ClassPrinterParameters(std::string_view inf_path, std::string_view hardware_id,
                                   std::string_view key, bool set_as_default) {
  std::string parameters(kClassPrinterAction);
  AppendQuoted(parameters, inf_path);
  parameters += ' ';
  AppendQuoted(parameters, hardware_id);
  parameters += kClassPrinterDisplayFlag;
  // Quoted like the other arguments, so that a model name with a space
  // stays one argument.
  if (set_as_default) {
    parameters += ' ';
    AppendQuoted(parameters, key);
  }
  return parameters;
}

bool InstallUsbClassPrinter(EngineContext& ctx, const CPrinterInfManager& config, const InstallRequest& request,
                            UsbPrompts& prompts) {
  const UsbEnv env = UsbEnvOf(ctx);
  const int lookup = FindUsbClassPrinter(env, request.model_name);
  if (lookup == kClassPrinterAbsent) {
    prompts.Message("IDS_ERR_CLASSPRINTERIDERROR");
    return false;
  }
  const std::string inf_path =
      ClassPrinterInfPath(ctx.package_folder, ReadPackageSwitches(config).inf_file_name, ctx.is_64bit);
  const std::string key = ClassPrinterKey(request.model_name, lookup);
  const std::string hardware_id = ReadUsbClassPrinterId(config, request.model_name, key.substr(request.model_name.size()));
  if (hardware_id == kNoHardwareId) {
    prompts.Message("IDS_ERR_HARDWAREIDNULL");
    return false;
  }
  const std::string parameters = ClassPrinterParameters(inf_path, hardware_id, key, request.set_as_default);
  const DriverDescription d = DescriptionFor(ctx, config, request);
  CopyDriverLogFiles(ctx, {&d.driver_log_viewer, &d.driver_log_ini});
  StartUsbInstaller(env, parameters);
  return true;
}

UsbRoute UsbHandOff::RouteUsbInstall(EngineContext& ctx, const CPrinterInfManager& config,
                                     const InstallRequest& request, InstallPrompts& prompts) {
  const UsbEnv env = UsbEnvOf(ctx);
  const int mode = ReadPackageSwitches(config).supported_usb_mode;
  if (mode == kUsbModeEither || mode == kUsbModeClassPrinterOnly) {
    switch (ClassifyConnectedPrinters(env)) {
      case kUsbMixedPrinters:
        prompts.Message("IDS_ERR_ONEPRINTER");
        return UsbRoute::kRefused;
      case kUsbClassPrintersOnly: {
        if (!InstallUsbClassPrinter(ctx, config, request, prompts)) return UsbRoute::kRefused;
        // The driver-log files once more, as this route always did.
        const DriverDescription d = DescriptionFor(ctx, config, request);
        if (mode == kUsbModeEither) CopyDriverLogFiles(ctx, {&d.driver_log_viewer});
        else CopyDriverLogFiles(ctx, {&d.driver_log_viewer, &d.driver_log_ini});
        return UsbRoute::kWizardEnds;
      }
      default:
        if (mode == kUsbModeClassPrinterOnly) {
          prompts.Message("IDS_ERR_CLASSPRINTERIDERROR");
          return UsbRoute::kRefused;
        }
        break;
    }
  }
  if (InstallUsbDriverIfNeeded(env, prompts)) ctx.usb_driver_started = true;
  return UsbRoute::kNormalInstall;
}

bool UsbHandOff::MatchUsbId(EngineContext& ctx, const InstallRequest& request, int port_index,
                            InstallPrompts& prompts) {
  const UsbEnv env = UsbEnvOf(ctx);
  const int id = ReadPrinterUsbId(env, prompts);
  ctx.printer_usb_id = id;
  // Two printers stop either mode: the box was shown, and rewriting one of
  // them would be a guess.
  if (id == kSeveralUsbPrinters) return false;
  if (request.mode != kModeTypical) {
    if (id == kNoUsbPrinter) {
      prompts.Message("IDS_ERR_NOUSBDEVICE");
      return false;
    }
    if (port_index == PortIndexOfUsbId(id)) return true;
    if (!prompts.Ask("IDS_INF_CHANGEID")) return false;
    if (WritePrinterUsbId(env, prompts, port_index)) return true;
    prompts.Notice(kSetIdFailedText);
    return false;
  }
  if (id == kNoUsbPrinter || PortIndexOfUsbId(id) == kFirstUsbPortIndex) return true;
  return prompts.Ask("IDS_INF_CHANGEID") && WritePrinterUsbId(env, prompts, kFirstUsbPortIndex);
}

}  // namespace kit::setup
