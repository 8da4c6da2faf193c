// A small in-memory Windows for the installer's tests: the facilities the
// installer calls, each recording what it was asked and able to fail on
// purpose. Calls the installer never makes fail with ERROR_NOT_SUPPORTED.
#pragma once

#include <map>
#include <memory>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "platform/clock.h"
#include "platform/devices.h"
#include "platform/files.h"
#include "platform/shell.h"
#include "platform/spooler.h"
#include "platform/system.h"
#include "usbinstall/installer_context.h"

namespace kit::usbinstall::testing {

class FakeSystem final : public SystemFacts {
 public:
  OsVersionInfo version = Windows7();
  std::uint16_t language = kLangEnglishUs;
  std::uint32_t acp = 1252;
  WString module_path = u"C:\\kit\\USBDrv\\USBDriver\\Install.exe";
  std::map<win32::Error, WString> messages;  // FormatMessage texts
  std::set<std::u16string> missing_libraries;
  std::map<std::u16string, std::set<std::string>> missing_procs;
  win32::Error last_error = 0;

  win32::Error GetLastError() const override { return last_error; }
  void SetLastError(win32::Error code) override { last_error = code; }
  WString FormatMessage(win32::Error code, std::uint16_t) override {
    const auto it = messages.find(code);
    return it == messages.end() ? WString() : it->second;
  }
  bool GetVersionEx(OsVersionInfo* info) override {
    *info = version;
    return true;
  }
  void GetSystemInfo(SystemInfo* info) override { *info = SystemInfo{}; }
  bool GetNativeSystemInfo(SystemInfo* info) override {
    *info = SystemInfo{};
    info->processor_architecture = kProcessorArchitectureAmd64;
    return true;
  }
  bool IsWow64Process(bool* wow64) override {
    *wow64 = false;
    return true;
  }
  bool Is64BitProcess() const override { return true; }
  std::uint16_t GetSystemDefaultLangID() override { return language; }
  std::uint16_t GetUserDefaultLangID() override { return language; }
  std::uint32_t GetACP() override { return acp; }
  std::uint32_t GetOEMCP() override { return 437; }
  bool IsAdministrator() override { return true; }
  WString GetWindowsDirectory() override { return u"C:\\Windows"; }
  WString GetSystemDirectory() override { return u"C:\\Windows\\system32"; }
  WString GetTempPath() override { return u"C:\\Temp\\"; }
  WString GetUserName() override { return u"User"; }
  std::vector<WString> EnumFontFamilies(std::uint8_t) override { return {}; }
  bool SHGetSpecialFolderPath(int, bool, WString*) override { return Unsupported(); }
  WString GetModuleFileName() override { return module_path; }
  WString GetCurrentDirectory() override { return u"C:\\"; }
  WString GetCommandLine() override { return u"Install.exe"; }
  LibraryHandle LoadLibrary(WStringView name) override;

  static OsVersionInfo Windows7() {
    OsVersionInfo v;
    v.major = 6;
    v.minor = 1;
    v.build = 7601;
    v.platform_id = kVerPlatformWin32Nt;
    v.product_type = kVerNtWorkstation;
    return v;
  }

  bool Unsupported() {
    last_error = win32::kErrorNotSupported;
    return false;
  }
};

// Files keyed by upper-cased path; attributes kept per file.
class FakeFiles final : public Files {
 public:
  explicit FakeFiles(FakeSystem& system) : system_(system) {}
  struct Entry {
    std::string bytes;
    std::uint32_t attributes = kFileAttributeArchive;
    std::uint32_t share = kFileShareRead;  // of the last write
  };
  std::map<std::u16string, Entry> files;  // key: upper-case path
  std::vector<std::u16string> deleted;    // paths as given
  bool fail_find = false;

  void Put(WStringView path, std::string bytes, std::uint32_t attributes = kFileAttributeArchive);
  bool Has(WStringView path) const { return files.count(ToUpperAscii(path)) != 0; }
  std::string Content(WStringView path) const;

