// Print spooler (winspool): drivers, port monitors, print processors,
// ports, printers, forms, the default printer and raw jobs.
//
// Calls return false (or 0) and set the last error, as the W functions do.
// Enumerations and GetPrinter keep the two-pass buffer contract: the caller
// states the buffer size it would pass (`buffer_size`, in bytes); *needed
// always receives the size Windows would need (the W structures of this
// process's pointer width plus their strings); a short buffer fails with
// kErrorInsufficientBuffer and leaves the output empty.
// This file is OS-independent.
#pragma once

#include <cstdint>
#include <memory>

#include "platform/types.h"

namespace kit {

// Environments.
inline constexpr char16_t kEnvironmentWin40[] = u"Windows 4.0";
inline constexpr char16_t kEnvironmentNtX86[] = u"Windows NT x86";
inline constexpr char16_t kEnvironmentX64[] = u"Windows x64";
inline constexpr char16_t kEnvironmentIa64[] = u"Windows IA64";

// Printer access rights and attributes.
inline constexpr std::uint32_t kPrinterAccessAdminister = 0x0004;
inline constexpr std::uint32_t kPrinterAccessUse = 0x0008;
inline constexpr std::uint32_t kPrinterAllAccess = 0x000F000C;
inline constexpr std::uint32_t kServerAccessAdminister = 0x0001;
inline constexpr std::uint32_t kPrinterAttributeQueued = 0x0001;
inline constexpr std::uint32_t kPrinterAttributeDirect = 0x0002;
inline constexpr std::uint32_t kPrinterAttributeDefault = 0x0004;
inline constexpr std::uint32_t kPrinterAttributeShared = 0x0008;
inline constexpr std::uint32_t kPrinterAttributeLocal = 0x0040;

// EnumPrinters flags.
inline constexpr std::uint32_t kPrinterEnumLocal = 0x0002;
inline constexpr std::uint32_t kPrinterEnumConnections = 0x0004;

// AddPrinterDriverEx copy flags and DeletePrinterDriverEx flags.
inline constexpr std::uint32_t kApdStrictUpgrade = 0x0001;
inline constexpr std::uint32_t kApdStrictDowngrade = 0x0002;
inline constexpr std::uint32_t kApdCopyAllFiles = 0x0004;
inline constexpr std::uint32_t kApdCopyNewFiles = 0x0008;
inline constexpr std::uint32_t kDpdDeleteUnusedFiles = 0x0001;
inline constexpr std::uint32_t kDpdDeleteSpecificVersion = 0x0002;
inline constexpr std::uint32_t kDpdDeleteAllFiles = 0x0004;

// Form flags.
inline constexpr std::uint32_t kFormUser = 0x0;
inline constexpr std::uint32_t kFormBuiltin = 0x1;
inline constexpr std::uint32_t kFormPrinter = 0x2;

// The standard TCP/IP port monitor's configuration channel.
inline constexpr char16_t kXcvStandardTcpIpMonitor[] = u",XcvMonitor Standard TCP/IP Port";

// DRIVER_INFO_3 (levels 1 to 3 use its first fields).
struct DriverInfo3 {
  std::uint32_t version = 3;
  WString name;
  WString environment;  // empty: this process's environment
  WString driver_path;  // file names as given; full paths when enumerated
  WString data_file;
  WString config_file;
  WString help_file;
  std::vector<WString> dependent_files;
  WString monitor_name;
  WString default_data_type;
};

// MONITOR_INFO_2 (level 1 has the name only).
struct MonitorInfo2 {
  WString name;
  WString environment;
  WString dll_name;
};

// PRINTPROCESSOR_INFO_1.
struct PrintProcessorInfo1 {
  WString name;
};

// PORT_INFO_2 (level 1 has the name only).
struct PortInfo2 {
  WString port_name;
  WString monitor_name;
  WString description;
  std::uint32_t port_type = 0;
};

// PRINTER_INFO_2. Level 4 fills name, server and attributes; level 5 name,
// port, attributes and the two timeouts; level 1 flags, name and comment.
struct PrinterInfo2 {
  WString server_name;
  WString printer_name;
  WString share_name;
  WString port_name;
  WString driver_name;
  WString comment;
  WString location;
  Bytes dev_mode;  // the printer's default DEVMODEW, empty when none
  WString sep_file;
  WString print_processor;
  WString datatype;
  WString parameters;
  std::uint32_t attributes = 0;
  std::uint32_t priority = 1;
  std::uint32_t default_priority = 0;
  std::uint32_t start_time = 0;
  std::uint32_t until_time = 0;
  std::uint32_t status = 0;
  std::uint32_t jobs = 0;  // cJobs: jobs queued and not yet printed
  std::uint32_t average_ppm = 0;
  std::uint32_t device_not_selected_timeout = 15000;  // level 5
  std::uint32_t transmission_retry_timeout = 45000;   // level 5
};

// FORM_INFO_1: sizes in thousandths of a millimetre.
struct FormInfo1 {
  std::uint32_t flags = kFormUser;
  WString name;
  std::int32_t width = 0;
  std::int32_t height = 0;
  std::int32_t imageable_left = 0;
  std::int32_t imageable_top = 0;
  std::int32_t imageable_right = 0;
  std::int32_t imageable_bottom = 0;
};

// DOC_INFO_1.
struct DocInfo1 {
  WString doc_name;
  WString output_file;  // empty: NULL
  WString datatype;     // "RAW"
};

// PRINTER_DEFAULTS for OpenPrinter.
struct PrinterDefaults {
  WString datatype;
  Bytes dev_mode;
  std::uint32_t desired_access = 0;
};

// An open printer, print server or Xcv channel (OpenPrinter / AddPrinter).
// ClosePrinter on destruction unless the handle is borrowed (a handle the
// printing host owns and passed to the plug-in).
class Printer {
 public:
  virtual ~Printer() = default;
  // ClosePrinter; the destructor closes when this was not called.
  virtual bool ClosePrinter() = 0;
  // The value Windows would hand out as HANDLE, for records such as
  // OEMCUIPPARAM that carry it. Spooler::BorrowPrinter maps it back.
  virtual std::uintptr_t NativeHandle() const = 0;

