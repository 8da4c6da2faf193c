// The COM shell of the plug-in object and its class factory: each method
// checks its arguments and hands the work to the core functions.
#include "plugin/core/com/oem_ui_object.h"

#include "plugin/core/com/module_state.h"
#include "plugin/core/com/oem_ui_core.h"

namespace kit::plugin::com {
namespace {

// --- plug-in object -------------------------------------------------------

OemUiObject* ObjectFromUnknown(IUnknown* self) { return ObjectOf(reinterpret_cast<IPrintOemUI*>(self)); }

ULONG KIT_STDCALL OemAddRef(IUnknown* self) { return ObjectFromUnknown(self)->refs.fetch_add(1) + 1; }

HRESULT KIT_STDCALL OemQueryInterface(IUnknown* self, const GUID* riid, void** ppv) {
  if (ppv == nullptr) return kEPointer;
  if (riid != nullptr && (*riid == kIidIUnknown || *riid == kIidIPrintOemUi)) {
    *ppv = self;
    OemAddRef(self);
    return kSOk;
  }
  *ppv = nullptr;
  return kENoInterface;
}

ULONG KIT_STDCALL OemRelease(IUnknown* self) {
  OemUiObject* object = ObjectFromUnknown(self);
  const ULONG left = object->refs.fetch_sub(1) - 1;
  if (left == 0) delete object;
  return left;
}

HRESULT KIT_STDCALL OemGetInfo(IPrintOemUI*, DWORD dwMode, void* pBuffer, DWORD cbSize, DWORD* pcbNeeded) {
  return GetInfoCore(dwMode, pBuffer, cbSize, pcbNeeded);
}

HRESULT KIT_STDCALL OemDevMode(IPrintOemUI*, DWORD dwMode, OEMDMPARAM* pOemDMParam) {
  return DevModeCore(dwMode, pOemDMParam);
}

HRESULT KIT_STDCALL OemPublishDriverInterface(IPrintOemUI* self, IUnknown* pIUnknown) {
  return PublishDriverInterfaceCore(pIUnknown, ObjectOf(self)->driver);
}

HRESULT KIT_STDCALL OemCommonUIProp(IPrintOemUI* self, DWORD dwMode, OEMCUIPPARAM* pOemCUIPParam) {
  OemUiObject* object = ObjectOf(self);
  return CommonUIPropCore(dwMode, pOemCUIPParam, object->device_sheet, object->document_sheet);
}

HRESULT KIT_STDCALL OemDocumentPropertySheets(IPrintOemUI* self, PROPSHEETUI_INFO* pPSUIInfo, LPARAM lParam) {
  OemUiObject* object = ObjectOf(self);
  object->document_sheet.pDriver = object->driver;
  const DocumentSheetHandler handler = CurrentDocumentSheetHandler();
  if (handler == nullptr) return kENotImpl;
  return handler(pPSUIInfo, lParam, object->document_sheet);
}

HRESULT KIT_STDCALL OemDevicePropertySheets(IPrintOemUI* self, PROPSHEETUI_INFO* pPSUIInfo, LPARAM lParam) {
  OemUiObject* object = ObjectOf(self);
  object->device_sheet.pDriver = object->driver;
  const DeviceSheetHandler handler = CurrentDeviceSheetHandler();
  if (handler == nullptr) return kENotImpl;
  return handler(pPSUIInfo, lParam, object->device_sheet);
}

HRESULT KIT_STDCALL OemQueryColorProfile(IPrintOemUI*, HANDLE, void*, void*, void*, ULONG ulQueryMode,
                                         void* pvProfileData, ULONG* pcbProfileData, ULONG* pflProfileData) {
  return QueryColorProfileCore(ulQueryMode, pvProfileData, pcbProfileData, pflProfileData);
}

// Declined methods: E_NOTIMPL and nothing else.
HRESULT KIT_STDCALL OemDevQueryPrintEx(IPrintOemUI*, void*, void*, void*, void*) { return kENotImpl; }
HRESULT KIT_STDCALL OemDeviceCapabilities(IPrintOemUI*, void*, HANDLE, WCHAR*, WORD, void*, void*, void*, DWORD,
                                          DWORD*) {
  return kENotImpl;
}
HRESULT KIT_STDCALL OemUpgradePrinter(IPrintOemUI*, DWORD, BYTE*) { return kENotImpl; }
HRESULT KIT_STDCALL OemPrinterEvent(IPrintOemUI*, WCHAR*, INT, DWORD, LPARAM) { return kENotImpl; }
HRESULT KIT_STDCALL OemDriverEvent(IPrintOemUI*, DWORD, DWORD, BYTE*, LPARAM) { return kENotImpl; }
HRESULT KIT_STDCALL OemFontInstallerDlgProc(IPrintOemUI*, HANDLE, UINT, WPARAM, LPARAM) { return kENotImpl; }
HRESULT KIT_STDCALL OemUpdateExternalFonts(IPrintOemUI*, HANDLE, HANDLE, WCHAR*) { return kENotImpl; }

constexpr IPrintOemUIVtbl kOemUiVtbl = {
    OemQueryInterface,      OemAddRef,           OemRelease,
    OemGetInfo,             OemDevMode,          OemPublishDriverInterface,
    OemCommonUIProp,        OemDocumentPropertySheets, OemDevicePropertySheets,
    OemDevQueryPrintEx,     OemDeviceCapabilities, OemUpgradePrinter,
    OemPrinterEvent,        OemDriverEvent,      OemQueryColorProfile,
    OemFontInstallerDlgProc, OemUpdateExternalFonts,
};

}  // namespace

OemUiObject::OemUiObject() : IPrintOemUI{&kOemUiVtbl} { IncrementLiveObjects(); }

OemUiObject::~OemUiObject() {
  if (driver != nullptr) {
    IPrintOemDriverUI* held = driver;
    driver = nullptr;
    held->lpVtbl->Release(AsUnknown(held));
  }
  DecrementLiveObjects();
}

HRESULT CreateOemUiObject(const GUID* riid, void** ppv) {
  OemUiObject* object = NewObject<OemUiObject>();
  if (object == nullptr) return kEOutOfMemory;
  IUnknown* unknown = AsUnknown(static_cast<IPrintOemUI*>(object));
  const HRESULT hr = object->lpVtbl->QueryInterface(unknown, riid, ppv);
  object->lpVtbl->Release(unknown);  // the creation reference; destroys the object when the query failed
  return hr;
}

}  // namespace kit::plugin::com