  std::uint32_t GetFileAttributes(WStringView path) override;
  bool SetFileAttributes(WStringView path, std::uint32_t attributes) override;
  bool CopyFile(WStringView, WStringView, bool) override { return system_.Unsupported(); }
  bool DeleteFile(WStringView path) override;
  bool MoveFile(WStringView, WStringView) override { return system_.Unsupported(); }
  bool MoveFileReplace(WStringView, WStringView) override { return system_.Unsupported(); }
  bool CreateDirectory(WStringView) override { return system_.Unsupported(); }
  bool RemoveDirectory(WStringView) override { return system_.Unsupported(); }
  FindHandlePtr FindFirstFile(WStringView pattern, FindData* first) override;
  bool ReadFile(WStringView path, std::uint64_t max_size, Bytes* content) override;
  bool ReadFileHead(WStringView path, std::uint64_t count, Bytes* content) override;
  bool WriteFile(WStringView path, const Bytes& content, WriteMode mode, std::uint32_t share) override;
  bool GetFileSize(WStringView, std::uint64_t*) override { return system_.Unsupported(); }
  ExclusiveReadStep ReadFileExclusive(WStringView, std::uint64_t, Bytes*) override {
    system_.Unsupported();
    return ExclusiveReadStep::kOpen;
  }
  bool GetFileVersionInfo(WStringView, FileVersionInfo*) override { return system_.Unsupported(); }
  bool WriteProfileString(WStringView, WStringView, WStringView) override { return system_.Unsupported(); }
  bool HasFsRedirectionFunctions() override { return true; }
  bool Wow64DisableWow64FsRedirection(void**) override { return true; }
  bool Wow64RevertWow64FsRedirection(void*) override { return true; }

 private:
  FakeSystem& system_;
};

// One device of the tree.
struct FakeDevice {
  std::vector<WString> hardware_ids;
  Guid class_guid;
  WString description;
  WString driver_inf;  // the INF bound by an update
  bool root_enumerated = false;
  bool removed = false;
};

// One line of an INF: key (field 0) and fields 1...
using FakeInfLine = std::vector<WString>;
struct FakeInf {
  Guid class_guid;
  WString class_name;
  std::map<WString, std::vector<FakeInfLine>> sections;  // section names as written
};

class FakeDevices final : public Devices {
 public:
  explicit FakeDevices(FakeSystem& system) : system_(system) {}

  std::vector<FakeDevice> tree;
  std::map<std::u16string, FakeInf> infs;  // key: upper-case path
  std::vector<std::u16string> store;        // INF paths copied into the store

  // Recorded calls.
  struct Update {
    WString hardware_id, inf_path;
    std::uint32_t flags;
  };
  std::vector<Update> updates;
  struct Copy {
    WString source, media;
    std::uint32_t media_type, style;
  };
  std::vector<Copy> copies;
  int reenumerations = 0;
  int created_sets = 0;

  // Faults: the nth call (1-based) of a kind fails with the code.
  std::map<std::string, std::pair<int, win32::Error>> faults;
  std::map<std::string, int> calls;
  bool has_config_manager = true;
  // A successful driver update says Windows must restart.
  bool update_needs_restart = false;
  // A device whose removal fails (index into tree).
  std::set<std::size_t> unremovable;

  bool Fault(const std::string& api);
  bool Registered(std::size_t index) const { return index < tree.size() && !tree[index].removed; }

  DeviceInfoSetHandle SetupDiGetClassDevs(const Guid* class_guid, WStringView enumerator,
                                          std::uint32_t flags) override;
  DeviceInfoSetHandle SetupDiCreateDeviceInfoList(const Guid* class_guid) override;
  bool UpdateDriverForPlugAndPlayDevices(WStringView hardware_id, WStringView inf_path, std::uint32_t flags,
                                         bool* reboot_required) override;
  bool SetupCopyOEMInf(WStringView source_inf, WStringView media_location, std::uint32_t media_type,
                       std::uint32_t copy_style, WString* destination_name) override;
  InfFileHandle SetupOpenInfFile(WStringView path, WStringView inf_class, std::uint32_t style,
                                 std::uint32_t* error_line) override;
  bool SetupDiGetINFClass(WStringView inf_path, Guid* class_guid, WString* class_name) override;
  bool SetupDiClassGuidsFromName(WStringView class_name, std::vector<Guid>* guids) override;
  bool SetupIterateCabinet(WStringView, const CabinetCallback&) override { return system_.Unsupported(); }
  bool HasConfigManager() override { return has_config_manager; }
  win32::ConfigRet CM_Locate_DevNode(std::uint32_t* dev_inst, WStringView device_id, std::uint32_t flags) override;
  win32::ConfigRet CM_Reenumerate_DevNode(std::uint32_t dev_inst, std::uint32_t flags) override;

