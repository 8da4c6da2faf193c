// This file is OS-independent.
#include "plugin/core/sheets/sheet_handlers.h"

#include <map>
#include <memory>
#include <vector>

#include "plugin/core/com/last_error.h"
#include "plugin/core/language/density_option.h"
#include "plugin/core/language/module_language.h"
#include "plugin/core/sheets/current_texts.h"
#include "plugin/core/sheets/message_texts.h"
#include "plugin/core/sheets/page_record.h"
#include "plugin/core/sheets/page_table.h"
#include "plugin/core/sheets/sheet_protocol.h"

namespace kit::plugin::sheets {
namespace {

using com::HRESULT;

// A page added to a sheet, with the record the sheet was given. The record
// goes before its page.
struct HostedPage {
  std::unique_ptr<SheetPage> page;
  std::unique_ptr<PageRecord> record;
};

// The pages of every sheet set up in this process, by the address of the
// sheet's context; they live until the sheet's DESTROY request or its next
// set-up.
std::map<const void*, std::vector<HostedPage>>& SheetPages() {
  static std::map<const void*, std::vector<HostedPage>> pages;
  return pages;
}

// The header's title: the host keeps the pointer.
char16_t g_header_title[] = u"OEM UI Page";
static_assert(sizeof g_header_title == sizeof kHeaderTitle);

// Checks the request; on a bad one sets last error 87.
bool ValidRequest(const com::PROPSHEETUI_INFO* info) {
  if (info == nullptr || info->Version != kPropSheetUiInfoVersion) {
    com::SetThreadLastError(com::kErrorInvalidParameter);
    return false;
  }
  return true;
}

// Adds the table's pages that this build has, in order; returns the handle
// the sheet gave for the last page added (0 when none was added).
template <std::size_t N, typename Titles>
com::LONG_PTR AddPages(const std::array<PageEntry, N>& table, const Titles& titles, PageContext context,
                       com::HANDLE sheet, com::PFNCOMPROPSHEET callback) {
  const void* key = reinterpret_cast<const void*>(context.Address());
  auto& kept = SheetPages()[key];
  kept.clear();
  com::LONG_PTR last = 0;
  for (std::size_t i = 0; i < N; ++i) {
    const PageEntry& entry = table[i];
    if (entry.create == nullptr) continue;
    HostedPage hosted;
    hosted.page = entry.create(context);
    hosted.record = MakePageRecord(*hosted.page, entry, titles[i], context.Address());
    // A failed addition is not checked: the sheet shows what it accepted.
    last = callback(sheet, kCpsFuncAddPropSheetPageW, hosted.record->Address(), 0);
    kept.push_back(std::move(hosted));
  }
  return last;
}

void ReleasePages(const void* context) { SheetPages().erase(context); }

// The requests both sheets answer alike. Returns false for INIT, which each
// sheet answers itself.
bool AnswerCommonRequest(com::PROPSHEETUI_INFO& info, com::LPARAM lParam, const void* context) {
  switch (info.Reason) {
    case kReasonGetInfoHeader: {
      auto* header = reinterpret_cast<com::PROPSHEETUI_INFO_HEADER*>(lParam);
      if (header != nullptr) header->pTitle = g_header_title;
      info.Result = 1;
      return true;
    }
    case kReasonDestroy:
      ReleasePages(context);
      info.Result = 1;
      return true;
    case kReasonSetResult: {
      const auto* result = reinterpret_cast<const com::SETRESULT_INFO*>(lParam);
      if (result != nullptr) info.Result = static_cast<com::ULONG_PTR>(result->Result);
      return true;
    }
    case kReasonGetIcon:
      info.Result = 0;
      return true;
    case kReasonInit:
      return false;
    default:
      return true;  // nothing to do
  }
}

}  // namespace

HRESULT HandleDocumentSheet(com::PROPSHEETUI_INFO* info, com::LPARAM lParam, com::DocumentSheetContext& context,
                            const SheetServices& services) {
  if (!ValidRequest(info)) return com::kEFail;
  if (AnswerCommonRequest(*info, lParam, &context)) return com::kSOk;
  if (info->pfnComPropSheet == nullptr) {
    // Without the sheet's callback no page can be added.
    com::SetThreadLastError(com::kErrorInvalidParameter);
    return com::kEFail;
  }

  const CurrentTexts texts(services.language);
  const DocumentTitles titles = LoadDocumentTitles(texts);
  LoadMessageTexts(texts);
  if (context.pOemCUIPParam != nullptr) {
    RenameDensityOption(*context.pOemCUIPParam, context.pDriver,
                        texts.Get(kDensitySection, kDensityNameKey, kDensityNameBuiltin, kDensityTextCapacity),
                        texts.Get(kDensitySection, kDensityIndexKey, kDensityIndexBuiltin, kDensityTextCapacity));
  }

  context.hComPropSheet = info->hComPropSheet;
  context.pfnComPropSheet = info->pfnComPropSheet;
  context.lParamInit = info->lParamInit;
  const com::LONG_PTR last = AddPages(kDocumentPages, titles, PageContext::Document(context, services.language, services.Platform()), info->hComPropSheet,
                                      info->pfnComPropSheet);
  context.hPage = reinterpret_cast<com::HANDLE>(last);
  info->Result = static_cast<com::ULONG_PTR>(last);
  return com::kSOk;
}

HRESULT HandleDeviceSheet(com::PROPSHEETUI_INFO* info, com::LPARAM lParam, com::DeviceSheetContext& context,
                          const SheetServices& services) {
  if (!ValidRequest(info)) return com::kEFail;
  if (AnswerCommonRequest(*info, lParam, &context)) return com::kSOk;
  if (info->pfnComPropSheet == nullptr) {
    com::SetThreadLastError(com::kErrorInvalidParameter);
    return com::kEFail;
  }

  const CurrentTexts texts(services.language);
  RecordPrinterPort(context.pOemCUIPParam, services);
  const DeviceTitles titles = LoadDeviceTitles(texts);
  LoadMessageTexts(texts);

  context.hComPropSheet = info->hComPropSheet;
  context.pfnComPropSheet = info->pfnComPropSheet;
  const com::LONG_PTR last =
      AddPages(kDevicePages, titles, PageContext::Device(context, services.language, services.Platform()), info->hComPropSheet, info->pfnComPropSheet);
  context.hPage = reinterpret_cast<com::HANDLE>(last);
  info->Result = reinterpret_cast<com::ULONG_PTR>(info);
  return com::kSOk;
}

std::u16string RecordPrinterPort(const com::OEMCUIPPARAM* param, const SheetServices& services) {
  if (services.language == nullptr) return {};
  // A handle this module cannot use (a host on another spooler view): the
  // printer is opened by its name instead, for reading.
  PrinterHandle printer = UseSheetPrinter(services.spooler, param);
  if (!printer) return {};
  std::uint32_t needed = 0;
  PrinterInfo2 info;
  printer->GetPrinter(2, nullptr, 0, &needed);
  if (needed == 0 || !printer->GetPrinter(2, &info, needed, &needed)) return {};
  if (info.port_name.empty()) return {};
  services.language->RecordPrinterPort(info.port_name);
  return info.port_name;
}

std::size_t LivePageCount() {
  std::size_t count = 0;
  for (const auto& [context, pages] : SheetPages()) count += pages.size();
  return count;
}

// ---- the module's handlers

namespace {

Spooler* g_module_spooler = nullptr;
PagePlatform g_module_platform;

SheetServices ModuleServices() {
  return {ModuleLanguage(), g_module_spooler, g_module_platform.files, g_module_platform.shell,
          g_module_platform.system};
}

HRESULT ModuleDocumentSheet(com::PROPSHEETUI_INFO* info, com::LPARAM lParam, com::DocumentSheetContext& context) {
  return HandleDocumentSheet(info, lParam, context, ModuleServices());
}

HRESULT ModuleDeviceSheet(com::PROPSHEETUI_INFO* info, com::LPARAM lParam, com::DeviceSheetContext& context) {
  return HandleDeviceSheet(info, lParam, context, ModuleServices());
}

}  // namespace

void SetModuleSpooler(Spooler* spooler) { g_module_spooler = spooler; }

void SetModulePagePlatform(Files* files, Shell* shell, SystemFacts* system) {
  g_module_platform.files = files;
  g_module_platform.shell = shell;
  g_module_platform.system = system;
}

void InstallSheetHandlers() { com::SetSheetHandlers(ModuleDocumentSheet, ModuleDeviceSheet); }

}  // namespace kit::plugin::sheets
