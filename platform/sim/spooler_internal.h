// Internal to the virtual machine's print spooler: the spooler object, its
// printer handles and the helpers its parts share. Each spooler object has
// its own source file: printers, drivers, monitors and processors, ports,
// jobs and forms; spooler.cpp holds the service state and the helpers.
#pragma once

#include <map>
#include <vector>

#include "platform/sim/core.h"

namespace kit::sim::spool {

constexpr std::uint32_t kPrinterStatusPendingDeletion = 0x4;

// Byte size of a string in an enumeration buffer: NULL pointers take none.
std::uint32_t Sz(const WString& s);
WString Upper(const WString& s);
Json* FindByName(Json& list, WStringView name, const char* member = "name");
// The entry of a driver or print-processor list with this name for this
// environment.
Json* FindForEnvironment(Json& list, WStringView name, WStringView environment);
bool EraseByName(Json& list, WStringView name, const char* member = "name");
bool IsKnownEnvironment(WStringView env);
// A registry node below HKLM (64-bit view), created on demand.
Json& RegistryNode(Json& s, const std::vector<WString>& path);
std::vector<WString> SplitPath(const WString& text);
void SetRegString(Json& node, const char* name, const WString& value);
// Removes a key and everything below it (the spooler's own clean-up).
void RemoveRegistryTree(Json& s, const std::vector<WString>& path);

// The one writer of each spooler record, used by the spooler's calls and by
// what Windows does on its own (a printer-class package bound to a USB
// printer), so that every driver and printer carries the same members with
// the same defaults.
//
// Stores the driver `info` for environment `env` with the paths of its files
// in the version folder; a driver of that name and environment is replaced
// (upgraded in place).
void StoreDriverRecord(Json& spooler, const DriverInfo3& info, WStringView env, Json files);
// The print processor a printer gets when its caller names none.
inline constexpr char16_t kDefaultPrintProcessor[] = u"WinPrint";
// The record of a new printer: an empty processor is kDefaultPrintProcessor,
// an empty data type "RAW", priority 0 is 1; the default attribute is not
// kept (the default printer is the spooler's own member).
Json PrinterRecord(const PrinterInfo2& info);
// Adds a printer record; the first printer becomes the default one, as on
// Windows.
void StorePrinterRecord(Json& spooler, Json record);

struct HandleInfo {
  enum class Kind { kServer, kPrinter, kXcvMonitor, kXcvPort } kind = Kind::kPrinter;
  WString name;
  std::uint32_t access = 0;
  std::uint64_t epoch = 0;
};

class SimSpooler;

class SimPrinter final : public Printer {
 public:
  // `borrowed` is the owner's handle value for a non-owning handle, 0 for
  // a handle this object owns.
  SimPrinter(SimSpooler& spooler, HandleInfo info, std::uintptr_t borrowed);
  ~SimPrinter() override;

  bool ClosePrinter() override;
  std::uintptr_t NativeHandle() const override { return id_; }
  bool GetPrinter(std::uint32_t level, PrinterInfo2* info, std::uint32_t buffer_size, std::uint32_t* needed) override;
  bool SetPrinter(const PrinterInfo2& info) override;
  bool DeletePrinter() override;
  std::uint32_t StartDocPrinter(const DocInfo1& doc) override;
  bool StartPagePrinter() override;
  bool WritePrinter(const std::uint8_t* data, std::uint32_t size, std::uint32_t* written) override;
  bool EndPagePrinter() override;
  bool EndDocPrinter() override;
  bool EnumForms(std::vector<FormInfo1>* forms, std::uint32_t buffer_size, std::uint32_t* needed,
                 std::uint32_t* returned) override;
  bool AddForm(const FormInfo1& form) override;
  bool SetForm(WStringView name, const FormInfo1& form) override;
  bool DeleteForm(WStringView name) override;
  bool XcvData(WStringView data_name, const Bytes& input, std::uint32_t output_size, Bytes* output,
               std::uint32_t* output_needed, std::uint32_t* status) override;

 private:
  SimSpooler& spooler_;
  HandleInfo info_;
  bool owned_;
  bool closed_ = false;
  std::uintptr_t id_;
  std::uint32_t current_job_ = 0;
  bool in_page_ = false;
};

class SimSpooler final : public Spooler {
 public:
  explicit SimSpooler(Core& core) : core_(core) {}

  Core& core() { return core_; }
  std::uint32_t PointerSize() const { return core_.process().bits == 64 ? 8 : 4; }

  // Runs a spooler call: the service must run; `call` returns the result.
  template <typename F>
  bool Call(const char* api, WStringView subject, F&& call) {
    return core_.Update([&](Json& s) {
      if (s["services"]["Spooler"].value("state", kServiceRunning) != kServiceRunning) {
        return Core::Fail(win32::kRpcServerUnavailable);
      }
      if (auto f = Core::TakeFault(s, api, subject)) return Core::Fail(*f);
      return call(s);
    });
  }
  // Same, for a handle: invalid after a spooler restart or once closed.
  template <typename F>
  bool HandleCall(const HandleInfo& info, bool closed, const char* api, F&& call) {
    if (closed) return Core::Fail(win32::kErrorInvalidHandle);
    return Call(api, info.name, [&](Json& s) {
      if (s["spooler"].value("epoch", std::uint64_t{0}) != info.epoch) return Core::Fail(win32::kErrorInvalidHandle);
      return call(s);
    });
  }

