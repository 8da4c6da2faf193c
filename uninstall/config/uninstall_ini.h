// What Uninstall.ini names: the family's port monitors, print processors and
// printer drivers, and per Windows version the files and registry names of
// each monitor and processor.
//
// List sections hold a count and numbered entries (KVMONITOR: MonitorNUM,
// MONITORNAME1...; KVPROC: PROCNUM, PROCNAME1...; KVPRINTER: PRINTERNUM,
// PRINTERNAME1...). A component belongs to the family when its name holds an
// entry as a substring (case-sensitive). Entries 1 to 9 are the format's
// whole range: a larger count reads nine, a negative or non-numeric one none.
// An entry that is missing, empty or "0" matches nothing: the profile
// default "0" (or an empty value, a substring of every name) would claim
// every component whose name holds a 0 (or every component at all), and the
// uninstaller would remove what the family does not own.
// This file is OS-independent.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "common/ini/profile_file.h"

namespace kit::uninstall {

// Buffers of the values read from Uninstall.ini: 30 bytes.
inline constexpr std::size_t kIniValueCapacity = 30;
// Section names, suffix included, hold at most 29 characters; longer ones
// are cut.
inline constexpr std::size_t kSectionCapacity = 30;
inline constexpr int kMaxListEntries = 9;
inline constexpr char kNoneValue[] = "0";

// The list sections.
struct ListSection {
  const char* section;
  const char* count_key;
  const char* entry_base;
};
inline constexpr ListSection kMonitorList{"KVMONITOR", "MonitorNUM", "MONITORNAME"};
inline constexpr ListSection kProcessorList{"KVPROC", "PROCNUM", "PROCNAME"};
inline constexpr ListSection kPrinterList{"KVPRINTER", "PRINTERNUM", "PRINTERNAME"};
inline constexpr char kManufacturerKey[] = "MANUFACTURER";

// Keys of the per-version sections.
inline constexpr char kMonitorRegistryKey[] = "USBMONitorName";
inline constexpr char kMonitorDllKey[] = "MonitorPDLLName";
inline constexpr char kMonitorUiDllKey[] = "MONitorPUIDLLName";
inline constexpr char kUsbMonitorDllKey[] = "USBMONitorDLLName";
inline constexpr char kProcessorDllKey[] = "ProcessorDllName";

// The count as the program converts it: leading blanks, an optional sign and
// the digits that follow (atoi); anything else is 0.
long ParseCount(std::string_view text);

// The entries of one list section that can match (see above).
std::vector<std::string> ReadList(const ini::FileSource& files, const std::string& ini_path, const ListSection& list,
                                  const ini::ProfileOptions& options);

// True for a value that names nothing: empty, or the "none" value "0".
bool NamesNothing(std::string_view value);
// True for a file name that stays in its folder: not empty and without "\",
// "/" or ":" (a value holding them would reach files outside the system or
// print-processor folder).
bool IsPlainFileName(std::string_view name);

class UninstallIni {
 public:
  // `files` must outlive this object. `os_code` picks the section suffix.
  UninstallIni(const ini::FileSource& files, std::string path, ini::ProfileOptions options, int os_code);

  // Reads the three lists and MANUFACTURER.
  void Load();

  bool IsFamilyMonitor(std::string_view name) const;
  // False on Windows 9x (code 0): no print processor is listed there; false
  // for the system's "WinPrint" (any case) whatever the list holds.
  bool IsFamilyProcessor(std::string_view name) const;
  // Whether a printer driver's name holds a KVPRINTER entry.
  bool IsFamilyDriver(std::string_view driver_name) const;

  // The per-version section of a monitor (its name without spaces) and of a
  // processor (its name as it is), followed by the OS code's suffix, cut at
  // 29 characters.
  std::string MonitorSection(std::string_view monitor) const;
  std::string ProcessorSection(std::string_view processor) const;

  // USBMONitorName, "0" when absent.
  std::string MonitorRegistryName(std::string_view monitor) const;
  // The monitor's files in the system folder, in the order they are
  // deleted: MonitorPDLLName, MONitorPUIDLLName and, for a section name
  // holding "USB", USBMONitorDLLName; values meaning none and names that are
  // no plain file name are left out.
  std::vector<std::string> MonitorFiles(std::string_view monitor) const;
  // ProcessorDllName, empty when it means none or is no plain file name.
  std::string ProcessorFile(std::string_view processor) const;

  const std::string& manufacturer() const { return manufacturer_; }
  const std::string& path() const { return path_; }
  const std::vector<std::string>& monitors() const { return monitors_; }
  const std::vector<std::string>& processors() const { return processors_; }
  const std::vector<std::string>& drivers() const { return drivers_; }

 private:
  std::string Read(const std::string& section, const char* key) const;

  const ini::FileSource& files_;
  std::string path_;
  ini::ProfileOptions options_;
  int os_code_;
  std::vector<std::string> monitors_, processors_, drivers_;
  std::string manufacturer_ = kNoneValue;
};

}  // namespace kit::uninstall
