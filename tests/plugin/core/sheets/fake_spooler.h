// A spooler with printers known by their handle values and names, for the
// sheet tests: OpenPrinter, BorrowPrinter and GetPrinter at level 2 work;
// every other call fails.
#pragma once

#include <map>
#include <memory>

#include "platform/spooler.h"

namespace kit::plugin::sheets::testing {

class FakeSpooler final : public Spooler {
 public:
  // A printer the host opened, as the value it hands the plug-in.
  std::map<std::uintptr_t, PrinterInfo2> borrowable;
  // Printers the plug-in may open by name.
  std::map<std::u16string, PrinterInfo2> by_name;
  int opened_by_name = 0;

  bool OpenPrinter(WStringView name, const PrinterDefaults&, PrinterHandle* printer) override {
    const auto it = by_name.find(std::u16string(name));
    if (it == by_name.end()) return false;
    ++opened_by_name;
    *printer = std::make_unique<FakePrinter>(it->second);
    return true;
  }
  PrinterHandle BorrowPrinter(std::uintptr_t native_handle) override {
    const auto it = borrowable.find(native_handle);
    if (it == borrowable.end()) return nullptr;
    return std::make_unique<FakePrinter>(it->second);
  }
  bool AddPrinter(WStringView, const PrinterInfo2&, PrinterHandle*) override { return false; }
  bool EnumPrinters(std::uint32_t, WStringView, std::uint32_t, std::vector<PrinterInfo2>*, std::uint32_t, std::uint32_t*, std::uint32_t*) override { return false; }
  bool GetDefaultPrinter(WString*) override { return false; }
  bool SetDefaultPrinter(WStringView) override { return false; }
  bool GetPrinterDriverDirectory(WStringView, WStringView, WString*) override { return false; }
  bool GetPrintProcessorDirectory(WStringView, WStringView, WString*) override { return false; }
  bool AddPrinterDriverEx(WStringView, const DriverInfo3&, std::uint32_t) override { return false; }
  bool DeletePrinterDriverEx(WStringView, WStringView, WStringView, std::uint32_t, std::uint32_t) override { return false; }
  bool DeletePrinterDriver(WStringView, WStringView, WStringView) override { return false; }
  bool EnumPrinterDrivers(WStringView, WStringView, std::vector<DriverInfo3>*, std::uint32_t, std::uint32_t*, std::uint32_t*) override { return false; }
  bool AddMonitor(WStringView, const MonitorInfo2&) override { return false; }
  bool DeleteMonitor(WStringView, WStringView, WStringView) override { return false; }
  bool EnumMonitors(WStringView, std::uint32_t, std::vector<MonitorInfo2>*, std::uint32_t, std::uint32_t*, std::uint32_t*) override { return false; }
  bool AddPrintProcessor(WStringView, WStringView, WStringView, WStringView) override { return false; }
  bool DeletePrintProcessor(WStringView, WStringView, WStringView) override { return false; }
  bool EnumPrintProcessors(WStringView, WStringView, std::vector<PrintProcessorInfo1>*, std::uint32_t, std::uint32_t*, std::uint32_t*) override { return false; }
  bool EnumPorts(WStringView, std::uint32_t, std::vector<PortInfo2>*, std::uint32_t, std::uint32_t*, std::uint32_t*) override { return false; }
  bool DeletePort(WStringView, WStringView) override { return false; }

 private:
  class FakePrinter final : public Printer {
   public:
    explicit FakePrinter(PrinterInfo2 info) : info_(std::move(info)) {}
    bool ClosePrinter() override { return true; }
    std::uintptr_t NativeHandle() const override { return 1; }
    // Two passes, as GetPrinter takes them: the size first, then the record.
    bool GetPrinter(std::uint32_t level, PrinterInfo2* info, std::uint32_t buffer_size,
                    std::uint32_t* needed) override {
      constexpr std::uint32_t kSize = 512;
      if (needed != nullptr) *needed = kSize;
      if (level != 2 || info == nullptr || buffer_size < kSize) return false;
      *info = info_;
      return true;
    }
    bool SetPrinter(const PrinterInfo2&) override { return false; }
    bool DeletePrinter() override { return false; }
    std::uint32_t StartDocPrinter(const DocInfo1&) override { return 0; }
    bool StartPagePrinter() override { return false; }
    bool WritePrinter(const std::uint8_t*, std::uint32_t, std::uint32_t*) override { return false; }
    bool EndPagePrinter() override { return false; }
    bool EndDocPrinter() override { return false; }
    bool EnumForms(std::vector<FormInfo1>*, std::uint32_t, std::uint32_t*, std::uint32_t*) override { return false; }
    bool AddForm(const FormInfo1&) override { return false; }
    bool SetForm(WStringView, const FormInfo1&) override { return false; }
    bool DeleteForm(WStringView) override { return false; }
    bool XcvData(WStringView, const Bytes&, std::uint32_t, Bytes*, std::uint32_t*, std::uint32_t*) override { return false; }

   private:
    PrinterInfo2 info_;
  };
};

}  // namespace kit::plugin::sheets::testing
