// This file is OS-independent.
#include "uninstall/flow/printer_records.h"

#include "platform/win32_errors.h"

namespace kit::uninstall {

PrinterRead OpenAndReadPrinter(Spooler& spooler, SystemFacts& system, WStringView name, PrinterHandle* printer, PrinterInfo2* info) {
  PrinterDefaults defaults;
  defaults.desired_access = kPrinterAllAccess;
  if (!spooler.OpenPrinter(name, defaults, printer) || !*printer) return PrinterRead::kOpenFailed;
  std::uint32_t needed = 0;
  if (!(*printer)->GetPrinter(2, info, 0, &needed)) {
    // Only "buffer too small" leads on to the read.
    if (system.GetLastError() != win32::kErrorInsufficientBuffer || needed == 0) return PrinterRead::kReadFailed;
  }
  if (needed > kMaxPrinterRecordBytes) return PrinterRead::kNoMemory;
  if (!(*printer)->GetPrinter(2, info, needed, &needed)) return PrinterRead::kReadFailed;
  return PrinterRead::kOk;
}

}  // namespace kit::uninstall
