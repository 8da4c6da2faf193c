// The print spooler on the real Windows (winspool, wide functions).
//
// Enumerations and GetPrinter hand the caller's buffer size to Windows
// unchanged, so the two-pass contract (needed size always written, a short
// buffer refused with ERROR_INSUFFICIENT_BUFFER) is Windows' own.
#include "platform/win32/spooler_records.h"
#include "platform/win32/win32_common.h"
#include "platform/win32/windows_platform.h"

namespace kit::win32 {
namespace {

// A buffer of `size` bytes aligned for the pointer-bearing records Windows
// writes into it; null data when the size is 0, as a measuring call passes.
class RecordBuffer {
 public:
  explicit RecordBuffer(std::uint32_t size) : storage_((size + 7) / 8), size_(size) {}
  BYTE* Data() { return size_ == 0 ? nullptr : reinterpret_cast<BYTE*>(storage_.data()); }
  DWORD Size() const { return size_; }

 private:
  std::vector<std::uint64_t> storage_;
  DWORD size_;
};

// Logs a failed call unless it only measured the buffer.
bool FailedCall(const char* api, WStringView subject = {}) {
  const DWORD code = ::GetLastError();
  if (code != kErrorInsufficientBuffer) LogFailure(api, code, subject);
  return false;
}

bool Checked(BOOL ok, const char* api, WStringView subject = {}) {
  if (!ok) LogLastError(api, subject);
  return ok != FALSE;
}

// Runs an enumeration call(buffer, size, &needed, &returned) and decodes
// the records of type Info into *out.
template <typename Info, typename Out, typename Call, typename Decode>
bool Enumerate(const char* api, std::uint32_t buffer_size, std::uint32_t* needed, std::uint32_t* returned,
               std::vector<Out>* out, Call call, Decode decode) {
  RecordBuffer buffer(buffer_size);
  DWORD need = 0, count = 0;
  const BOOL ok = call(buffer.Data(), buffer.Size(), &need, &count);
  if (needed != nullptr) *needed = need;
  if (returned != nullptr) *returned = ok ? count : 0;
  out->clear();
  if (!ok) return FailedCall(api);
  const auto* items = reinterpret_cast<const Info*>(buffer.Data());
  for (DWORD i = 0; i < count; ++i) out->push_back(decode(items[i]));
  return true;
}

class Win32Printer final : public Printer {
 public:
  Win32Printer(HANDLE handle, bool owned, WString name) : handle_(handle), owned_(owned), name_(std::move(name)) {}
  ~Win32Printer() override {
    if (owned_ && handle_ != nullptr) {
      const DWORD saved = ::GetLastError();
      ::ClosePrinter(handle_);
      ::SetLastError(saved);
    }
  }

  bool ClosePrinter() override {
    if (handle_ == nullptr) {
      ::SetLastError(kErrorInvalidHandle);
      return false;
    }
    // A borrowed handle belongs to the host: forgetting it is all we may do.
    const BOOL ok = owned_ ? ::ClosePrinter(handle_) : TRUE;
    handle_ = nullptr;
    return Checked(ok, "ClosePrinter", name_);
  }

  std::uintptr_t NativeHandle() const override { return reinterpret_cast<std::uintptr_t>(handle_); }

  bool GetPrinter(std::uint32_t level, PrinterInfo2* info, std::uint32_t buffer_size,
                  std::uint32_t* needed) override {
    RecordBuffer buffer(buffer_size);
    DWORD need = 0;
    const BOOL ok = ::GetPrinterW(handle_, level, buffer.Data(), buffer.Size(), &need);
    if (needed != nullptr) *needed = need;
    if (!ok) return FailedCall("GetPrinterW", name_);
    if (!DecodePrinterInfo(level, buffer.Data(), info)) {
      ::SetLastError(ERROR_INVALID_LEVEL);
      return false;
    }
    return true;
  }

