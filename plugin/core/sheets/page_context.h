// What a page of the plug-in's sheets receives: the address of its sheet's
// context, and through it the sheet callback, the handle the page reports
// its result with, the driver's option items and (document sheet) the
// private settings record the host passed.
// This file is OS-independent.
#pragma once

#include <cstdint>
#include <string>

#include "plugin/core/com/sheet_context.h"
#include "plugin/core/language/language_files.h"

namespace kit::plugin::sheets {

enum class SheetKind { kDocument, kDevice };

class PageContext {
 public:
  // `language`: the language state the page reads its texts through; null
  // gives the built-in texts.
  static PageContext Document(com::DocumentSheetContext& context, LanguageFiles* language) {
    return PageContext(&context, nullptr, language);
  }
  static PageContext Device(com::DeviceSheetContext& context, LanguageFiles* language) {
    return PageContext(nullptr, &context, language);
  }

  SheetKind kind() const { return document_ != nullptr ? SheetKind::kDocument : SheetKind::kDevice; }
  com::DocumentSheetContext* document() const { return document_; }
  com::DeviceSheetContext* device() const { return device_; }
  LanguageFiles* language() const { return language_; }
  // The context's address: the lParam of the page's record.
  com::LPARAM Address() const;

  com::HANDLE SheetHandle() const;
  com::HANDLE ResultPage() const;
  com::PFNCOMPROPSHEET Callback() const;
  com::OEMCUIPPARAM* CommonParam() const;
  // The printer's name as the host gave it to CommonUIProp; empty when none.
  std::u16string PrinterName() const;
  // The private settings record of the document sheet (the OEMUIPSPARAM's
  // pOEMDM), or null: the device sheet has none, and a host may pass none.
  std::uint8_t* PrivateRecord() const;

  // Tells the sheet that the page's values were applied:
  // pfnComPropSheet(hComPropSheet, CPSFUNC_SET_RESULT, page handle, CPSUI_OK).
  // Returns what the callback answered, 0 when there is no callback.
  com::LONG_PTR ReportApplied() const;

 private:
  PageContext(com::DocumentSheetContext* document, com::DeviceSheetContext* device, LanguageFiles* language)
      : document_(document), device_(device), language_(language) {}
  com::DocumentSheetContext* document_;
  com::DeviceSheetContext* device_;
  LanguageFiles* language_;
};

}  // namespace kit::plugin::sheets
