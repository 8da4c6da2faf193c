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

// --- class factory ----------------------------------------------------------

ClassFactory* FactoryOf(IUnknown* self) { return static_cast<ClassFactory*>(reinterpret_cast<IClassFactory*>(self)); }

ULONG KIT_STDCALL FactoryAddRef(IUnknown* self) { return FactoryOf(self)->refs.fetch_add(1) + 1; }

HRESULT KIT_STDCALL FactoryQueryInterface(IUnknown* self, const GUID* riid, void** ppv) {
  if (ppv == nullptr) return kEPointer;
  if (riid != nullptr && (*riid == kIidIUnknown || *riid == kIidIClassFactory)) {
    *ppv = self;
    FactoryAddRef(self);
    return kSOk;
  }
  *ppv = nullptr;
  return kENoInterface;
}


ULONG KIT_STDCALL FactoryRelease(IUnknown* self) {
  ClassFactory* factory = FactoryOf(self);
  const ULONG left = factory->refs.fetch_sub(1) - 1;
  if (left == 0) delete factory;
  return left;
}

HRESULT KIT_STDCALL FactoryCreateInstance(IClassFactory*, IUnknown* pUnkOuter, const GUID* riid, void** ppv) {
  if (ppv == nullptr) return kEPointer;
  *ppv = nullptr;
  if (pUnkOuter != nullptr) return kClassENoAggregation;
  OemUiObject* object = NewObject<OemUiObject>();
  if (object == nullptr) return kEOutOfMemory;
  IUnknown* unknown = AsUnknown(static_cast<IPrintOemUI*>(object));
  const HRESULT hr = object->lpVtbl->QueryInterface(unknown, riid, ppv);
  object->lpVtbl->Release(unknown);  // the creation reference; destroys the object when the query failed
  return hr;
}

HRESULT KIT_STDCALL FactoryLockServer(IClassFactory*, BOOL fLock) {
  if (fLock)
    IncrementLocks();
  else
    DecrementLocks();
  return kSOk;
}

constexpr IClassFactoryVtbl kFactoryVtbl = {
    FactoryQueryInterface, FactoryAddRef, FactoryRelease, FactoryCreateInstance, FactoryLockServer,
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

ClassFactory::ClassFactory() : IClassFactory{&kFactoryVtbl} {}

ClassFactory* CreateClassFactory() { return NewObject<ClassFactory>(); }

}  // namespace kit::plugin::com
