// VRTQ40UI.dll loaded as the universal driver loads it, and the page records
// it adds to one of its sheets, for the window tests and the screenshots.
// Windows builds only.
#pragma once

#include <windows.h>
#include <prsht.h>

#include <functional>
#include <string>
#include <vector>

#include "plugin/core/com/interfaces.h"
#include "tests/plugin/core/com/fake_driver.h"

namespace kit::plugin::sheets::testing {

// PropertySheetW over `records` with `caption`, as the common property-sheet
// UI shows them; returns what it answered.
INT_PTR RunPluginSheet(const std::wstring& caption, std::vector<PROPSHEETPAGEW>& records);

// How long a driving thread waits for a sheet's window.
inline constexpr int kWindowTimeoutMs = 10000;
// Runs a modal sheet of `records`; another thread waits for its first page,
// lets `act` work on it, and presses OK. Returns the tab titles.
std::vector<std::wstring> ShowSheet(const std::wstring& caption, std::vector<PROPSHEETPAGEW>& records,
                                    const std::function<void(HWND sheet, HWND page)>& act);

class LoadedPlugin {
 public:
  // Loads VRTQ40UI.dll from the program's folder, or the module at
  // `module_path`, and creates the plug-in object; ok() tells whether every
  // step answered.
  LoadedPlugin();
  explicit LoadedPlugin(const std::wstring& module_path);
  ~LoadedPlugin();
  bool ok() const { return ui_ != nullptr; }
  HMODULE module() const { return module_; }
  com::IPrintOemUI* ui() const { return ui_; }
  const com::testing::FakeDriver& driver() const { return driver_; }

  // CommonUIProp, then the sheet's INIT: the page records the plug-in adds.
  std::vector<PROPSHEETPAGEW> SheetPages(bool document, com::OEMCUIPPARAM& cuip, com::OEMUIPSPARAM& ps);
  // The sheet's DESTROY; its Result.
  com::ULONG_PTR DestroySheet(bool document, com::OEMUIPSPARAM& ps);
  // Releases the object; the count it answered.
  com::ULONG Release();

 private:
  HMODULE module_ = nullptr;
  com::IPrintOemUI* ui_ = nullptr;
  com::testing::FakeDriver driver_;
};

}  // namespace kit::plugin::sheets::testing