  bool SetPrinter(const PrinterInfo2& info) override {
    PrinterInfo2Record record(info);
    return Checked(::SetPrinterW(handle_, 2, reinterpret_cast<BYTE*>(record.Get()), 0), "SetPrinterW", name_);
  }

  bool DeletePrinter() override { return Checked(::DeletePrinter(handle_), "DeletePrinter", name_); }

  std::uint32_t StartDocPrinter(const DocInfo1& doc) override {
    const std::wstring name = Wide(doc.doc_name), output = Wide(doc.output_file), type = Wide(doc.datatype);
    DOC_INFO_1W info{};
    info.pDocName = MutableOrNull(name);
    info.pOutputFile = MutableOrNull(output);
    info.pDatatype = MutableOrNull(type);
    const DWORD job = ::StartDocPrinterW(handle_, 1, reinterpret_cast<BYTE*>(&info));
    if (job == 0) LogLastError("StartDocPrinterW", name_);
    return job;
  }

  bool StartPagePrinter() override { return Checked(::StartPagePrinter(handle_), "StartPagePrinter", name_); }

  bool WritePrinter(const std::uint8_t* data, std::uint32_t size, std::uint32_t* written) override {
    DWORD done = 0;
    const BOOL ok = ::WritePrinter(handle_, const_cast<std::uint8_t*>(data), size, &done);
    if (written != nullptr) *written = done;
    return Checked(ok, "WritePrinter", name_);
  }

  bool EndPagePrinter() override { return Checked(::EndPagePrinter(handle_), "EndPagePrinter", name_); }
  bool EndDocPrinter() override { return Checked(::EndDocPrinter(handle_), "EndDocPrinter", name_); }

  bool EnumForms(std::vector<FormInfo1>* forms, std::uint32_t buffer_size, std::uint32_t* needed,
                 std::uint32_t* returned) override {
    return Enumerate<FORM_INFO_1W>(
        "EnumFormsW", buffer_size, needed, returned, forms,
        [&](BYTE* b, DWORD n, DWORD* need, DWORD* count) { return ::EnumFormsW(handle_, 1, b, n, need, count); },
        DecodeForm);
  }

  bool AddForm(const FormInfo1& form) override {
    FormRecord record(form);
    return Checked(::AddFormW(handle_, 1, reinterpret_cast<BYTE*>(record.Get())), "AddFormW", form.name);
  }

  bool SetForm(WStringView name, const FormInfo1& form) override {
    const std::wstring n = Wide(name);
    FormRecord record(form);
    return Checked(::SetFormW(handle_, Mutable(n), 1, reinterpret_cast<BYTE*>(record.Get())), "SetFormW", name);
  }

  bool DeleteForm(WStringView name) override {
    const std::wstring n = Wide(name);
    return Checked(::DeleteFormW(handle_, Mutable(n)), "DeleteFormW", name);
  }

  bool XcvData(WStringView data_name, const Bytes& input, std::uint32_t output_size, Bytes* output,
               std::uint32_t* output_needed, std::uint32_t* status) override {
    const std::wstring command = Wide(data_name);
    Bytes out(output_size);
    DWORD need = 0, result = 0;
    const BOOL ok = ::XcvDataW(handle_, command.c_str(), const_cast<BYTE*>(input.empty() ? nullptr : input.data()),
                               static_cast<DWORD>(input.size()), output_size == 0 ? nullptr : out.data(),
                               output_size, &need, &result);
    if (output_needed != nullptr) *output_needed = need;
    if (status != nullptr) *status = result;
    if (!ok) return Checked(ok, "XcvDataW", data_name);
    if (result != kErrorSuccess) LogFailure("XcvDataW (monitor status)", result, data_name);
    if (output != nullptr) {
      out.resize(std::min<std::size_t>(need, out.size()));
      *output = std::move(out);
    }
    return true;
  }