  // GetPrinter at level 1, 2, 4 or 5 (see PrinterInfo2).
  virtual bool GetPrinter(std::uint32_t level, PrinterInfo2* info, std::uint32_t buffer_size,
                          std::uint32_t* needed) = 0;
  // SetPrinter at level 2 (command 0).
  virtual bool SetPrinter(const PrinterInfo2& info) = 0;
  // DeletePrinter: marks the printer for deletion; Windows removes it when
  // the last handle closes and its queue is empty.
  virtual bool DeletePrinter() = 0;

  // Raw jobs. StartDocPrinter returns the job id, 0 on failure.
  virtual std::uint32_t StartDocPrinter(const DocInfo1& doc) = 0;
  virtual bool StartPagePrinter() = 0;
  // WritePrinter: *written receives the bytes taken.
  virtual bool WritePrinter(const std::uint8_t* data, std::uint32_t size, std::uint32_t* written) = 0;
  virtual bool EndPagePrinter() = 0;
  virtual bool EndDocPrinter() = 0;

  // Forms of the print server the printer belongs to (level 1).
  virtual bool EnumForms(std::vector<FormInfo1>* forms, std::uint32_t buffer_size, std::uint32_t* needed,
                         std::uint32_t* returned) = 0;
  // AddForm: kErrorFileExists when a form of that name exists.
  virtual bool AddForm(const FormInfo1& form) = 0;
  // SetForm / DeleteForm: kErrorInvalidFormName when there is no such form;
  // built-in forms cannot be deleted.
  virtual bool SetForm(WStringView name, const FormInfo1& form) = 0;
  virtual bool DeleteForm(WStringView name) = 0;

  // XcvData on an Xcv handle (",XcvMonitor Standard TCP/IP Port"): the call
  // succeeds when the channel took the command; *status is the monitor's
  // own result (kErrorSuccess, kErrorAlreadyExists, kErrorInvalidParameter…).
  virtual bool XcvData(WStringView data_name, const Bytes& input, std::uint32_t output_size, Bytes* output,
                       std::uint32_t* output_needed, std::uint32_t* status) = 0;
};
using PrinterHandle = std::unique_ptr<Printer>;

class Spooler {
 public:
  virtual ~Spooler() = default;

