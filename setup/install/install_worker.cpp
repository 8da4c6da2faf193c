#include "setup/install/install_worker.h"

#include "common/oscode/os_code.h"
#include "setup/engine/components.h"
#include "setup/engine/copy_driver_file.h"
#include "setup/engine/driver_record.h"
#include "setup/engine/spooler_control.h"
#include "setup/pages/confirm_page.h"
#include "setup/printer/install_records.h"
#include "setup/progress/progress_dialog.h"

namespace kit::setup {
namespace {

constexpr std::string_view kVersion3Subfolder = "\\3";

// Updates an outdated monitor's DLL in the system folder and its key: a
// file in use is replaced side by side under its "n" name. Both values are
// written, so a monitor once moved to its "n" name comes back to the plain
// one.
bool UpdateMonitor(EngineContext& ctx, const MonitorConfig& monitor, bool with_ui_dll) {
  std::string dll;
  if (!CopyMonitorDll(ctx, monitor.dll, &dll)) return false;
  WriteComponentKey(ctx, MonitorKey(monitor.name), monitor.version, dll);
  if (with_ui_dll && !monitor.ui_dll.empty()) return CopyRequiredFile(ctx, monitor.ui_dll, kDestSystemFolder);
  return true;
}

// The processor DLL of the package over the same name in the
// print-processor folder.
bool UpdateProcessorDll(EngineContext& ctx, const std::string& processor_folder, const std::string& dll) {
  const std::string source = ctx.package_folder + "\\" +
                             std::string(ctx.is_64bit ? kPackageFolder64 : kPackageFolder32) + "\\" + dll;
  if (ctx.platform.files.CopyFile(ctx.Wide(source), ctx.Wide(processor_folder + "\\" + dll), false)) return true;
  ctx.Fail(ctx.Message("IDS_ERR_COPYFIEL") + source);
  return false;
}

// The update of outdated components under one spooler stop and start,
// every flag that is set in turn.
bool UpdateComponents(EngineContext& ctx, const InstallPlan& plan, int flags) {
  std::string processor_folder;
  if ((flags & kUpdateProcessor) && !ProcessorFolder(ctx, &processor_folder)) return false;
  StopSpooler(ctx);
  ctx.platform.clock.Sleep(kBeforeUpdateMs);
  bool ok = true;
  if (ok && (flags & kUpdateSerialMonitor)) ok = UpdateMonitor(ctx, plan.monitors.serial, true);
  if (ok && (flags & kUpdateUsbMonitor)) ok = UpdateMonitor(ctx, plan.monitors.usb, true);
  if (ok && (flags & kUpdateProcessor) && NamesFile(plan.driver.processor_dll)) {
    ok = UpdateProcessorDll(ctx, processor_folder, plan.driver.processor_dll);
    if (ok) WriteComponentKey(ctx, ProcessorKey(ctx, plan.printer.print_processor), plan.processor_version);
  }
  // The spooler is started again even after a failed copy.
  StartSpooler(ctx);
  if (ctx.os_code == kOsNt4 || ctx.os_code == kOsWin2000) ctx.platform.clock.Sleep(kAfterStartNt4Win2000Ms);
  if (ctx.os_code == kOsXp || ctx.os_code == kOsServer2003) ctx.platform.clock.Sleep(kAfterStartXp2003Ms);
  const std::uint32_t state = WaitForSpooler(ctx);
  if (state == kServiceStopped || state == kServiceStopPending) {
    // The text of the wait stays: the install ends with it after this start.
    StartSpooler(ctx);
    ctx.platform.clock.Sleep(kAfterSecondStartMs);
  } else if (state != kServiceRunning) {
    return false;
  }
  return ok && !ctx.failed();
}

// Windows 9x: no spooler restart; a DLL in use is replaced side by side.
bool UpdateComponents9x(EngineContext& ctx, const InstallPlan& plan, int flags) {
  if (flags & kUpdateUsbMonitor) {
    std::string dll;
    if (!CopyMonitorDll(ctx, plan.monitors.usb.dll, &dll)) return false;
    WriteComponentKey(ctx, MonitorKey(plan.monitors.usb.name), plan.monitors.usb.version, dll);
  }
  if ((flags & kUpdateProcessor) && NamesFile(plan.driver.processor_dll)) {
    std::string target;
    int result = CopyDriverFile(ctx, plan.driver.processor_dll, kDestProcessorFolder, false, &target);
    std::string dll = ctx.Ansi(ToUpperAscii(ctx.Wide(plan.driver.processor_dll)));
    if (result == kCopyInUse || result == kCopyAccessDenied) {
      result = CopyDriverFile(ctx, plan.driver.processor_dll, kDestProcessorFolder, true, &target);
      if (result == kCopyInUse || result == kCopyAccessDenied) {
        ctx.Fail(ctx.Message("IDS_ERR_NEEDRESTART"));
        return false;
      }
      dll = std::string(kInUsePrefix) + dll;
    }
    if (result != kCopyDone) return false;
    WriteComponentKey(ctx, ProcessorKey(ctx, plan.printer.print_processor), plan.processor_version, dll);
  }
  return !ctx.failed();
}

// EnumPorts level 1 in two calls: the USB port monitor lists the ports of
// the records just written.
bool EnumeratePorts(EngineContext& ctx) {
  std::vector<PortInfo2> ports;
  std::uint32_t needed = 0, returned = 0;
  Spooler& spooler = ctx.platform.spooler;
  if (spooler.EnumPorts(u"", 1, &ports, kEnumPortsProbeSize, &needed, &returned)) return true;
  if (ctx.platform.system.GetLastError() == win32::kErrorInsufficientBuffer) {
    const std::uint32_t size = needed < kEnumPortsSmallNeed ? kEnumPortsMinimumSize : needed;
    if (spooler.EnumPorts(u"", 1, &ports, size, &needed, &returned)) return true;
  }
  ctx.Fail(ctx.Message("IDS_ERR_ALLOCMEMORY") + std::string(kLineBreak) + ctx.LastErrorText());
  return false;
}

// Copies each file that the value names; the first failure fails.
bool CopyOptional(EngineContext& ctx, std::initializer_list<const std::string*> files, int destination) {
  for (const std::string* file : files) {
    if (NamesFile(*file) && !CopyRequiredFile(ctx, *file, destination)) return false;
  }
  return true;
}

// On 64-bit Windows the control-font table is also laid into the 32-bit
// driver's version-3 folder, where the plug-in and the printing side read
// and write it on every system.
bool CopyControlFontFor32Bit(EngineContext& ctx, const std::string& file) {
  if (!ctx.is_64bit || !NamesFile(file)) return true;
  WString folder;
  if (!ctx.platform.spooler.GetPrinterDriverDirectory(u"", kEnvironmentNtX86, &folder)) {
    ctx.Fail(ctx.Message("IDS_ERR_GETDRIVERDIR"));
    return false;
  }
  Files& files = ctx.platform.files;
  files.CreateDirectory(folder);
  folder += ctx.Wide(kVersion3Subfolder);
  files.CreateDirectory(folder);
  const std::string name = ctx.Ansi(ToUpperAscii(ctx.Wide(file)));
  const std::string source = ctx.package_folder + "\\" + std::string(kPackageFolder64) + "\\" + name;
  const WString target = folder + u"\\" + ctx.Wide(name);
  files.SetFileAttributes(target, kFileAttributeArchive);
  if (files.CopyFile(ctx.Wide(source), target, false)) return true;
  ctx.Fail(CopyFailureText(ctx, ctx.Ansi(target), ctx.platform.system.GetLastError()));
  return false;
}

bool CopyDriverFiles(EngineContext& ctx, const InstallPlan& plan) {
  const DriverDescription& d = plan.driver;
  // Step 5: the four files every driver has.
  for (const std::string* file : {&d.config_file, &d.data_file, &d.driver_path, &d.help_file}) {
    if (file->empty()) {
      ctx.Fail(ctx.Message("IDS_ERR_LOSTDRIVERFILE"));
      return false;
    }
  }
  for (const std::string* file : {&d.config_file, &d.data_file, &d.driver_path, &d.help_file}) {
    if (!CopyRequiredFile(ctx, *file, kDestDriverFolder)) return false;
  }
  // Step 6: optional files.
  if (!CopyOptional(ctx, {&d.dependent_file, &d.oem_ui_dll, &d.oem_render_dll, &d.oem_render_ini}, kDestDriverFolder))
    return false;
  if (!CopyOptional(ctx, {&d.control_font_file, &d.usb_internal_id}, kDestVersion3Folder)) return false;
  for (const std::string& language : d.language_resource_files) {
    if (!CopyOptional(ctx, {&language}, kDestVersion3Folder)) return false;
  }
  if (!CopyControlFontFor32Bit(ctx, d.control_font_file)) return false;
  if (!CopyOptional(ctx, {&d.driver_log_ini, &d.driver_log_viewer}, kDestDriverLogFolder)) return false;
  // Step 7: Windows XP, 32-bit.
  if (ctx.os_code == kOsXp && !ctx.is_64bit) {
    if (!CopyRequiredFile(ctx, kXpRestoreClient, kDestSystemIfAbsent) ||
        !CopyRequiredFile(ctx, kXpFrameDynamic, kDestWbemIfAbsent) ||
        !CopyRequiredFile(ctx, kXpNewDevice, kDestSystemIfAbsent))
      return false;
  }
  return true;
}

bool CopyUnidrvFiles(EngineContext& ctx, const InstallPlan& plan) {
  if (ctx.os_code >= kOsWin2000 && ctx.os_code <= kOsWin7 && plan.unidrv_flag) {
    for (std::string_view file : {kUnidrvTtfSub, kUnidrvStdNames, kUnidrvResources}) {
      if (!CopyRequiredFile(ctx, file, kDestDriverFolder)) return false;
    }
  }
  if (ctx.os_code == kOsWin9x) {
    if (!CopyRequiredFile(ctx, kIconLibrary, kDestDriverFolder)) return false;
    std::string system, windows;
    if (!SystemFolder(ctx, &system) || !WindowsFolder(ctx, &windows)) return false;
    Files& files = ctx.platform.files;
    const std::string unidrv = system + "\\" + std::string(kUnidrvDll);
    if (files.GetFileAttributes(ctx.Wide(unidrv)) == kInvalidFileAttributes) {
      const std::string backup = windows + std::string(kSystemBackupFolder) + std::string(kUnidrvDll);
      if (!files.CopyFile(ctx.Wide(backup), ctx.Wide(unidrv), true) &&
          !CopyRequiredFile(ctx, kUnidrvDll, kDestDriverFolder))
        return false;
    }
    for (std::string_view model : kColourModels) {
      if (plan.model_name.find(model) != std::string::npos) return CopyRequiredFile(ctx, kColourLibrary, kDestDriverFolder);
    }
  }
  return true;
}

bool InstallLanguageMonitorStep(EngineContext& ctx, const InstallPlan& plan) {
  const MonitorConfig& monitor = plan.monitors.language;
  if (plan.port_kind != kPortUsb || !NamesFile(monitor.dll)) return true;
  const int result = InstallLanguageMonitor(ctx, plan.port_kind, monitor);
  if (result == kMonitorFailed) return false;
  if (result == kUpdateLanguageMonitor) return UpdateMonitor(ctx, monitor, false);
  return true;
}

bool CreatePrinter(EngineContext& ctx, const InstallPlan& plan) {
  if (plan.port_kind == kPortUsb) WritePrinterPortRecord(ctx, plan.chosen_port);
  PrinterRecord printer = plan.printer;
  const bool is_usb = plan.port_kind == kPortUsb;
  if (plan.keep_existing_printer && FindSamePrinter(ctx, &printer, is_usb)) {
    ctx.kept_printer = printer.printer_name;
  } else if (!AddPrinterWithUniqueName(ctx, &printer, is_usb)) {
    return false;
  }
  if (plan.set_as_default) SetDefaultPrinter(ctx, printer.printer_name);
  if (NamesFile(plan.driver.driver_log_ini) && (ctx.os_code == kOsXp || ctx.os_code == kOsServer2003)) {
    SetPrinterSpoolFolder(ctx, printer.printer_name);
  }
  return plan.port_kind != kPortSerial || WriteSerialSettings(ctx, plan.chosen_port, plan.serial);
}

bool RunSteps(EngineContext& ctx, const InstallPlan& plan) {
  int flags = InstallPortMonitors(ctx, plan.port_kind, plan.monitors);
  if (flags == kMonitorFailed || ctx.failed()) return false;
  const int processor = InstallPrintProcessor(ctx, plan.printer.print_processor, plan.driver.processor_dll,
                                              plan.processor_version);
  if (processor == kProcessorFailed || ctx.failed()) return false;
  flags |= processor;
  if (flags != 0) {
    const bool updated = ctx.os_code == kOsWin9x ? UpdateComponents9x(ctx, plan, flags) : UpdateComponents(ctx, plan, flags);
    if (!updated || ctx.failed()) return false;
  }
  if (plan.port_kind == kPortUsb && !EnumeratePorts(ctx)) return false;
  if (!CopyDriverFiles(ctx, plan) || !CopyUnidrvFiles(ctx, plan)) return false;
  if (plan.unidrv_flag && plan.driver.dependent_file.empty()) {
    ctx.Fail(ctx.Message("IDS_ERR_LOSTDRIVERFILE"));
    return false;
  }
  if (!InstallLanguageMonitorStep(ctx, plan) || ctx.failed()) return false;
  // Registered under the kit's environment, as its files were copied.
  DriverInfo3 record = plan.driver_record;
  record.environment = ctx.Environment();
  if (!ctx.platform.spooler.AddPrinterDriver(u"", record)) {
    ctx.Fail(ctx.Message("IDS_ERR_ADDPRNDRV3") + std::string(kLineBreak) + ctx.LastErrorText());
    return false;
  }
  if (!CreatePrinter(ctx, plan)) return false;
  if (ctx.os_code != kOsWin9x) {
    ctx.error_text = ctx.Message(plan.port_kind == kPortUsb ? "IDS_INF_USBRESTART" : "IDS_INF_NTRESTART");
  }
  return true;
}

}  // namespace

void InstallWorker(EngineContext& ctx, const InstallPlan& plan, std::atomic<int>* state) {
  const bool done = RunSteps(ctx, plan);
  if (!done && ctx.error_text.empty()) ctx.error_text = ctx.Message("IDS_ERR_ADDPRNDRV3");
  state->store(done ? kProgressDone : kProgressFailed);
}

}  // namespace kit::setup
