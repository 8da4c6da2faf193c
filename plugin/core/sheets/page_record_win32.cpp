// Page records for the Windows common property-sheet UI: a PROPSHEETPAGEW of
// the version that carries an activation context, built from the page's
// template, with the module as its instance and the tab title from the
// language file. The record carries the module's activation context
// (version 6 of the common controls) when the module has one.
#include <windows.h>

#include <utility>

#include "plugin/core/com/module_state.h"
#include "plugin/core/sheets/activation_context_win32.h"
#include "plugin/core/sheets/page_record.h"
#include "ui/win32/host.h"

namespace kit::plugin::sheets {
namespace {

class Win32Record final : public PageRecord {
 public:
  Win32Record(ui::Page& page, std::u16string title) {
    HINSTANCE module = static_cast<HINSTANCE>(com::ModuleHandle());
    if (module != nullptr) ui::win32::SetModuleInstance(module);
    const HANDLE context = ModuleActivationContext();
    ui::win32::PropertyPageRecord::Options options;
    options.title = std::move(title);
    options.instance = module;
    // The sheet is told the size of the version with an activation context.
    options.record_size = ui::win32::kPageRecordWithActivationContext;
    if (context != nullptr) {
      options.extra_flags = PSP_USEFUSIONCONTEXT;
      options.activation_context = context;
    }
    record_ = std::make_unique<ui::win32::PropertyPageRecord>(page, std::move(options));
  }
  com::LPARAM Address() override { return reinterpret_cast<com::LPARAM>(&record_->Record()); }

 private:
  std::unique_ptr<ui::win32::PropertyPageRecord> record_;
};

}  // namespace

std::unique_ptr<PageRecord> MakePageRecord(ui::Page& page, const PageEntry& entry, std::u16string title,
                                           com::LPARAM context) {
  // The page reaches its sheet's context through its own object; the
  // record's lParam carries the host window of the page.
  (void)entry, (void)context;
  return std::make_unique<Win32Record>(page, std::move(title));
}

}  // namespace kit::plugin::sheets
