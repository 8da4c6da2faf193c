// What a page of the plug-in's sheets receives: the address of its sheet's
// context, and through it the sheet callback, the handle the page reports
// its result with, the driver's option items, the printer (name and handle)
// and (document sheet) the private settings record the host passed; beside
// it the module's language state and the system the page works on.
// This file is OS-independent.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "platform/platform.h"
#include "plugin/core/com/sheet_context.h"
#include "plugin/core/devmode/private_devmode.h"
#include "plugin/core/language/language_files.h"

namespace kit::plugin::sheets {

enum class SheetKind { kDocument, kDevice };

// The facilities of the system the pages work on: the printer's forms and
// raw jobs (spooler), files, starting programs (shell) and system facts. Any
// may be null when the module runs without them; a page then leaves out
// what needs it.
struct PagePlatform {
  Spooler* spooler = nullptr;
  Files* files = nullptr;
  Shell* shell = nullptr;
  SystemFacts* system = nullptr;
};

// The printer of a sheet for one piece of work: the host's own handle,
// borrowed (never closed here), or, when that handle means nothing to this
// module's spooler (a host on another view of the spooler), the printer
// opened by the sheet's printer name and closed when the returned handle
// goes. Null without a spooler, or when neither way reaches a printer.
PrinterHandle UseSheetPrinter(Spooler* spooler, const com::OEMCUIPPARAM* param);

class PageContext {
 public:
  // `language`: the language state the page reads its texts through; null
  // gives the built-in texts.
  static PageContext Document(com::DocumentSheetContext& context, LanguageFiles* language,
                              PagePlatform platform = {}) {
    return PageContext(&context, nullptr, language, platform);
  }
  static PageContext Device(com::DeviceSheetContext& context, LanguageFiles* language, PagePlatform platform = {}) {
    return PageContext(nullptr, &context, language, platform);
  }

  SheetKind kind() const { return document_ != nullptr ? SheetKind::kDocument : SheetKind::kDevice; }
  com::DocumentSheetContext* document() const { return document_; }
  com::DeviceSheetContext* device() const { return device_; }
  LanguageFiles* language() const { return language_; }
  const PagePlatform& platform() const { return platform_; }
  // The context's address: the lParam of the page's record.
  com::LPARAM Address() const;

  com::HANDLE SheetHandle() const;
  com::HANDLE ResultPage() const;
  com::PFNCOMPROPSHEET Callback() const;
  com::OEMCUIPPARAM* CommonParam() const;
  // The printer's name as the host gave it to CommonUIProp; empty when none.
  std::u16string PrinterName() const;
  // The host's printer handle (OEMCUIPPARAM.hPrinter) as a value; 0 when none.
  std::uintptr_t PrinterHandleValue() const;
  // The sheet's printer for one piece of work (see UseSheetPrinter).
  PrinterHandle UsePrinter() const { return UseSheetPrinter(platform_.spooler, CommonParam()); }
  // The private settings record of the document sheet (the OEMUIPSPARAM's
  // pOEMDM), a view of its 1976 bytes; none on the device sheet or when the
  // host passed no record.
  std::optional<PrivateDevModeSpan> PrivateRecord() const;

  // Tells the sheet that the page's values were applied:
  // pfnComPropSheet(hComPropSheet, CPSFUNC_SET_RESULT, page handle, CPSUI_OK).
  // Returns what the callback answered, 0 when there is no callback.
  com::LONG_PTR ReportApplied() const;

 private:
  PageContext(com::DocumentSheetContext* document, com::DeviceSheetContext* device, LanguageFiles* language,
              PagePlatform platform)
      : document_(document), device_(device), language_(language), platform_(platform) {}
  com::DocumentSheetContext* document_;
  com::DeviceSheetContext* device_;
  LanguageFiles* language_;
  PagePlatform platform_;
};

}  // namespace kit::plugin::sheets