  FakeSystem& system() { return system_; }

 private:
  FakeSystem& system_;
};

class FakeSpooler final : public Spooler {
 public:
  explicit FakeSpooler(FakeSystem& system) : system_(system) {}
  std::map<std::u16string, PrinterInfo2> printers;  // key: upper-case name
  WString default_printer;
  int set_default_calls = 0;
  std::vector<PrinterInfo2> set_printer_records;

  bool OpenPrinter(WStringView name, const PrinterDefaults& defaults, PrinterHandle* printer) override;
  PrinterHandle BorrowPrinter(std::uintptr_t) override { return nullptr; }
  bool AddPrinter(WStringView, const PrinterInfo2&, PrinterHandle*) override { return system_.Unsupported(); }
  bool EnumPrinters(std::uint32_t, WStringView, std::uint32_t, std::vector<PrinterInfo2>*, std::uint32_t,
                    std::uint32_t*, std::uint32_t*) override {
    return system_.Unsupported();
  }
  bool GetDefaultPrinter(WString* name) override {
    *name = default_printer;
    return !default_printer.empty();
  }
  bool SetDefaultPrinter(WStringView name) override;
  bool GetPrinterDriverDirectory(WStringView, WStringView, WString*) override { return system_.Unsupported(); }
  bool GetPrintProcessorDirectory(WStringView, WStringView, WString*) override { return system_.Unsupported(); }
  bool AddPrinterDriverEx(WStringView, const DriverInfo3&, std::uint32_t) override { return system_.Unsupported(); }
  bool DeletePrinterDriverEx(WStringView, WStringView, WStringView, std::uint32_t, std::uint32_t) override {
    return system_.Unsupported();
  }
  bool DeletePrinterDriver(WStringView, WStringView, WStringView) override { return system_.Unsupported(); }
  bool EnumPrinterDrivers(WStringView, WStringView, std::vector<DriverInfo3>*, std::uint32_t, std::uint32_t*,
                          std::uint32_t*) override {
    return system_.Unsupported();
  }
  bool AddMonitor(WStringView, const MonitorInfo2&) override { return system_.Unsupported(); }
  bool DeleteMonitor(WStringView, WStringView, WStringView) override { return system_.Unsupported(); }
  bool EnumMonitors(WStringView, std::uint32_t, std::vector<MonitorInfo2>*, std::uint32_t, std::uint32_t*,
                    std::uint32_t*) override {
    return system_.Unsupported();
  }
  bool AddPrintProcessor(WStringView, WStringView, WStringView, WStringView) override {
    return system_.Unsupported();
  }
  bool DeletePrintProcessor(WStringView, WStringView, WStringView) override { return system_.Unsupported(); }
  bool EnumPrintProcessors(WStringView, WStringView, std::vector<PrintProcessorInfo1>*, std::uint32_t,
                           std::uint32_t*, std::uint32_t*) override {
    return system_.Unsupported();
  }
  bool EnumPorts(WStringView, std::uint32_t, std::vector<PortInfo2>*, std::uint32_t, std::uint32_t*,
                 std::uint32_t*) override {
    return system_.Unsupported();
  }
  bool DeletePort(WStringView, WStringView) override { return system_.Unsupported(); }

  FakeSystem& system() { return system_; }

 private:
  FakeSystem& system_;
};

class FakeShell final : public Shell {
 public:
  explicit FakeShell(FakeSystem& system) : system_(system) {}
  struct Broadcast {
    WString section;
    std::uint32_t timeout;
  };
  std::vector<Broadcast> broadcasts;

