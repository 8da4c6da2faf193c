// Reading printers the way the uninstaller does: the spooler's lists
// (platform/spooler_lists.h), and one printer opened with full access and its
// level-2 record read (size query, allocation, read).
// This file is OS-independent.
#pragma once

#include "platform/spooler.h"
#include "platform/spooler_lists.h"
#include "platform/system.h"

namespace kit::uninstall {

// The largest record the uninstaller allocates; a larger size query counts
// as memory that cannot be had.
inline constexpr std::uint32_t kMaxPrinterRecordBytes = 16u << 20;

enum class PrinterRead {
  kOk,
  kOpenFailed,  // IDS_ERR_OPENPRN
  kReadFailed,  // IDS_ERR_GETPRNINFO
  kNoMemory,    // IDS_ERR_ALLOC
};

// OpenPrinter with PRINTER_ALL_ACCESS, then the level-2 record. The printer
// stays open in *printer when it could be opened.
PrinterRead OpenAndReadPrinter(Spooler& spooler, SystemFacts& system, WStringView name, PrinterHandle* printer, PrinterInfo2* info);

}  // namespace kit::uninstall
