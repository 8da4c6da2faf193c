// This file is OS-independent.
#include "uninstall/flow/uninstall_run.h"

#include "common/oscode/os_code.h"
#include "platform/win32_errors.h"
#include "uninstall/config/log_text.h"
#include "uninstall/flow/printer_records.h"

namespace kit::uninstall {
namespace {

constexpr char16_t kOpenVerb[] = u"open";

}  // namespace

void UninstallRun::Log(const char* key) { view_.Log(FormatLogText(ctx_.messages.Get(key), "")); }

void UninstallRun::Log(const char* key, std::string_view argument) {
  view_.Log(FormatLogText(ctx_.messages.Get(key), argument));
}

void UninstallRun::Pause(std::uint32_t ms) { ctx_.platform.clock.Sleep(ms); }

bool UninstallRun::LogReadProblem(PrinterRead outcome, const std::string& name) {
  switch (outcome) {
    case PrinterRead::kOpenFailed:
      Log("IDS_ERR_OPENPRN", name);
      return true;
    case PrinterRead::kReadFailed:
      Log("IDS_ERR_GETPRNINFO");
      Pause(kErrorPauseMs);
      return true;
    case PrinterRead::kNoMemory:
      Log("IDS_ERR_ALLOC");
      Pause(kErrorPauseMs);
      return true;
    case PrinterRead::kOk: break;
  }
  return false;
}

bool UninstallRun::CheckQueuedJobs() {
  Platform& p = ctx_.platform;
  const auto printers = EnumLocalPrinters(p.spooler, 5);
  if (!printers) return true;
  for (const auto& printer : *printers) {
    const std::string name = ctx_.Ansi(printer.printer_name);
    PrinterHandle handle;
    PrinterInfo2 info;
    if (LogReadProblem(OpenAndReadPrinter(p.spooler, p.system, printer.printer_name, &handle, &info), name)) {
      return false;
    }
    if (info.jobs > 0) {
      Log("IDS_ERR_HAVEJOB2", name);
      Pause(kErrorPauseMs);
      return false;
    }
  }
  return true;
}

RunResult UninstallRun::Run() {
  view_.DisableControls();
  left_.clear();
  spooler_stopped_ = false;
  RunResult result;
  bool aborted = false;
  for (int i = 0; i < view_.EntryCount();) {
    Pause(kEntryPauseMs);
    if (!view_.IsEntryTicked(i)) {
      ++i;
      continue;
    }
    const Component entry = view_.Entry(i);
    Step step = Step::kFailed;
    switch (entry.kind) {
      case ComponentKind::kMonitor: step = RemoveMonitor(entry.name); break;
      case ComponentKind::kProcessor: step = RemoveProcessor(entry.name); break;
      case ComponentKind::kPrinter: step = RemovePrinter(entry.name); break;
      case ComponentKind::kDriver: step = RemoveUnusedDriver(entry.name); break;
    }
    if (step == Step::kAbort) {
      aborted = true;
      break;
    }
    if (step == Step::kRemoved) {
      // The next entry moved up into this position.
      view_.DeleteEntry(i);
      result.removed.push_back(entry.name);
    } else {
      ++i;
    }
  }
  result.left = left_;
  if (spooler_stopped_) result.left.emplace_back(kSpoolerLeftStopped);
  // What was ticked and is still there failed, or was not reached.
  for (int i = 0; i < view_.EntryCount(); ++i)
    if (view_.IsEntryTicked(i)) result.not_removed.push_back(view_.Entry(i).name);
  if (!aborted) {
    if (view_.IsUsbBoxTicked()) {
      result.usb_asked = true;
      result.usb_failed = !RemoveUsbDrivers();
    }
    if (!result.removed.empty()) {
      result.restart_asked = true;
      if (view_.AskRestart()) result.restart_started = RestartWindows();
    }
  }
  view_.EnableControls(view_.EntryCount() > 0, ctx_.os_code >= kOsWin2000);
  view_.FitLog();
  return result;
}

bool StartStoppedSpooler(Platform& p) {
  ServiceManagerHandle manager;
  ServiceHandle service;
  ServiceStatus status;
  // Windows 9x has no service manager: its spooler is not a service.
  if (!p.services.OpenSCManager(kScManagerAllAccess, &manager) || !manager ||
      !manager->OpenService(kSpoolerServiceName, kServiceStart | kServiceQueryStatus, &service) || !service ||
      !service->QueryServiceStatus(&status) || status.current_state != kServiceStopped) {
    return true;
  }
  if (!service->StartService() && p.system.GetLastError() != win32::kErrorServiceAlreadyRunning) return false;
  for (int look = 0; look < kSpoolerStartLooks; ++look) {
    if (service->QueryServiceStatus(&status) && status.current_state == kServiceRunning) return true;
    p.clock.Sleep(kSpoolerStartLookMs);
  }
  return false;
}

bool UninstallRun::RestartSpooler() {
  Platform& p = ctx_.platform;
  ServiceManagerHandle manager;
  if (!p.services.OpenSCManager(kScManagerAllAccess, &manager) || !manager) return true;
  ServiceHandle service;
  if (manager->OpenService(kSpoolerServiceName, kServiceStop, &service) && service) {
    ServiceStatus status;
    service->ControlService(kServiceControlStop, &status);
  }
  service.reset();
  Pause(kSpoolerStopStartMs);
  // A start that fails leaves the spooler stopped unless a later restart
  // of this run starts it: the run's end says so.
  const bool started = manager->OpenService(kSpoolerServiceName, kServiceStart, &service) && service &&
                       (service->StartService() || p.system.GetLastError() == win32::kErrorServiceAlreadyRunning);
  if (!started) view_.Log(kSpoolerNotStartedLine);
  spooler_stopped_ = !started;
  return started;
}

void UninstallRun::DeleteFileOrNote(const WString& path) {
  Platform& p = ctx_.platform;
  if (p.files.DeleteFile(path)) return;
  const win32::Error error = p.system.GetLastError();
  if (error == win32::kErrorFileNotFound || error == win32::kErrorPathNotFound) return;
  // A refusal for a file that is not there leaves nothing behind.
  if (p.files.GetFileAttributes(path) == kInvalidFileAttributes) return;
  view_.Log(FormatLogText(kFileLeftLine, ctx_.Ansi(path)));
  left_.push_back(kFileLeftPrefix + ctx_.Ansi(path));
}

std::string UninstallRun::InstallerPath() const {
  return ctx_.current_directory + (ctx_.redirection ? kInstaller64 : kInstaller32);
}

bool UninstallRun::RemoveUsbDrivers() {
  Platform& p = ctx_.platform;
  Log("IDS_DELETING3");
  const std::string path = InstallerPath();
  ShellExecuteRequest request;
  request.verb = kOpenVerb;
  request.file = ctx_.Wide(path);
  request.parameters = kRemoveUsbDriversAction;
  request.show_command = kSwShowNormal;
  if (p.shell.ShellExecute(request) <= kShellExecuteErrorLimit) {
    // Nothing was started: say so instead of reporting a removal.
    Log("IDS_ERR_UNINSTALL", path);
    return false;
  }
  const WString caption = ctx_.Wide(ctx_.usb_caption.empty() ? kUsbInstallerCaption : ctx_.usb_caption);
  Pause(kInstallerFirstLookMs);
  // As long as the installer's window exists, wait a second and look again.
  p.shell.WaitWhileWindowExists(caption, kInstallerPollMs, 0);
  Pause(kInstallerSettleMs);
  Pause(kInstallerEndMs);
  Log("IDS_DRV_SUCCESS1");
  return true;
}

bool UninstallRun::RestartWindows() {
  // The platform enables the shutdown privilege first and calls
  // ExitWindowsEx only when that succeeds (Windows 9x has no privileges).
  return ctx_.platform.shell.ExitWindowsEx(kEwxReboot, 0);
}

}  // namespace kit::uninstall
