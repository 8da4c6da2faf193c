#include "tests/plugin/core/sheets/plugin_sheets_win32.h"

#include <commctrl.h>

#include <string>
#include <thread>

#include "plugin/core/sheets/sheet_protocol.h"
#include "ui/win32/remote.h"

namespace kit::plugin::sheets::testing {
namespace {

std::vector<PROPSHEETPAGEW>* g_records = nullptr;

// The common property-sheet UI's callback: keeps a copy of every page record.
com::LONG_PTR KIT_STDCALL CollectPages(com::HANDLE, com::UINT function, com::LPARAM lParam1, com::LPARAM) {
  if (function != kCpsFuncAddPropSheetPageW || g_records == nullptr) return 0;
  g_records->push_back(*reinterpret_cast<const PROPSHEETPAGEW*>(lParam1));
  return static_cast<com::LONG_PTR>(g_records->size());
}

std::wstring TabText(HWND tabs, int index) {
  std::wstring text(64, L'\0');
  TCITEMW item{};
  item.mask = TCIF_TEXT;
  item.pszText = text.data();
  item.cchTextMax = static_cast<int>(text.size());
  SendMessageW(tabs, TCM_GETITEMW, index, reinterpret_cast<LPARAM>(&item));
  text.resize(wcslen(text.c_str()));
  return text;
}

int g_sheet_object = 0;

com::PROPSHEETUI_INFO Request(com::WORD reason, com::OEMUIPSPARAM& ps) {
  com::PROPSHEETUI_INFO info{};
  info.cbSize = sizeof info;
  info.Version = kPropSheetUiInfoVersion;
  info.Reason = reason;
  info.hComPropSheet = &g_sheet_object;
  info.pfnComPropSheet = CollectPages;
  info.lParamInit = reinterpret_cast<com::LPARAM>(&ps);
  return info;
}

}  // namespace

INT_PTR RunPluginSheet(const std::wstring& caption, std::vector<PROPSHEETPAGEW>& records) {
  PROPSHEETHEADERW header{};
  header.dwSize = sizeof header;
  header.dwFlags = PSH_PROPSHEETPAGE | PSH_NOCONTEXTHELP;
  header.pszCaption = caption.c_str();
  header.nPages = static_cast<UINT>(records.size());
  header.ppsp = records.data();
  return PropertySheetW(&header);
}

std::vector<std::wstring> ShowSheet(const std::wstring& caption, std::vector<PROPSHEETPAGEW>& records,
                                    const std::function<void(HWND sheet, HWND page)>& act) {
  std::vector<std::wstring> tabs;
  const DWORD ui_thread = GetCurrentThreadId();
  std::thread driver([&] {
    HWND sheet = ui::win32::WaitForDialog(ui_thread, kWindowTimeoutMs, caption.c_str());
    if (sheet == nullptr) return;
    HWND page = nullptr;
    for (int i = 0; i < 100 && page == nullptr; ++i) {
      page = reinterpret_cast<HWND>(SendMessageW(sheet, PSM_GETCURRENTPAGEHWND, 0, 0));
      if (page == nullptr) Sleep(20);
    }
    if (page != nullptr) act(sheet, page);
    HWND tab_control = FindWindowExW(sheet, nullptr, WC_TABCONTROLW, nullptr);
    const int count = static_cast<int>(SendMessageW(tab_control, TCM_GETITEMCOUNT, 0, 0));
    for (int i = 0; i < count; ++i) tabs.push_back(TabText(tab_control, i));
    ui::win32::RemoteDialog(sheet).Click(IDOK);
  });
  RunPluginSheet(caption, records);
  driver.join();
  return tabs;
}

namespace {

std::wstring ModuleBesideTheProgram() {
  wchar_t path[MAX_PATH] = {};
  const DWORD length = GetModuleFileNameW(nullptr, path, MAX_PATH);
  std::wstring module_path(path, length);
  return module_path.substr(0, module_path.find_last_of(L"\\/") + 1) + L"VRTQ40UI.dll";
}

}  // namespace

LoadedPlugin::LoadedPlugin() : LoadedPlugin(ModuleBesideTheProgram()) {}

LoadedPlugin::LoadedPlugin(const std::wstring& module_path) {
  module_ = LoadLibraryW(module_path.c_str());
  if (module_ == nullptr) return;
  using GetClassObject = com::HRESULT(KIT_STDCALL*)(const com::GUID*, const com::GUID*, void**);
  auto get_class_object =
      reinterpret_cast<GetClassObject>(reinterpret_cast<void*>(GetProcAddress(module_, "DllGetClassObject")));
  if (get_class_object == nullptr) return;
  void* out = nullptr;
  if (get_class_object(&com::kClsidOemUi, &com::kIidIClassFactory, &out) != com::kSOk) return;
  auto* factory = static_cast<com::IClassFactory*>(out);
  const bool created = factory->lpVtbl->CreateInstance(factory, nullptr, &com::kIidIPrintOemUi, &out) == com::kSOk;
  factory->lpVtbl->Release(com::AsUnknown(factory));
  if (!created) return;
  auto* ui = static_cast<com::IPrintOemUI*>(out);
  if (ui->lpVtbl->PublishDriverInterface(ui, driver_.Unknown()) != com::kSOk) {
    ui->lpVtbl->Release(com::AsUnknown(ui));
    return;
  }
  ui_ = ui;
}

LoadedPlugin::~LoadedPlugin() {
  Release();
  if (module_ != nullptr) FreeLibrary(module_);
}

std::vector<PROPSHEETPAGEW> LoadedPlugin::SheetPages(bool document, com::OEMCUIPPARAM& cuip, com::OEMUIPSPARAM& ps) {
  std::vector<PROPSHEETPAGEW> records;
  if (ui_ == nullptr || ui_->lpVtbl->CommonUIProp(ui_, document ? 1 : 2, &cuip) != com::kSOk) return records;
  g_records = &records;
  com::PROPSHEETUI_INFO info = Request(kReasonInit, ps);
  const auto& v = *ui_->lpVtbl;
  if ((document ? v.DocumentPropertySheets(ui_, &info, 0) : v.DevicePropertySheets(ui_, &info, 0)) != com::kSOk)
    records.clear();
  g_records = nullptr;
  return records;
}

com::ULONG_PTR LoadedPlugin::DestroySheet(bool document, com::OEMUIPSPARAM& ps) {
  com::PROPSHEETUI_INFO info = Request(kReasonDestroy, ps);
  const auto& v = *ui_->lpVtbl;
  document ? v.DocumentPropertySheets(ui_, &info, 0) : v.DevicePropertySheets(ui_, &info, 0);
  return info.Result;
}

com::ULONG LoadedPlugin::Release() {
  if (ui_ == nullptr) return 0;
  const com::ULONG count = ui_->lpVtbl->Release(com::AsUnknown(ui_));
  ui_ = nullptr;
  return count;
}

}  // namespace kit::plugin::sheets::testing
