// What the barcode pages need to print a test symbol: where a finished job
// goes (the raw job channel on the sheet's printer) and the system's ANSI
// code page (GetACP). The pages never open a printer themselves.
// This file is OS-independent.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

#include "plugin/pages/barcode/barcode_data.h"
#include "print/rawjob/raw_job.h"

namespace kit::plugin::barcode {

struct TestPrint {
  // Sends one whole job; false when it did not go out. Empty: nothing sent.
  std::function<bool(const print::rawjob::RawJob&)> send;
  // GetACP. Empty: western (1252).
  std::function<std::uint32_t()> ansi_code_page;
};

// The text of a data edit as the printer gets it: up to 399 characters in
// the system's ANSI code page.
inline std::string TestPrintData(const TestPrint& print, std::u16string_view text) {
  const std::uint32_t acp =
      print.ansi_code_page ? print.ansi_code_page() : static_cast<std::uint32_t>(codepage::CodePage::kWestern);
  return DataBytes(text, AnsiCodePage(acp));
}

}  // namespace kit::plugin::barcode
