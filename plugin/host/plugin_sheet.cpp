#include "plugin/host/plugin_sheet.h"

#include "plugin/core/com/oem_ui_core.h"
#include "plugin/core/sheets/hosted_page_record.h"
#include "plugin/core/sheets/sheet_protocol.h"

namespace kit::plugin::host {

using namespace com;

PluginSheet::PluginSheet(IPrintOemUI* ui, std::u16string& printer_name, std::vector<std::uint8_t>& record,
                         Options options)
    : ui_(ui), options_(std::move(options)) {
  cuip_.cbSize = sizeof cuip_;
  cuip_.pPrinterName = printer_name.data();
  cuip_.pOEMDM = record.data();
  cuip_.hPrinter = options_.printer;
  cuip_.pDrvOptItems = options_.driver_items;
  cuip_.cDrvOptItems = options_.driver_item_count;
  ps_.cbSize = sizeof ps_;
  ps_.pPrinterName = printer_name.data();
  ps_.pOEMDM = record.data();
  ps_.hPrinter = options_.printer;
  header_.cbSize = sizeof header_;
}

void PluginSheet::Close() {
  if (!opened_) return;
  opened_ = false;
  Request(sheets::kReasonDestroy, 0);
}

const char* PluginSheet::Open() {
  const char* failed = nullptr;
  const auto note_failure = [&](const char* call, HRESULT hr) {
    if (hr != kSOk && failed == nullptr) failed = call;
  };
  note_failure("CommonUIProp",
               ui_->lpVtbl->CommonUIProp(ui_, options_.document ? OEMCUIP_DOCPROP : OEMCUIP_PRNPROP, &cuip_));
  const char* sheet_call = options_.document ? "DocumentPropertySheets" : "DevicePropertySheets";
  opened_ = true;
  note_failure(sheet_call, Request(sheets::kReasonGetInfoHeader, reinterpret_cast<LPARAM>(&header_)));
  note_failure(sheet_call, Request(sheets::kReasonInit, 0));
  return failed;
}

std::u16string PluginSheet::header_title() const { return header_.pTitle ? header_.pTitle : u""; }

HRESULT PluginSheet::Request(WORD reason, LPARAM lParam) {
  PROPSHEETUI_INFO info{};
  info.cbSize = sizeof info;
  info.Version = sheets::kPropSheetUiInfoVersion;
  info.Reason = reason;
  info.hComPropSheet = this;  // the callback finds its sheet by it
  info.pfnComPropSheet = Callback;
  info.lParamInit = reinterpret_cast<LPARAM>(&ps_);
  const auto& v = *ui_->lpVtbl;
  return options_.document ? v.DocumentPropertySheets(ui_, &info, lParam) : v.DevicePropertySheets(ui_, &info, lParam);
}

LONG_PTR KIT_STDCALL PluginSheet::Callback(HANDLE handle, UINT function, LPARAM lParam1, LPARAM lParam2) {
  auto* sheet = static_cast<PluginSheet*>(handle);
  if (sheet == nullptr) return 0;
  const auto note = [&](const std::string& text) {
    if (sheet->options_.note) sheet->options_.note(text);
  };
  if (function == sheets::kCpsFuncAddPropSheetPageW) {
    const auto* record = reinterpret_cast<const sheets::HostedPageRecord*>(lParam1);
    if (record == nullptr || record->dwSize != sizeof(sheets::HostedPageRecord) || record->page == nullptr) {
      note("sheet: a page record this host cannot show");
      return 0;
    }
    sheet->pages_.push_back({record->page, record->pszTitle ? record->pszTitle : u""});
    return static_cast<LONG_PTR>(sheet->pages_.size());  // the page's handle
  }
  if (function == sheets::kCpsFuncSetResult) {
    note("sheet: page " + std::to_string(lParam1) + " reports result " + std::to_string(lParam2));
    ++sheet->results_;
    return 1;
  }
  note("sheet: callback function " + std::to_string(function));
  return 0;
}

}  // namespace kit::plugin::host