  std::uintptr_t ShellExecute(const ShellExecuteRequest&) override { return kSeErrFileNotFound; }
  WindowHandle FindWindow(WStringView) override { return 0; }
  WindowHandle FindWindowEx(WindowHandle, WStringView) override { return 0; }
  bool IsWindow(WindowHandle) override { return false; }
  bool IsIconic(WindowHandle) override { return false; }
  bool SetForegroundWindow(WindowHandle) override { return system_.Unsupported(); }
  bool ShowWindow(WindowHandle, int) override { return system_.Unsupported(); }
  bool WaitWhileWindowExists(WStringView, std::uint32_t, std::uint32_t) override { return true; }
  TopLevelWindowHandle AnnounceWindow(WStringView) override { return nullptr; }
  NamedMutexHandle CreateMutex(WStringView, bool) override { return nullptr; }
  bool BroadcastSettingChange(WStringView section, std::uint32_t timeout) override {
    broadcasts.push_back({WString(section), timeout});
    return true;
  }
  bool ExitWindowsEx(std::uint32_t, std::uint32_t) override { return system_.Unsupported(); }

 private:
  FakeSystem& system_;
};

class FakeClock final : public Clock {
 public:
  std::uint64_t slept = 0;
  std::vector<std::uint32_t> sleeps;
  SystemTime now{2026, 12, 0, 6, 14, 3, 7, 0};
  void Sleep(std::uint32_t milliseconds) override {
    slept += milliseconds;
    sleeps.push_back(milliseconds);
  }
  std::uint64_t GetTickCount64() override { return slept; }
  SystemTime GetLocalTime() override { return now; }
};

class FakeProfile final : public UserProfile {
 public:
  std::map<std::string, std::string> values;  // "section/key"
  bool WriteProfileString(std::string_view section, std::string_view key, std::string_view value) override {
    values[std::string(section) + "/" + std::string(key)] = std::string(value);
    return true;
  }
};

// The installer's window: records every line, box and progress step.
class FakeView final : public InstallerView {
 public:
  std::string progress;  // all lines appended
  struct Box {
    std::string text, caption;
    std::uint32_t style;
  };
  std::vector<Box> boxes;
  int progress_opened = 0;
  int progress_closed = 0;
  std::vector<int> positions;
  int range_low = -1, range_high = -1;
  // Whether the progress window was open when the device update ran.
  bool window_open = false;

  void AppendProgress(std::string_view line) override { progress += line; }
  int MessageBox(std::string_view text, std::string_view caption, std::uint32_t style) override {
    boxes.push_back({std::string(text), std::string(caption), style});
    return 1;
  }
  void OpenProgressWindow() override {
    ++progress_opened;
    window_open = true;
  }
  void SetProgressRange(int low, int high) override {
    range_low = low;
    range_high = high;
  }
  void SetProgressPosition(int position) override { positions.push_back(position); }
  void CloseProgressWindow() override {
    ++progress_closed;
    window_open = false;
  }
};

// Everything together, with a context for the actions.
struct FakeMachine {
  FakeSystem system;
  FakeFiles files{system};
  FakeDevices devices{system};
  FakeSpooler spooler{system};
  FakeShell shell{system};
  FakeClock clock;
  FakeProfile profile;
  FakeView view;
  std::ostringstream out;
  InstallerContext context{system, files, devices, spooler, shell, clock, profile, view, out,
                           "C:\\kit\\USBDrv\\USBDriver"};

  void SetVersion(std::uint32_t major, std::uint32_t minor, std::uint8_t product = kVerNtWorkstation) {
    system.version.major = major;
    system.version.minor = minor;
    system.version.product_type = product;
  }
  // Plugs a present device; returns its index.
  std::size_t Plug(std::vector<WString> hardware_ids, const Guid& device_class = kGuidDevClassUsb) {
    FakeDevice device;
    device.hardware_ids = std::move(hardware_ids);
    device.class_guid = device_class;
    devices.tree.push_back(device);
    return devices.tree.size() - 1;
  }
};

}  // namespace kit::usbinstall::testing
