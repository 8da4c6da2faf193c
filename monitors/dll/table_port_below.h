// The port monitor below the language monitor, reached through the
// MONITOR2 table the spooler hands to OpenPortEx (Microsoft's "OpenPortEx
// function" and "MONITOR2 structure"): the same member names in Windows'
// winsplp.h and the virtual machine's platform/sim/monitor_abi.h, so one
// template serves both shells. `Char` is the table's WCHAR, `Dword` its
// DWORD; `last_error` reads the thread's last error (GetLastError).
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

#include "monitors/core/language_port.h"
#include "platform/win32_errors.h"

namespace kit::monitors {

// Whether the table is long enough to hold `member` and fills it (cbSize
// counts the table's bytes: a port monitor built for an older Windows
// hands a shorter one).
template <typename Table, typename F>
bool TableHas(const Table* table, F Table::*member) {
  static const Table probe{};
  const auto offset = static_cast<std::size_t>(reinterpret_cast<const char*>(&(probe.*member)) -
                                               reinterpret_cast<const char*>(&probe));
  return table != nullptr && table->cbSize >= offset + sizeof(F) && table->*member != nullptr;
}

template <typename Table, typename Char, typename Dword>
class TablePortBelow final : public PortBelow {
 public:
  TablePortBelow(const Table* table, void* port, std::uint32_t (*last_error)())
      : table_(table), port_(port), last_error_(last_error) {}

  std::uint32_t StartJob(const WString& printer, std::uint32_t job, std::uint32_t level,
                         std::uint8_t* doc_info) override {
    if (!TableHas(table_, &Table::pfnStartDocPort)) return win32::kErrorInvalidHandle;
    std::basic_string<Char> name(printer.begin(), printer.end());
    return Result(table_->pfnStartDocPort(port_, name.empty() ? nullptr : name.data(), job, level, doc_info));
  }
  std::uint32_t Write(std::uint8_t* data, std::uint32_t size, std::uint32_t* written) override {
    *written = 0;
    if (!TableHas(table_, &Table::pfnWritePort)) return win32::kErrorInvalidHandle;
    Dword n = 0;
    const std::uint32_t error = Result(table_->pfnWritePort(port_, data, size, &n));
    *written = static_cast<std::uint32_t>(n);
    return error;
  }
  std::uint32_t Read(std::uint8_t* data, std::uint32_t size, std::uint32_t* read) override {
    *read = 0;
    if (!TableHas(table_, &Table::pfnReadPort)) return win32::kErrorNotSupported;
    Dword n = 0;
    const std::uint32_t error = Result(table_->pfnReadPort(port_, data, size, &n));
    *read = static_cast<std::uint32_t>(n);
    return error;
  }
  std::uint32_t EndJob() override {
    if (!TableHas(table_, &Table::pfnEndDocPort)) return win32::kErrorInvalidHandle;
    return Result(table_->pfnEndDocPort(port_));
  }
  std::uint32_t Close() override {
    return TableHas(table_, &Table::pfnClosePort) ? Result(table_->pfnClosePort(port_)) : win32::kErrorSuccess;
  }

 private:
  // A FALSE that set no error is still a failure.
  template <typename B>
  std::uint32_t Result(B ok) {
    if (ok) return win32::kErrorSuccess;
    const std::uint32_t error = last_error_();
    return error != win32::kErrorSuccess ? error : win32::kErrorGenFailure;
  }

  const Table* table_;
  void* port_;
  std::uint32_t (*last_error_)();
};

}  // namespace kit::monitors
