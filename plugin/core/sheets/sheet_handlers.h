// The plug-in's two sheet handlers: the document sheet (printing
// preferences) and the device sheet (printer properties), as the common
// property-sheet UI drives them through DocumentPropertySheets and
// DevicePropertySheets.
//
// Every request is refused with last error 87 and E_FAIL unless
// PROPSHEETUI_INFO is present and of version 0x0100. Then, by Reason:
//  - INIT: re-read the current language, load the texts the sheet uses,
//    (device) record the printer's port under the language key, (document)
//    rename the driver's density option, add the pages in table order and
//    keep the sheet's handle, callback and last page handle in the context.
//    Result: (document) the handle of the last page added, (device) the
//    address of the PROPSHEETUI_INFO;
//  - GET_INFO_HEADER: the header's title is "OEM UI Page"; Result 1;
//  - DESTROY: the sheet's pages go; Result 1;
//  - SET_RESULT: Result is the SETRESULT_INFO's Result;
//  - GET_ICON: Result 0;
//  - anything else: nothing.
// All these answer S_OK.
// This file is OS-independent.
#pragma once

#include "platform/spooler.h"
#include "plugin/core/com/sheet_context.h"
#include "plugin/core/language/language_files.h"
#include "plugin/core/sheets/page_context.h"

namespace kit::plugin::sheets {

// What the handlers work with besides the host's records: the module's
// language state, the spooler that reads the printer's port, and the rest of
// the system the pages work on. Any may be null: built-in texts, no port
// record, pages without what needs the missing facility.
struct SheetServices {
  LanguageFiles* language = nullptr;
  Spooler* spooler = nullptr;
  Files* files = nullptr;
  Shell* shell = nullptr;
  SystemFacts* system = nullptr;

  PagePlatform Platform() const { return {spooler, files, shell, system}; }
};

com::HRESULT HandleDocumentSheet(com::PROPSHEETUI_INFO* info, com::LPARAM lParam,
                                 com::DocumentSheetContext& context, const SheetServices& services);
com::HRESULT HandleDeviceSheet(com::PROPSHEETUI_INFO* info, com::LPARAM lParam, com::DeviceSheetContext& context,
                               const SheetServices& services);

// Records, under the language key, that a device sheet opened for the
// printer behind `param` (its port name, from GetPrinter level 2). Returns
// the port recorded, empty when none could be read.
std::u16string RecordPrinterPort(const com::OEMCUIPPARAM* param, const SheetServices& services);

// The number of pages currently kept for sheets (tests and diagnostics).
std::size_t LivePageCount();

// The module's handlers: the module's language state, the spooler set by
// SetModuleSpooler and the facilities set by SetModulePagePlatform.
// InstallSheetHandlers hands them to the COM surface; the plug-in module
// does so when it is loaded.
void SetModuleSpooler(Spooler* spooler);
void SetModulePagePlatform(Files* files, Shell* shell, SystemFacts* system);
void InstallSheetHandlers();

}  // namespace kit::plugin::sheets
