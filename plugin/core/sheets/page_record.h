// A page record as the sheet's add-page callback takes it: the system's
// PROPSHEETPAGEW on Windows, a HostedPageRecord on Linux. The record and its
// page must outlive the page's window.
// This file is OS-independent.
#pragma once

#include <memory>
#include <string>

#include "plugin/core/com/host_types.h"
#include "plugin/core/sheets/page_table.h"

namespace kit::plugin::sheets {

class PageRecord {
 public:
  virtual ~PageRecord() = default;
  // What CPSFUNC_ADD_PROPSHEETPAGEW is given.
  virtual com::LPARAM Address() = 0;
};

std::unique_ptr<PageRecord> MakePageRecord(ui::Page& page, const PageEntry& entry, std::u16string title,
                                           com::LPARAM context);

}  // namespace kit::plugin::sheets