 private:
  HANDLE handle_;
  bool owned_;
  WString name_;
};

class Win32Spooler final : public Spooler {
 public:
  bool OpenPrinter(WStringView name, const PrinterDefaults& defaults, PrinterHandle* printer) override {
    const std::wstring n = Wide(name), type = Wide(defaults.datatype);
    Bytes dev_mode = defaults.dev_mode;
    PRINTER_DEFAULTSW pd{};
    pd.pDatatype = MutableOrNull(type);
    pd.pDevMode = dev_mode.empty() ? nullptr : reinterpret_cast<DEVMODEW*>(dev_mode.data());
    pd.DesiredAccess = defaults.desired_access;
    const bool no_defaults = type.empty() && dev_mode.empty() && defaults.desired_access == 0;
    HANDLE handle = nullptr;
    if (!::OpenPrinterW(MutableOrNull(n), &handle, no_defaults ? nullptr : &pd)) {
      LogLastError("OpenPrinterW", name);
      return false;
    }
    *printer = std::make_unique<Win32Printer>(handle, true, WString(name));
    return true;
  }

  PrinterHandle BorrowPrinter(std::uintptr_t native_handle) override {
    if (native_handle == 0) return nullptr;
    HANDLE handle = reinterpret_cast<HANDLE>(native_handle);
    // A measuring GetPrinter tells an open printer from a stale value.
    DWORD need = 0;
    if (!::GetPrinterW(handle, 4, nullptr, 0, &need) && ::GetLastError() == kErrorInvalidHandle) {
      LogFailure("GetPrinterW (borrowed handle)", kErrorInvalidHandle);
      return nullptr;
    }
    return std::make_unique<Win32Printer>(handle, false, WString());
  }

  bool AddPrinter(WStringView server, const PrinterInfo2& info, PrinterHandle* printer) override {
    const std::wstring s = Wide(server);
    PrinterInfo2Record record(info);
    HANDLE handle = ::AddPrinterW(MutableOrNull(s), 2, reinterpret_cast<BYTE*>(record.Get()));
    if (handle == nullptr) {
      LogLastError("AddPrinterW", info.printer_name);
      return false;
    }
    *printer = std::make_unique<Win32Printer>(handle, true, info.printer_name);
    return true;
  }

  bool EnumPrinters(std::uint32_t flags, WStringView name, std::uint32_t level, std::vector<PrinterInfo2>* printers,
                    std::uint32_t buffer_size, std::uint32_t* needed, std::uint32_t* returned) override {
    const std::wstring n = Wide(name);
    RecordBuffer buffer(buffer_size);
    DWORD need = 0, count = 0;
    const BOOL ok = ::EnumPrintersW(flags, MutableOrNull(n), level, buffer.Data(), buffer.Size(), &need, &count);
    if (needed != nullptr) *needed = need;
    if (returned != nullptr) *returned = ok ? count : 0;
    printers->clear();
    if (!ok) return FailedCall("EnumPrintersW", name);
    const std::size_t stride = PrinterInfoSize(level);
    if (stride == 0) {
      ::SetLastError(ERROR_INVALID_LEVEL);
      return false;
    }
    for (DWORD i = 0; i < count; ++i) {
      PrinterInfo2 info;
      DecodePrinterInfo(level, buffer.Data() + i * stride, &info);
      printers->push_back(std::move(info));
    }
    return true;
  }

  bool GetDefaultPrinter(WString* name) override {
    DWORD size = 0;
    ::GetDefaultPrinterW(nullptr, &size);
    if (size == 0) return FailedCall("GetDefaultPrinterW");
    std::wstring buffer(size, L'\0');
    if (!::GetDefaultPrinterW(buffer.data(), &size)) return FailedCall("GetDefaultPrinterW");
    *name = FromWideBuffer(buffer.data(), buffer.size());
    return true;
  }

  bool SetDefaultPrinter(WStringView name) override {
    const std::wstring n = Wide(name);
    return Checked(::SetDefaultPrinterW(OrNull(n)), "SetDefaultPrinterW", name);
  }

