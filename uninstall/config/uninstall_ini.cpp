// This file is OS-independent.
#include "uninstall/config/uninstall_ini.h"

#include <algorithm>
#include <climits>

#include "common/oscode/os_code.h"
#include "common/strings/capacity.h"
#include "common/strings/print_processor.h"

namespace kit::uninstall {
namespace {

constexpr char kUsbMark[] = "USB";

bool HoldsEntry(std::string_view name, const std::vector<std::string>& entries) {
  return std::any_of(entries.begin(), entries.end(),
                     [&](const std::string& e) { return name.find(e) != std::string_view::npos; });
}

}  // namespace

long ParseCount(std::string_view text) {
  std::size_t i = 0;
  while (i < text.size() && (text[i] == ' ' || text[i] == '\t')) ++i;
  bool negative = false;
  if (i < text.size() && (text[i] == '-' || text[i] == '+')) negative = text[i++] == '-';
  long value = 0;
  for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i) {
    value = std::min<long>(value * 10 + (text[i] - '0'), INT_MAX);
  }
  return negative ? -value : value;
}

bool NamesNothing(std::string_view value) { return value.empty() || value == kNoneValue; }

bool IsPlainFileName(std::string_view name) {
  return !name.empty() && name.find_first_of("\\/:") == std::string_view::npos;
}

std::vector<std::string> ReadList(const ini::FileSource& files, const std::string& ini_path, const ListSection& list,
                                  const ini::ProfileOptions& options) {
  const std::string count_text =
      ini::ReadProfileStringA(files, ini_path, list.section, list.count_key, kNoneValue, kIniValueCapacity, options);
  const long count = std::clamp<long>(ParseCount(count_text), 0, kMaxListEntries);
  std::vector<std::string> entries;
  for (long i = 0; i < count; ++i) {
    const std::string key = std::string(list.entry_base) + static_cast<char>('1' + i);
    std::string value = ini::ReadProfileStringA(files, ini_path, list.section, key, kNoneValue, kIniValueCapacity, options);
    if (!NamesNothing(value)) entries.push_back(std::move(value));
  }
  return entries;
}

UninstallIni::UninstallIni(const ini::FileSource& files, std::string path, ini::ProfileOptions options, int os_code)
    : files_(files), path_(std::move(path)), options_(options), os_code_(os_code) {}

void UninstallIni::Load() {
  monitors_ = ReadList(files_, path_, kMonitorList, options_);
  processors_ = ReadList(files_, path_, kProcessorList, options_);
  drivers_ = ReadList(files_, path_, kPrinterList, options_);
  manufacturer_ = ini::ReadProfileStringA(files_, path_, kPrinterList.section, kManufacturerKey, kNoneValue,
                                          kIniValueCapacity, options_);
}

bool UninstallIni::IsFamilyMonitor(std::string_view name) const { return HoldsEntry(name, monitors_); }

bool UninstallIni::IsFamilyProcessor(std::string_view name) const {
  // Whatever the list holds, the system's own processor is never the
  // family's: removing it would leave every printer of the machine unable
  // to print (and its DLL would be deleted with it).
  return os_code_ != kOsWin9x && !IsSystemPrintProcessor(name) && HoldsEntry(name, processors_);
}

bool UninstallIni::IsFamilyDriver(std::string_view driver_name) const { return HoldsEntry(driver_name, drivers_); }

std::string UninstallIni::MonitorSection(std::string_view monitor) const {
  std::string section;
  std::copy_if(monitor.begin(), monitor.end(), std::back_inserter(section), [](char c) { return c != ' '; });
  section += UninstallSectionSuffix(os_code_);
  return CopyCapped(section, kSectionCapacity);
}

std::string UninstallIni::ProcessorSection(std::string_view processor) const {
  return CopyCapped(std::string(processor) + std::string(UninstallSectionSuffix(os_code_)), kSectionCapacity);
}

std::string UninstallIni::Read(const std::string& section, const char* key) const {
  return ini::ReadProfileStringA(files_, path_, section, key, kNoneValue, kIniValueCapacity, options_);
}

std::string UninstallIni::MonitorRegistryName(std::string_view monitor) const {
  return Read(MonitorSection(monitor), kMonitorRegistryKey);
}

std::vector<std::string> UninstallIni::MonitorFiles(std::string_view monitor) const {
  const std::string section = MonitorSection(monitor);
  std::vector<std::string> keys = {kMonitorDllKey, kMonitorUiDllKey};
  if (section.find(kUsbMark) != std::string::npos) keys.push_back(kUsbMonitorDllKey);
  std::vector<std::string> names;
  for (const auto& key : keys) {
    std::string value = Read(section, key.c_str());
    // "0" as the first character means none.
    if (value.empty() || value.front() == '0' || !IsPlainFileName(value)) continue;
    names.push_back(std::move(value));
  }
  return names;
}

std::string UninstallIni::ProcessorFile(std::string_view processor) const {
  std::string value = Read(ProcessorSection(processor), kProcessorDllKey);
  if (value.empty() || value.front() == '0' || !IsPlainFileName(value)) return {};
  return value;
}

}  // namespace kit::uninstall