  std::uintptr_t Register(const HandleInfo& info) {
    const std::uintptr_t id = next_handle_;
    next_handle_ += 8;
    handles_[id] = info;
    return id;
  }
  void Unregister(std::uintptr_t id) { handles_.erase(id); }

  // ---- Helpers on the state (spooler.cpp) ----
  WString Env(const Json& s, WStringView env) const;
  WString DriverDirectory(const Json& s, WStringView env) const;
  WString ProcessorDirectory(const Json& s, WStringView env) const;
  // The native system folder (monitor DLLs live there).
  WString NativeSystemDirectory(const Json& s) const;
  bool HostFileExists(const Json& s, const WString& windows_path);

  // ---- Printers (spooler_printers.cpp) ----
  static std::uint32_t JobsOf(const Json& s, WStringView printer);
  PrinterInfo2 ToInfo(const Json& s, const Json& p);
  // Bytes a PRINTER_INFO_n takes in the caller's buffer.
  std::uint32_t PrinterSize(std::uint32_t level, const PrinterInfo2& i) const;
  bool OpenPrinter(WStringView name, const PrinterDefaults& defaults, PrinterHandle* printer) override;
  PrinterHandle BorrowPrinter(std::uintptr_t native_handle) override;
  bool AddPrinter(WStringView server, const PrinterInfo2& info, PrinterHandle* printer) override;
  bool EnumPrinters(std::uint32_t flags, WStringView, std::uint32_t level, std::vector<PrinterInfo2>* printers,
                    std::uint32_t buffer_size, std::uint32_t* needed, std::uint32_t* returned) override;
  bool GetDefaultPrinter(WString* name) override;
  bool SetDefaultPrinter(WStringView name) override;

  // ---- Drivers (spooler_drivers.cpp) ----
  bool GetPrinterDriverDirectory(WStringView server, WStringView environment, WString* directory) override;
  bool AddPrinterDriverEx(WStringView server, const DriverInfo3& info, std::uint32_t) override;
  bool DeleteDriver(const char* api, WStringView server, WStringView environment, WStringView name,
                    std::uint32_t flags);
  bool DeletePrinterDriverEx(WStringView server, WStringView environment, WStringView driver_name,
                             std::uint32_t delete_flags, std::uint32_t) override;
  bool DeletePrinterDriver(WStringView server, WStringView environment, WStringView driver_name) override;
  bool EnumPrinterDrivers(WStringView server, WStringView environment, std::vector<DriverInfo3>* drivers,
                          std::uint32_t buffer_size, std::uint32_t* needed, std::uint32_t* returned) override;

  // ---- Monitors and print processors (spooler_monitors.cpp) ----
  bool AddMonitor(WStringView server, const MonitorInfo2& info) override;
  bool DeleteMonitor(WStringView server, WStringView environment, WStringView name) override;
  bool EnumMonitors(WStringView server, std::uint32_t level, std::vector<MonitorInfo2>* monitors,
                    std::uint32_t buffer_size, std::uint32_t* needed, std::uint32_t* returned) override;
  bool GetPrintProcessorDirectory(WStringView server, WStringView environment, WString* directory) override;
  bool AddPrintProcessor(WStringView server, WStringView environment, WStringView dll_name,
                         WStringView name) override;
  bool DeletePrintProcessor(WStringView server, WStringView environment, WStringView name) override;
  bool EnumPrintProcessors(WStringView server, WStringView environment, std::vector<PrintProcessorInfo1>* processors,
                           std::uint32_t buffer_size, std::uint32_t* needed, std::uint32_t* returned) override;

  // ---- Ports (spooler_ports.cpp) ----
  // All ports: the explicit ones and those of registry-listed monitors.
  std::vector<PortInfo2> AllPorts(Json& s);
  // Asks each loaded port monitor for its ports again (EnumPorts), outside
  // the hold on the state, as Windows' spooler asks its monitors whenever
  // ports are listed or named: a monitor's ports may follow what was
  // recorded since it was added (the USB ports of the install's records).
  void RefreshMonitorPorts();
  const PortInfo2* FindPort(const std::vector<PortInfo2>& ports, WStringView name);
  bool EnumPorts(WStringView server, std::uint32_t level, std::vector<PortInfo2>* ports, std::uint32_t buffer_size,
                 std::uint32_t* needed, std::uint32_t* returned) override;
  bool DeletePort(WStringView server, WStringView port_name) override;

  // ---- Jobs (spooler_jobs.cpp) ----
  // Delivers a finished job according to its port's mapping.
  void Deliver(Json& s, Json& job);

 private:
  Core& core_;
  std::map<std::uintptr_t, HandleInfo> handles_;
  std::uintptr_t next_handle_ = 0x1000;
};

}  // namespace kit::sim::spool
