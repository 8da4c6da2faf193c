// The removal of one entry: a port monitor, a print processor, or a printer
// with its INF copies, its driver and its TCP/IP port.
// This file is OS-independent.
#include <algorithm>
#include <cstdio>
#include <vector>

#include "common/oscode/os_code.h"
#include "platform/profile_file_source.h"
#include "platform/win32_errors.h"
#include "uninstall/config/inf_rule.h"
#include "uninstall/config/log_text.h"
#include "uninstall/flow/component_list.h"
#include "uninstall/flow/printer_records.h"
#include "uninstall/flow/uninstall_run.h"

namespace kit::uninstall {
namespace {

constexpr char kUsbMark[] = "USB";
constexpr char kSerialPortMark[] = "KVCOM";
constexpr char kUsbClassPortMark[] = "USB00";
constexpr char kNetworkPortMark[] = "KVIP_";
constexpr char kNoSystemDirectoryLine[] = "Get system Directory error.";
// Setup's name for a monitor DLL it copied beside one in use: "n" + name.
constexpr char kSetupInUsePrefix[] = "n";
constexpr char16_t kInstallPrinterKey[] = u"SOFTWARE\\VELDRAN\\INSTALLPRINTER";
constexpr char16_t kPortNameKey[] = u"SOFTWARE\\VELDRAN\\PORTNAME";
// Setup records its printers' ports here too; they go with the port records.
constexpr char16_t kPrinterPortKey[] = u"SOFTWARE\\VELDRAN\\PRINTERPORT";
constexpr char kMonitorsKey[] = "SYSTEM\\CURRENTCONTROLSET\\CONTROL\\PRINT\\MONITORS\\";
constexpr char kProcessorsX64Key[] =
    "SYSTEM\\CurrentControlSet\\Control\\Print\\Environments\\Windows x64\\Print Processors\\";
constexpr char kProcessorsX86Key[] =
    "SYSTEM\\CurrentControlSet\\Control\\Print\\Environments\\Windows NT x86\\Print Processors\\";
// The value of a print processor's key that names its file.
constexpr char16_t kProcessorFileValue[] = u"Driver";
constexpr char16_t kInfFolder[] = u"inf\\";
constexpr char16_t kInfPattern[] = u"*.inf";
constexpr char16_t kPnfExtension[] = u"PNF";

bool Holds(WStringView text, std::string_view mark) {
  return text.find(WString(mark.begin(), mark.end())) != WStringView::npos;
}

}  // namespace

bool UninstallRun::PrinterUsesSerialPort(const std::string& monitor) {
  Platform& p = ctx_.platform;
  const auto printers = EnumLocalPrinters(p.spooler, 5);
  if (!printers) return false;
  for (const auto& printer : *printers) {
    PrinterHandle handle;
    PrinterInfo2 info;
    // A printer that cannot be read counts as one using the port.
    if (LogReadProblem(OpenAndReadPrinter(p.spooler, p.system, printer.printer_name, &handle, &info), monitor)) {
      return true;
    }
    if (Holds(info.port_name, kSerialPortMark)) {
      Log("IDS_ERR_HAVEJOB1", monitor);
      Pause(kErrorPauseMs);
      return true;
    }
  }
  return false;
}

UninstallRun::Step UninstallRun::RemoveMonitor(const std::string& name) {
  Platform& p = ctx_.platform;
  Log("IDS_DELETING1", name);
  if (ctx_.os_code == kOsWin9x && PrinterUsesSerialPort(name)) {
    Log("IDS_USING", name);
    return Step::kFailed;
  }
  const std::string registry_name = ctx_.ini.MonitorRegistryName(name);
  const WString wide = ctx_.Wide(name);
  if (!p.spooler.DeleteMonitor(u"", u"", wide)) {
    RestartSpooler();
    Pause(kAfterSpoolerRestartMs);
    if (!p.spooler.DeleteMonitor(u"", u"", wide)) {
      Log(p.system.GetLastError() == win32::kErrorPrintMonitorInUse ? "IDS_USING" : "IDS_ERR_UNINSTALL", name);
      Pause(kErrorPauseMs);
      return Step::kFailed;
    }
  }
  if (name.find(kUsbMark) != std::string::npos) {
    // Setup's records live in the 64-bit view on 64-bit Windows.
    const std::uint32_t view = ctx_.redirection ? kKeyWow64_64Key : 0;
    for (const char16_t* key : {kInstallPrinterKey, kPortNameKey, kPrinterPortKey}) DeleteKeyOrNote(key, view);
  }
  RestartSpooler();
  Pause(kAfterSpoolerRestartMs);
  // An empty name would be the Monitors key itself.
  if (!NamesNothing(registry_name)) {
    DeleteKeyOrNote(ctx_.Wide(kMonitorsKey + registry_name), 0);
  }
  DeleteMonitorFiles(name);
  Log("IDS_SUCCESS", name);
  return Step::kRemoved;
}

void UninstallRun::DeleteMonitorFiles(const std::string& name) {
  Platform& p = ctx_.platform;
  const WString system = p.system.GetSystemDirectory();
  if (system.empty()) {
    // Without the folder the names would be taken from the drive root.
    view_.Log(kNoSystemDirectoryLine);
    return;
  }
  for (const auto& file : ctx_.ini.MonitorFiles(name)) {
    // Setup copies a monitor DLL that is in use side by side under its "n"
    // name; a setup ended halfway leaves that copy whatever the monitor's
    // key names, so both go.
    const WString paths[] = {system + u"\\" + ctx_.Wide(file),
                             system + u"\\" + ctx_.Wide(std::string(kSetupInUsePrefix) + file)};
    if (!ctx_.redirection) {
      for (const WString& path : paths) DeleteFileOrNote(path);
      continue;
    }
    ScopedFsRedirectionOff off(p.files);
    if (!off.Active()) return;  // the remaining files stay
    for (const WString& path : paths) DeleteFileOrNote(path);
  }
}

UninstallRun::Step UninstallRun::RemoveProcessor(const std::string& name) {
  Platform& p = ctx_.platform;
  Log("IDS_DELETING1", name);
  const WString key = ctx_.Wide((ctx_.redirection ? kProcessorsX64Key : kProcessorsX86Key) + name);
  const WString registered = RegisteredProcessorFile(key);
  if (!p.spooler.DeletePrintProcessor(u"", RemovalEnvironment(ctx_.redirection), ctx_.Wide(name))) {
    Log(p.system.GetLastError() == win32::kErrorCanNotComplete ? "IDS_USING" : "IDS_ERR_UNINSTALL", name);
    Pause(kErrorPauseMs);
    return Step::kFailed;
  }
  RestartSpooler();
  Pause(kAfterSpoolerRestartMs);
  DeleteKeyOrNote(key, 0);
  DeleteProcessorFile(name, registered);
  Log("IDS_SUCCESS", name);
  return Step::kRemoved;
}

// The file the spooler registered for a print processor (the "Driver" value
// of its key), empty when it cannot be read or is no plain file name.
WString UninstallRun::RegisteredProcessorFile(const WString& key_path) {
  RegistryKeyPtr key;
  WString file;
  if (ctx_.platform.registry.RegOpenKeyEx(RootKey::kLocalMachine, key_path, kKeyRead, &key) != win32::kErrorSuccess ||
      key->GetString(kProcessorFileValue, &file) != win32::kErrorSuccess || !IsPlainFileName(ctx_.Ansi(file))) {
    return {};
  }
  return file;
}

// Uninstall.ini names one processor file per Windows version (the 64-bit
// one from Server 2003 on); on a 32-bit Windows of those versions the
// spooler runs the 32-bit file, so the file it registered goes too.
void UninstallRun::DeleteProcessorFile(const std::string& name, const WString& registered) {
  Platform& p = ctx_.platform;
  const std::string file = ctx_.ini.ProcessorFile(name);
  WString folder;
  if (!p.spooler.GetPrintProcessorDirectory(u"", RemovalEnvironment(ctx_.redirection), &folder) || folder.empty()) {
    view_.Log(kNoSystemDirectoryLine);
    // Without the spooler's folder the processor's files stay where it
    // keeps them: the run says so at its end.
    if (!file.empty()) left_.push_back(kFileLeftPrefix + file);
    if (!registered.empty() && !EqualsNoCase(registered, ctx_.Wide(file)))
      left_.push_back(kFileLeftPrefix + ctx_.Ansi(registered));
    return;
  }
  if (!file.empty()) DeleteFileOrNote(folder + u"\\" + ctx_.Wide(file));
  if (!registered.empty() && !EqualsNoCase(registered, ctx_.Wide(file))) {
    DeleteFileOrNote(folder + u"\\" + registered);
  }
}

void UninstallRun::DeleteInfCopies(const std::string& printer_name) {
  Platform& p = ctx_.platform;
  WString windows = p.system.GetWindowsDirectory();
  if (!windows.empty() && windows.back() != u'\\') windows += u'\\';
  const WString folder = windows + kInfFolder;
  FindData entry;
  FindHandlePtr find = p.files.FindFirstFile(folder + kInfPattern, &entry);
  if (!find) {
    std::printf("Invalid File Handle. Get Last Error reports %u\n", static_cast<unsigned>(p.system.GetLastError()));
    return;
  }
  PlatformFileSource source(p.files);
  ini::ProfileOptions options;
  options.ansi_code_page = ctx_.code_page;
  do {
    const WString inf = folder + entry.file_name;
    if (!InfBelongsToPrinter(source, ctx_.Ansi(inf), printer_name, ctx_.ini.manufacturer(), options)) continue;
    const auto dot = inf.rfind(u'.');
    const WString pnf = inf.substr(0, dot + 1) + kPnfExtension;
    // A copy that is there and cannot be deleted is left behind.
    for (const WString& path : {inf, pnf}) {
      p.files.SetFileAttributes(path, kFileAttributeNormal);
      DeleteFileOrNote(path);
    }
  } while (find->FindNextFile(&entry));
}

UninstallRun::Step UninstallRun::RemovePrinter(const std::string& name) {
  Platform& p = ctx_.platform;
  PrinterHandle printer;
  PrinterDefaults defaults;
  defaults.desired_access = kPrinterAllAccess;
  if (!p.spooler.OpenPrinter(ctx_.Wide(name), defaults, &printer) || !printer) {
    Log("IDS_ERR_OPENPRN", name);
    return Step::kAbort;
  }
  Log("IDS_DELETING2", name);
  // Without the printer's record its driver and port are unknown: the walk
  // stops before the deletion. (A failed read may clear the size it gave.)
  PrinterInfo2 record;
  std::uint32_t needed = 0;
  bool read = false;
  if (!printer->GetPrinter(2, &record, 0, &needed) &&
      (p.system.GetLastError() != win32::kErrorInsufficientBuffer || needed == 0)) {
    Log("IDS_ERR_GETPRNINFO");
  } else if (needed > kMaxPrinterRecordBytes) {
    Log("IDS_ERR_ALLOC");
  } else if (!printer->GetPrinter(2, &record, needed, &needed)) {
    Log("IDS_ERR_GETPRNINFO");
  } else {
    read = true;
  }
  if (!read) {
    printer->ClosePrinter();
    Pause(kErrorPauseMs);
    return Step::kAbort;
  }
  if (Holds(record.port_name, kUsbClassPortMark)) {
    if (p.system.GetWindowsDirectory().empty()) {
      printer->ClosePrinter();
      return Step::kAbort;
    }
    DeleteInfCopies(name);
  }
  if (record.jobs > 0) {
    Log("IDS_ERR_HAVEJOB1", name);
    printer->ClosePrinter();
    Pause(kErrorPauseMs);
    return Step::kAbort;
  }
  if (!printer->DeletePrinter()) {
    Log("IDS_ERR_DELPRINTER");
    Pause(kErrorPauseMs);
    printer->ClosePrinter();
    return Step::kFailed;
  }
  Pause(kErrorPauseMs);
  Log("IDS_SUCCESS", name);
  printer->ClosePrinter();
  // The entry leaves the list when this step answers kRemoved; the driver
  // and the port follow the spooler restart.
  RestartSpooler();
  Pause(kAfterPrinterDeletionMs);
  if (ctx_.os_code >= kOsWin2000) RemoveDriver(record);
  Pause(kAfterPrinterDeletionMs);
  if (Holds(record.port_name, kNetworkPortMark)) DeleteUnusedNetworkPort(record.port_name);
  return Step::kRemoved;
}

void UninstallRun::DeleteKeyOrNote(const WString& key, std::uint32_t view) {
  const std::uint32_t error = ctx_.platform.registry.RegDeleteKeyEx(RootKey::kLocalMachine, key, view);
  if (error == win32::kErrorSuccess || error == win32::kErrorFileNotFound) return;
  // A refusal for a key that is not there leaves nothing behind.
  RegistryKeyPtr there;
  if (ctx_.platform.registry.RegOpenKeyEx(RootKey::kLocalMachine, key, kKeyRead | view, &there) !=
      win32::kErrorSuccess)
    return;
  // A key that stays keeps its values (setup's records of a port): the run
  // says so and ends failed.
  const std::string path = kLocalMachinePrefix + ctx_.Ansi(key);
  view_.Log(FormatLogText(kKeyLeftLine, path));
  left_.push_back(kKeyLeftPrefix + path);
}

bool UninstallRun::DeleteDriver(WStringView server, WStringView driver_name) {
  Platform& p = ctx_.platform;
  const WString environment = RemovalEnvironment(ctx_.redirection);
  return ctx_.has_delete_driver_ex
             ? p.spooler.DeletePrinterDriverEx(server, environment, driver_name, kDpdDeleteUnusedFiles, 0)
             : p.spooler.DeletePrinterDriver(server, environment, driver_name);
}

bool UninstallRun::DriverStillUsed(WStringView driver_name) {
  const auto printers = EnumLocalPrinters(ctx_.platform.spooler, 2);
  if (!printers) return true;
  return std::any_of(printers->begin(), printers->end(),
                     [&](const PrinterInfo2& printer) { return EqualsNoCase(printer.driver_name, driver_name); });
}

void UninstallRun::RemoveDriver(const PrinterInfo2& record) {
  Platform& p = ctx_.platform;
  Log("IDS_DRVDELETING", ctx_.Ansi(record.printer_name));
  if (DeleteDriver(record.server_name, record.driver_name)) {
    Log("IDS_DRV_SUCCESS");
    // A driver an earlier printer's removal left is gone with this one.
    std::erase(left_, kDriverLeftPrefix + ctx_.Ansi(record.driver_name));
  } else if (const auto error = p.system.GetLastError();
             error == win32::kErrorPrinterDriverInUse && DriverStillUsed(record.driver_name)) {
    // Another printer keeps it: it goes with the last of them.
    Log("IDS_ERR_DRVUSING");
  } else {
    // The printer is gone, its driver stays (also "in use" with no printer
    // left that uses it): the run ends failed, and the next run lists the
    // driver as unused.
    view_.Log(FormatErrorCodeLine(ctx_.messages.Get("IDS_ERR_DRVDEL"), error));
    left_.push_back(kDriverLeftPrefix + ctx_.Ansi(record.driver_name));
  }
  Pause(kErrorPauseMs);
}

UninstallRun::Step UninstallRun::RemoveUnusedDriver(const std::string& name) {
  Platform& p = ctx_.platform;
  Log("IDS_DELETING1", name);
  if (!DeleteDriver(u"", ctx_.Wide(name))) {
    view_.Log(FormatErrorCodeLine(ctx_.messages.Get("IDS_ERR_DRVDEL"), p.system.GetLastError()));
    Pause(kErrorPauseMs);
    return Step::kFailed;
  }
  Log("IDS_SUCCESS", name);
  std::erase(left_, kDriverLeftPrefix + name);
  Pause(kErrorPauseMs);
  return Step::kRemoved;
}

void UninstallRun::DeleteUnusedNetworkPort(const WString& port) {
  Platform& p = ctx_.platform;
  const auto printers = EnumLocalPrinters(p.spooler, 2);
  // Printers that cannot be listed may still use the port: it stays, and
  // the run says so.
  if (!printers) {
    Log("IDS_ERR_UNINSTALL", ctx_.Ansi(port));
    left_.push_back(kPortLeftPrefix + ctx_.Ansi(port));
    return;
  }
  for (const auto& printer : *printers) {
    if (printer.port_name.find(port) != WString::npos) return;
  }
  if (!p.spooler.DeletePort(u"", port)) {
    Log("IDS_ERR_UNINSTALL", ctx_.Ansi(port));
    left_.push_back(kPortLeftPrefix + ctx_.Ansi(port));
    Pause(kErrorPauseMs);
  }
}

}  // namespace kit::uninstall
