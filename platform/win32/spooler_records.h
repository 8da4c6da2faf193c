// Conversion between the spooler's wide records (PRINTER_INFO_n,
// DRIVER_INFO_3, FORM_INFO_1, MONITOR_INFO_n, PORT_INFO_n) and the plain
// values of platform/spooler.h. A *Record owns the strings its Win32 record
// points into, so the record stays valid while it lives.
#pragma once

#include "platform/spooler.h"
#include "platform/win32/win32_common.h"

namespace kit::win32 {

class PrinterInfo2Record {
 public:
  explicit PrinterInfo2Record(const PrinterInfo2& info);
  PRINTER_INFO_2W* Get() { return &record_; }

 private:
  std::wstring server_, printer_, share_, port_, driver_, comment_, location_, sep_file_, processor_, datatype_,
      parameters_;
  Bytes dev_mode_;
  PRINTER_INFO_2W record_{};
};

class DriverInfo3Record {
 public:
  explicit DriverInfo3Record(const DriverInfo3& info);
  DRIVER_INFO_3W* Get() { return &record_; }

 private:
  std::wstring name_, environment_, driver_path_, data_file_, config_file_, help_file_, dependent_files_, monitor_,
      datatype_;
  DRIVER_INFO_3W record_{};
};

class FormRecord {
 public:
  explicit FormRecord(const FormInfo1& form);
  FORM_INFO_1W* Get() { return &record_; }

 private:
  std::wstring name_;
  FORM_INFO_1W record_{};
};

// Size of one PRINTER_INFO_<level> record (0 for a level the kit does not use).
std::size_t PrinterInfoSize(std::uint32_t level);
// Decodes PRINTER_INFO_1, 2, 4 or 5 at `record`; false for another level.
bool DecodePrinterInfo(std::uint32_t level, const BYTE* record, PrinterInfo2* info);

FormInfo1 DecodeForm(const FORM_INFO_1W& form);
DriverInfo3 DecodeDriver(const DRIVER_INFO_3W& driver);
MonitorInfo2 DecodeMonitor1(const MONITOR_INFO_1W& monitor);
MonitorInfo2 DecodeMonitor2(const MONITOR_INFO_2W& monitor);
PortInfo2 DecodePort1(const PORT_INFO_1W& port);
PortInfo2 DecodePort2(const PORT_INFO_2W& port);

// A double-NUL-terminated list ("a\0b\0\0") as the spooler's dependent files.
std::wstring JoinMultiString(const std::vector<WString>& items);
std::vector<WString> SplitMultiString(const wchar_t* list);

}  // namespace kit::win32
