// The per-sheet records the plug-in object keeps for the document and the
// device property sheets, and the hook through which the sheet-hosting unit
// runs its two sheet handlers.
//
// Each page of a sheet receives the address of its sheet's context and
// reaches the host (the sheet callback, the driver's option items, the device
// mode) through it.
// This file is OS-independent.
#pragma once

#include <cstdint>

#include "plugin/core/com/host_types.h"
#include "plugin/core/com/interfaces.h"

namespace kit::plugin::com {

// A handle that has not been set yet: all bits set.
inline HANDLE UnsetHandle() { return reinterpret_cast<HANDLE>(~std::uintptr_t{0}); }

// The printer-properties (device) sheet.
struct DeviceSheetContext {
  HANDLE hComPropSheet = UnsetHandle();
  HANDLE hPage = UnsetHandle();  // handle used when a page reports its result
  PFNCOMPROPSHEET pfnComPropSheet = nullptr;
  OEMCUIPPARAM* pOemCUIPParam = nullptr;  // as last given to CommonUIProp
  IPrintOemDriverUI* pDriver = nullptr;
};

// The printing-preferences (document) sheet.
struct DocumentSheetContext {
  HANDLE hComPropSheet = UnsetHandle();
  HANDLE hPage = UnsetHandle();
  LPARAM lParamInit = 0;  // the sheet's OEMUIPSPARAM: the way to the device mode
  OEMCUIPPARAM* pOemCUIPParam = nullptr;
  PFNCOMPROPSHEET pfnComPropSheet = nullptr;
  IPrintOemDriverUI* pDriver = nullptr;
};

using DocumentSheetHandler = HRESULT (*)(PROPSHEETUI_INFO* pPSUIInfo, LPARAM lParam, DocumentSheetContext& context);
using DeviceSheetHandler = HRESULT (*)(PROPSHEETUI_INFO* pPSUIInfo, LPARAM lParam, DeviceSheetContext& context);

// Installed once by the sheet-hosting unit (at module start). Until then the
// sheet methods answer E_NOTIMPL: the plug-in then adds no pages.
void SetSheetHandlers(DocumentSheetHandler document, DeviceSheetHandler device);
DocumentSheetHandler CurrentDocumentSheetHandler();
DeviceSheetHandler CurrentDeviceSheetHandler();

}  // namespace kit::plugin::com