  bool GetPrinterDriverDirectory(WStringView server, WStringView environment, WString* directory) override {
    return ReadDirectory("GetPrinterDriverDirectoryW", server, environment, directory, ::GetPrinterDriverDirectoryW);
  }

  bool GetPrintProcessorDirectory(WStringView server, WStringView environment, WString* directory) override {
    return ReadDirectory("GetPrintProcessorDirectoryW", server, environment, directory,
                         ::GetPrintProcessorDirectoryW);
  }

  bool AddPrinterDriverEx(WStringView server, const DriverInfo3& info, std::uint32_t copy_flags) override {
    const std::wstring s = Wide(server);
    DriverInfo3Record record(info);
    return Checked(::AddPrinterDriverExW(MutableOrNull(s), 3, reinterpret_cast<BYTE*>(record.Get()), copy_flags),
                   "AddPrinterDriverExW", info.name);
  }

  bool DeletePrinterDriverEx(WStringView server, WStringView environment, WStringView driver_name,
                             std::uint32_t delete_flags, std::uint32_t version_flag) override {
    const std::wstring s = Wide(server), e = Wide(environment), d = Wide(driver_name);
    return Checked(::DeletePrinterDriverExW(MutableOrNull(s), MutableOrNull(e), Mutable(d), delete_flags,
                                            version_flag),
                   "DeletePrinterDriverExW", driver_name);
  }

  bool DeletePrinterDriver(WStringView server, WStringView environment, WStringView driver_name) override {
    const std::wstring s = Wide(server), e = Wide(environment), d = Wide(driver_name);
    return Checked(::DeletePrinterDriverW(MutableOrNull(s), MutableOrNull(e), Mutable(d)), "DeletePrinterDriverW",
                   driver_name);
  }

  bool EnumPrinterDrivers(WStringView server, WStringView environment, std::vector<DriverInfo3>* drivers,
                          std::uint32_t buffer_size, std::uint32_t* needed, std::uint32_t* returned) override {
    const std::wstring s = Wide(server), e = Wide(environment);
    return Enumerate<DRIVER_INFO_3W>(
        "EnumPrinterDriversW", buffer_size, needed, returned, drivers,
        [&](BYTE* b, DWORD n, DWORD* need, DWORD* count) {
          return ::EnumPrinterDriversW(MutableOrNull(s), MutableOrNull(e), 3, b, n, need, count);
        },
        DecodeDriver);
  }

  bool AddMonitor(WStringView server, const MonitorInfo2& info) override {
    const std::wstring s = Wide(server), n = Wide(info.name), e = Wide(info.environment), d = Wide(info.dll_name);
    MONITOR_INFO_2W record{};
    record.pName = Mutable(n);
    record.pEnvironment = MutableOrNull(e);
    record.pDLLName = Mutable(d);
    return Checked(::AddMonitorW(MutableOrNull(s), 2, reinterpret_cast<BYTE*>(&record)), "AddMonitorW", info.name);
  }

  bool DeleteMonitor(WStringView server, WStringView environment, WStringView name) override {
    const std::wstring s = Wide(server), e = Wide(environment), n = Wide(name);
    return Checked(::DeleteMonitorW(MutableOrNull(s), MutableOrNull(e), Mutable(n)), "DeleteMonitorW", name);
  }

  bool EnumMonitors(WStringView server, std::uint32_t level, std::vector<MonitorInfo2>* monitors,
                    std::uint32_t buffer_size, std::uint32_t* needed, std::uint32_t* returned) override {
    const std::wstring s = Wide(server);
    auto call = [&](BYTE* b, DWORD n, DWORD* need, DWORD* count) {
      return ::EnumMonitorsW(MutableOrNull(s), level, b, n, need, count);
    };
    if (level == 1) return Enumerate<MONITOR_INFO_1W>("EnumMonitorsW", buffer_size, needed, returned, monitors, call, DecodeMonitor1);
    return Enumerate<MONITOR_INFO_2W>("EnumMonitorsW", buffer_size, needed, returned, monitors, call, DecodeMonitor2);
  }

