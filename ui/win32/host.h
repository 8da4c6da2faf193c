// The Win32 host: real dialogs, child pages and property-sheet pages built
// from the kit's templates, each hosting one Page (ui/page.h).
#pragma once

#include <windows.h>
#include <prsht.h>

#include <cstddef>
#include <memory>
#include <string>
#include <vector>

#include "ui/page.h"

namespace kit::ui::win32 {

// Registers the common-control classes the templates use (list and tree
// views, trackbars, up-downs, IP address, progress bars, tooltips). Safe to
// call more than once.
bool InitCommonControls();

// The module whose instance dialogs are created with (the program, or the
// plug-in DLL). Defaults to the program.
void SetModuleInstance(HINSTANCE instance);
HINSTANCE ModuleInstance();

// Runs `page` as a modal dialog; returns its result, or -1 when the dialog
// could not be created.
int RunModal(Page& page, HWND owner = nullptr);

class DialogHost;

// A modeless dialog; destroyed with this object or by EndDialog.
class ModelessDialog {
 public:
  ModelessDialog(Page& page, HWND owner = nullptr);
  ~ModelessDialog();
  ModelessDialog(const ModelessDialog&) = delete;
  ModelessDialog& operator=(const ModelessDialog&) = delete;
  HWND hwnd() const;
  bool Alive() const;

 private:
  std::unique_ptr<DialogHost> host_;
};

// Size of the page record version that ends with the activation context
// (52 bytes on 32-bit Windows).
inline constexpr UINT kPageRecordWithActivationContext =
    static_cast<UINT>(offsetof(PROPSHEETPAGEW, hActCtx) + sizeof(HANDLE));
#if !defined(_WIN64)
static_assert(kPageRecordWithActivationContext == 52);
#endif

// A property-sheet page record (PROPSHEETPAGEW) built from a page's
// template, for a sheet the caller does not own: pass Record() to
// PropertySheetW or to the host's add-page callback. The record and the page
// must outlive the sheet's page window.
class PropertyPageRecord {
 public:
  struct Options {
    std::u16string title;
    HINSTANCE instance = nullptr;     // default: ModuleInstance()
    DWORD extra_flags = 0;            // e.g. PSP_USEFUSIONCONTEXT
    HANDLE activation_context = nullptr;
    UINT record_size = 0;             // 0: the full record; or kPageRecordWithActivationContext
  };
  PropertyPageRecord(Page& page, Options options);
  ~PropertyPageRecord();
  PropertyPageRecord(const PropertyPageRecord&) = delete;
  PropertyPageRecord& operator=(const PropertyPageRecord&) = delete;

  const PROPSHEETPAGEW& Record() const { return record_; }
  // The page's window while the sheet shows it, else nullptr.
  HWND hwnd() const;

 private:
  std::unique_ptr<DialogHost> host_;
  std::vector<std::uint8_t> bytes_;
  std::wstring title_;
  PROPSHEETPAGEW record_{};
};

// Runs a modal property sheet of the given pages; returns PropertySheetW's
// result (positive when OK or Apply changed something, 0 on Cancel).
INT_PTR RunPropertySheet(std::u16string_view caption, const std::vector<PropertyPageRecord*>& pages,
                         HWND owner = nullptr);

// Wide text helpers for this layer (wchar_t and char16_t have the same width
// on Windows).
inline std::wstring Wide(std::u16string_view s) { return std::wstring(s.begin(), s.end()); }
inline std::u16string FromWide(std::wstring_view s) { return std::u16string(s.begin(), s.end()); }

}  // namespace kit::ui::win32
