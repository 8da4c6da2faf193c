// The uninstall run: the check for queued jobs before it, then, on the
// worker thread, the walk over the ticked entries (monitors, processors,
// printers with their drivers, INF copies and TCP/IP ports), the USB driver
// removal through Install "22", the restart question and the end state of
// the window. Every step writes its line to the log; the fixed pauses give
// the spooler time to settle.
// This file is OS-independent.
#pragma once

#include <string>

#include "uninstall/flow/component_list.h"
#include "uninstall/flow/context.h"
#include "uninstall/flow/printer_records.h"
#include "uninstall/flow/removal_outcome.h"

namespace kit::uninstall {

// Pauses, in milliseconds.
inline constexpr std::uint32_t kEntryPauseMs = 500;
inline constexpr std::uint32_t kErrorPauseMs = 100;
inline constexpr std::uint32_t kAfterSpoolerRestartMs = 500;
inline constexpr std::uint32_t kAfterPrinterDeletionMs = 1000;
inline constexpr std::uint32_t kSpoolerStopStartMs = 2000;
inline constexpr std::uint32_t kInstallerFirstLookMs = 500;
inline constexpr std::uint32_t kInstallerPollMs = 1000;
inline constexpr std::uint32_t kInstallerSettleMs = 500;
inline constexpr std::uint32_t kInstallerEndMs = 1000;

// The wait for a spooler started before the list: up to 10 looks, 300 ms
// apart.
inline constexpr int kSpoolerStartLooks = 10;
inline constexpr std::uint32_t kSpoolerStartLookMs = 300;
// What a run reports as left behind (RunResult::left), and its log line.
inline constexpr char kSpoolerLeftStopped[] = "the print spooler (stopped)";
inline constexpr char kSpoolerNotStartedLine[] = "The print spooler did not start again.";
inline constexpr char kDriverLeftPrefix[] = "driver ";
inline constexpr char kFileLeftPrefix[] = "file ";
inline constexpr char kPortLeftPrefix[] = "port ";
inline constexpr char kKeyLeftPrefix[] = "registry key ";
inline constexpr char kLocalMachinePrefix[] = "HKLM\\";
// The log line of a file that is there and cannot be deleted.
inline constexpr char kFileLeftLine[] = "Cannot delete %s: it stays.";
// The log line of a registry key that is there and cannot be deleted.
inline constexpr char kKeyLeftLine[] = "Cannot delete the registry key %s: it stays.";

// Starts the "Spooler" service when it is found stopped, and waits until it
// runs; false when it was stopped and does not run.
bool StartStoppedSpooler(Platform& platform);

// Install's argument that removes the USB device drivers.
inline constexpr char16_t kRemoveUsbDriversAction[] = u"22";
inline constexpr char kInstaller32[] = "\\USBDrv\\USBDriver\\Install.exe";
inline constexpr char kInstaller64[] = "\\USBDrv\\USBDriver_x64\\Install.exe";

// What the run does to the window. The dialog carries each call out on its
// own thread.
class RunView {
 public:
  virtual ~RunView() = default;
  // Appends a line to the log and selects it.
  virtual void Log(const std::string& line) = 0;
  virtual int EntryCount() = 0;
  virtual Component Entry(int index) = 0;
  virtual bool IsEntryTicked(int index) = 0;
  virtual void DeleteEntry(int index) = 0;
  virtual bool IsUsbBoxTicked() = 0;
  // Disables the list, the check box and buttons 1002, 1012 and 2.
  virtual void DisableControls() = 0;
  // The end of a run: with entries left, IDS_SELECTPRN1 and the list and
  // buttons enabled (the check box too when `usb_box`); else only button 2.
  virtual void EnableControls(bool entries_left, bool usb_box) = 0;
  // The restart dialog; true for its button 1.
  virtual bool AskRestart() = 0;
  // Widens the log to its widest line and selects the last one.
  virtual void FitLog() = 0;
};

class UninstallRun {
 public:
  UninstallRun(const UninstallContext& ctx, RunView& view) : ctx_(ctx), view_(view) {}

  // Every local printer, of the family or not, is examined for queued jobs;
  // the first problem is logged and answers false: no run starts.
  bool CheckQueuedJobs();
  // The whole run (on the worker thread); what it removed and left.
  RunResult Run();

  // The steps, public for tests.
  enum class Step { kRemoved, kFailed, kAbort };
  Step RemoveMonitor(const std::string& name);
  Step RemoveProcessor(const std::string& name);
  Step RemovePrinter(const std::string& name);
  // A family driver no printer uses (listed as such).
  Step RemoveUnusedDriver(const std::string& name);
  // False when the spooler did not start again (it is then named in the
  // run's left-behind list).
  bool RestartSpooler();
  // False when the USB installer could not be started.
  bool RemoveUsbDrivers();
  // False when Windows refused the restart.
  bool RestartWindows();

  // The USB installer's path for this system.
  std::string InstallerPath() const;

 private:
  void Log(const char* key);
  void Log(const char* key, std::string_view argument);
  void Pause(std::uint32_t ms);
  // Logs why a printer could not be read (IDS_ERR_OPENPRN with `name`,
  // IDS_ERR_GETPRNINFO or IDS_ERR_ALLOC, the last two followed by 100 ms);
  // false when it was read.
  bool LogReadProblem(PrinterRead outcome, const std::string& name);
  bool PrinterUsesSerialPort(const std::string& monitor);
  void DeleteMonitorFiles(const std::string& name);
  WString RegisteredProcessorFile(const WString& key_path);
  void DeleteProcessorFile(const std::string& name, const WString& registered);
  void DeleteInfCopies(const std::string& printer_name);
  void RemoveDriver(const PrinterInfo2& record);
  // DeletePrinterDriverEx (DeletePrinterDriver where it is missing) in the
  // removal's environment; false with the last error set.
  bool DeleteDriver(WStringView server, WStringView driver_name);
  // Whether a printer still names `driver_name`; true when the printers
  // cannot be listed (one may).
  bool DriverStillUsed(WStringView driver_name);
  void DeleteUnusedNetworkPort(const WString& port);
  // RegDeleteKeyEx under HKLM in `view`: a key that is there and cannot be
  // deleted is left behind.
  void DeleteKeyOrNote(const WString& key, std::uint32_t view);
  // DeleteFile: a file that is there and cannot be deleted is left behind.
  void DeleteFileOrNote(const WString& path);

  const UninstallContext& ctx_;
  RunView& view_;
  std::vector<std::string> left_;
  bool spooler_stopped_ = false;
};

}  // namespace kit::uninstall