  bool AddPrintProcessor(WStringView server, WStringView environment, WStringView dll_name,
                         WStringView name) override {
    const std::wstring s = Wide(server), e = Wide(environment), d = Wide(dll_name), n = Wide(name);
    return Checked(::AddPrintProcessorW(MutableOrNull(s), MutableOrNull(e), Mutable(d), Mutable(n)),
                   "AddPrintProcessorW", name);
  }

  bool DeletePrintProcessor(WStringView server, WStringView environment, WStringView name) override {
    const std::wstring s = Wide(server), e = Wide(environment), n = Wide(name);
    return Checked(::DeletePrintProcessorW(MutableOrNull(s), MutableOrNull(e), Mutable(n)), "DeletePrintProcessorW",
                   name);
  }

  bool EnumPrintProcessors(WStringView server, WStringView environment, std::vector<PrintProcessorInfo1>* processors,
                           std::uint32_t buffer_size, std::uint32_t* needed, std::uint32_t* returned) override {
    const std::wstring s = Wide(server), e = Wide(environment);
    return Enumerate<PRINTPROCESSOR_INFO_1W>(
        "EnumPrintProcessorsW", buffer_size, needed, returned, processors,
        [&](BYTE* b, DWORD n, DWORD* need, DWORD* count) {
          return ::EnumPrintProcessorsW(MutableOrNull(s), MutableOrNull(e), 1, b, n, need, count);
        },
        [](const PRINTPROCESSOR_INFO_1W& p) { return PrintProcessorInfo1{FromWide(p.pName)}; });
  }

  bool EnumPorts(WStringView server, std::uint32_t level, std::vector<PortInfo2>* ports, std::uint32_t buffer_size,
                 std::uint32_t* needed, std::uint32_t* returned) override {
    const std::wstring s = Wide(server);
    auto call = [&](BYTE* b, DWORD n, DWORD* need, DWORD* count) {
      return ::EnumPortsW(MutableOrNull(s), level, b, n, need, count);
    };
    if (level == 1) return Enumerate<PORT_INFO_1W>("EnumPortsW", buffer_size, needed, returned, ports, call, DecodePort1);
    return Enumerate<PORT_INFO_2W>("EnumPortsW", buffer_size, needed, returned, ports, call, DecodePort2);
  }

  bool DeletePort(WStringView server, WStringView port_name) override {
    const std::wstring s = Wide(server), p = Wide(port_name);
    return Checked(::DeletePortW(MutableOrNull(s), nullptr, Mutable(p)), "DeletePortW", port_name);
  }

 private:
  using DirectoryCall = BOOL(WINAPI*)(LPWSTR, LPWSTR, DWORD, LPBYTE, DWORD, LPDWORD);
  static bool ReadDirectory(const char* api, WStringView server, WStringView environment, WString* directory,
                            DirectoryCall call) {
    const std::wstring s = Wide(server), e = Wide(environment);
    DWORD need = 0;
    std::wstring buffer(MAX_PATH, L'\0');
    DWORD bytes = static_cast<DWORD>(buffer.size() * sizeof(wchar_t));
    if (!call(MutableOrNull(s), MutableOrNull(e), 1, reinterpret_cast<BYTE*>(buffer.data()), bytes, &need)) {
      if (::GetLastError() != kErrorInsufficientBuffer) return Checked(FALSE, api, environment);
      buffer.assign(need / sizeof(wchar_t) + 1, L'\0');
      bytes = static_cast<DWORD>(buffer.size() * sizeof(wchar_t));
      if (!call(MutableOrNull(s), MutableOrNull(e), 1, reinterpret_cast<BYTE*>(buffer.data()), bytes, &need)) {
        return Checked(FALSE, api, environment);
      }
    }
    *directory = FromWideBuffer(buffer.data(), buffer.size());
    return true;
  }
};

}  // namespace

std::unique_ptr<Spooler> MakeSpooler() { return std::make_unique<Win32Spooler>(); }

}  // namespace kit::win32