  // OpenPrinter(name, defaults). A null name opens the local print server;
  // ",XcvMonitor <monitor>" and ",XcvPort <port>" open Xcv channels.
  virtual bool OpenPrinter(WStringView name, const PrinterDefaults& defaults, PrinterHandle* printer) = 0;
  // A non-owning Printer for a handle the host owns (its destructor does
  // not close it). Null when the value is no open printer.
  virtual PrinterHandle BorrowPrinter(std::uintptr_t native_handle) = 0;
  // AddPrinter(server, 2, info): kErrorPrinterAlreadyExists,
  // kErrorUnknownPort, kErrorUnknownPrinterDriver, kErrorUnknownPrintProcessor.
  virtual bool AddPrinter(WStringView server, const PrinterInfo2& info, PrinterHandle* printer) = 0;
  // EnumPrinters(flags, name, level): levels 1, 2, 4 and 5.
  virtual bool EnumPrinters(std::uint32_t flags, WStringView name, std::uint32_t level,
                            std::vector<PrinterInfo2>* printers, std::uint32_t buffer_size, std::uint32_t* needed,
                            std::uint32_t* returned) = 0;
  // GetDefaultPrinter / SetDefaultPrinter (Windows 2000 and later).
  virtual bool GetDefaultPrinter(WString* name) = 0;
  virtual bool SetDefaultPrinter(WStringView name) = 0;

  // Folders, level 1: "C:\Windows\system32\spool\drivers\w32x86",
  // "C:\Windows\system32\spool\prtprocs\x64", … An empty environment is the
  // local one.
  virtual bool GetPrinterDriverDirectory(WStringView server, WStringView environment, WString* directory) = 0;
  virtual bool GetPrintProcessorDirectory(WStringView server, WStringView environment, WString* directory) = 0;

  // AddPrinterDriverEx(server, 3, info, flags): the files are taken from the
  // printer-driver folder. kErrorFileNotFound when one is missing,
  // kErrorUnknownPrintMonitor for an unknown language monitor.
  virtual bool AddPrinterDriverEx(WStringView server, const DriverInfo3& info, std::uint32_t copy_flags) = 0;
  // AddPrinterDriver behaves as AddPrinterDriverEx with APD_COPY_NEW_FILES.
  bool AddPrinterDriver(WStringView server, const DriverInfo3& info) {
    return AddPrinterDriverEx(server, info, kApdCopyNewFiles);
  }
  // DeletePrinterDriverEx: kErrorPrinterDriverInUse while a printer uses
  // it, kErrorUnknownPrinterDriver when missing.
  virtual bool DeletePrinterDriverEx(WStringView server, WStringView environment, WStringView driver_name,
                                     std::uint32_t delete_flags, std::uint32_t version_flag) = 0;
  virtual bool DeletePrinterDriver(WStringView server, WStringView environment, WStringView driver_name) = 0;
  // EnumPrinterDrivers(server, environment, level 3).
  virtual bool EnumPrinterDrivers(WStringView server, WStringView environment, std::vector<DriverInfo3>* drivers,
                                  std::uint32_t buffer_size, std::uint32_t* needed, std::uint32_t* returned) = 0;

  // AddMonitor(server, 2, info): kErrorPrintMonitorAlreadyInstalled when the
  // name is taken, kErrorModNotFound when the DLL is not in the system folder.
  virtual bool AddMonitor(WStringView server, const MonitorInfo2& info) = 0;
  // DeleteMonitor: kErrorPrintMonitorInUse while a printer uses one of its
  // ports, kErrorUnknownPrintMonitor when missing.
  virtual bool DeleteMonitor(WStringView server, WStringView environment, WStringView name) = 0;
  // EnumMonitors at level 1 or 2.
  virtual bool EnumMonitors(WStringView server, std::uint32_t level, std::vector<MonitorInfo2>* monitors,
                            std::uint32_t buffer_size, std::uint32_t* needed, std::uint32_t* returned) = 0;

  // AddPrintProcessor(server, environment, dll file name, name): the DLL must
  // be in the print-processor folder; kErrorPrintProcessorAlreadyInstalled.
  virtual bool AddPrintProcessor(WStringView server, WStringView environment, WStringView dll_name,
                                 WStringView name) = 0;
  // DeletePrintProcessor: kErrorCanNotComplete while a printer uses it,
  // kErrorUnknownPrintProcessor when missing.
  virtual bool DeletePrintProcessor(WStringView server, WStringView environment, WStringView name) = 0;
  virtual bool EnumPrintProcessors(WStringView server, WStringView environment,
                                   std::vector<PrintProcessorInfo1>* processors, std::uint32_t buffer_size,
                                   std::uint32_t* needed, std::uint32_t* returned) = 0;

  // EnumPorts at level 1 or 2.
  virtual bool EnumPorts(WStringView server, std::uint32_t level, std::vector<PortInfo2>* ports,
                         std::uint32_t buffer_size, std::uint32_t* needed, std::uint32_t* returned) = 0;
  // DeletePort(server, no parent window, name): kErrorUnknownPort when missing.
  virtual bool DeletePort(WStringView server, WStringView port_name) = 0;
};

}  // namespace kit
