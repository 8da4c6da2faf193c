// The page record the plug-in hands to a Linux host with
// CPSFUNC_ADD_PROPSHEETPAGEW. On Windows the record is the system's
// PROPSHEETPAGEW; a Linux host has no dialog procedures to run, so the record
// carries the page itself, which the host shows in its own window (headless
// or console). The host and the plug-in are built from the same sources with
// the same compiler.
// This file is OS-independent.
#pragma once

#include "plugin/core/com/host_types.h"
#include "ui/page.h"

namespace kit::plugin::sheets {

// PSP_USETITLE: pszTitle names the tab.
inline constexpr com::DWORD kPspUseTitle = 0x0008;

struct HostedPageRecord {
  com::DWORD dwSize = sizeof(HostedPageRecord);  // how a host recognises the record
  com::DWORD dwFlags = kPspUseTitle;
  com::HANDLE hInstance = nullptr;  // the plug-in module
  int dialog_id = 0;
  const char16_t* pszTitle = nullptr;
  ui::Page* page = nullptr;  // lives until the sheet's DESTROY request
  com::LPARAM lParam = 0;    // the sheet's context
};

}  // namespace kit::plugin::sheets
