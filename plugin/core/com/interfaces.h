// The COM interfaces between the universal printer driver and the plug-in,
// as plain records of function pointers in the slot order of the Windows
// printer driver kit (IUnknown, IClassFactory, IPrintOemUI,
// IPrintOemDriverUI). An interface pointer points at a record whose first
// word is its table; a reference parameter (REFIID) is a pointer at the
// binary level and is declared as one. The three IUnknown slots of every
// table take the object as IUnknown*: they are the same functions whichever
// interface they are reached through, and callers reach them through
// IUnknown as often as through the interface itself.
// This file is OS-independent.
#pragma once

#include <cstddef>

#include "plugin/core/com/host_types.h"

namespace kit::plugin::com {

struct IUnknown;
struct IClassFactory;
struct IPrintOemUI;
struct IPrintOemDriverUI;

struct IUnknownVtbl {
  HRESULT(KIT_STDCALL* QueryInterface)(IUnknown* self, const GUID* riid, void** ppv);
  ULONG(KIT_STDCALL* AddRef)(IUnknown* self);
  ULONG(KIT_STDCALL* Release)(IUnknown* self);
};
struct IUnknown {
  const IUnknownVtbl* lpVtbl;
};

struct IClassFactoryVtbl {
  HRESULT(KIT_STDCALL* QueryInterface)(IUnknown* self, const GUID* riid, void** ppv);
  ULONG(KIT_STDCALL* AddRef)(IUnknown* self);
  ULONG(KIT_STDCALL* Release)(IUnknown* self);
  HRESULT(KIT_STDCALL* CreateInstance)(IClassFactory* self, IUnknown* pUnkOuter, const GUID* riid, void** ppv);
  HRESULT(KIT_STDCALL* LockServer)(IClassFactory* self, BOOL fLock);
};
struct IClassFactory {
  const IClassFactoryVtbl* lpVtbl;
};

// The driver's interface handed to the plug-in by PublishDriverInterface.
struct IPrintOemDriverUIVtbl {
  HRESULT(KIT_STDCALL* QueryInterface)(IUnknown* self, const GUID* riid, void** ppv);
  ULONG(KIT_STDCALL* AddRef)(IUnknown* self);
  ULONG(KIT_STDCALL* Release)(IUnknown* self);
  HRESULT(KIT_STDCALL* DrvGetDriverSetting)(IPrintOemDriverUI* self, void* pci, const char* Feature, void* pOutput,
                                            DWORD cbSize, DWORD* pcbNeeded, DWORD* pdwOptionsReturned);
  HRESULT(KIT_STDCALL* DrvUpgradeRegistrySetting)(IPrintOemDriverUI* self, HANDLE hPrinter, const char* pFeature,
                                                  const char* pOption);
  HRESULT(KIT_STDCALL* DrvUpdateUISetting)(IPrintOemDriverUI* self, void* pci, void* pOptItem,
                                           DWORD dwPreviousSelection, DWORD dwMode);
};
struct IPrintOemDriverUI {
  const IPrintOemDriverUIVtbl* lpVtbl;
};

// The plug-in's own interface.
struct IPrintOemUIVtbl {
  HRESULT(KIT_STDCALL* QueryInterface)(IUnknown* self, const GUID* riid, void** ppv);
  ULONG(KIT_STDCALL* AddRef)(IUnknown* self);
  ULONG(KIT_STDCALL* Release)(IUnknown* self);
  HRESULT(KIT_STDCALL* GetInfo)(IPrintOemUI* self, DWORD dwMode, void* pBuffer, DWORD cbSize, DWORD* pcbNeeded);
  HRESULT(KIT_STDCALL* DevMode)(IPrintOemUI* self, DWORD dwMode, OEMDMPARAM* pOemDMParam);
  HRESULT(KIT_STDCALL* PublishDriverInterface)(IPrintOemUI* self, IUnknown* pIUnknown);
  HRESULT(KIT_STDCALL* CommonUIProp)(IPrintOemUI* self, DWORD dwMode, OEMCUIPPARAM* pOemCUIPParam);
  HRESULT(KIT_STDCALL* DocumentPropertySheets)(IPrintOemUI* self, PROPSHEETUI_INFO* pPSUIInfo, LPARAM lParam);
  HRESULT(KIT_STDCALL* DevicePropertySheets)(IPrintOemUI* self, PROPSHEETUI_INFO* pPSUIInfo, LPARAM lParam);
  HRESULT(KIT_STDCALL* DevQueryPrintEx)(IPrintOemUI* self, void* poemuiobj, void* pDQPInfo, void* pPublicDM,
                                        void* pOEMDM);
  HRESULT(KIT_STDCALL* DeviceCapabilities)(IPrintOemUI* self, void* poemuiobj, HANDLE hPrinter, WCHAR* pDeviceName,
                                           WORD wCapability, void* pOutput, void* pPublicDM, void* pOEMDM,
                                           DWORD dwOld, DWORD* dwResult);
  HRESULT(KIT_STDCALL* UpgradePrinter)(IPrintOemUI* self, DWORD dwLevel, BYTE* pDriverUpgradeInfo);
  HRESULT(KIT_STDCALL* PrinterEvent)(IPrintOemUI* self, WCHAR* pPrinterName, INT iDriverEvent, DWORD dwFlags,
                                     LPARAM lParam);
  HRESULT(KIT_STDCALL* DriverEvent)(IPrintOemUI* self, DWORD dwDriverEvent, DWORD dwLevel, BYTE* pDriverInfo,
                                    LPARAM lParam);
  HRESULT(KIT_STDCALL* QueryColorProfile)(IPrintOemUI* self, HANDLE hPrinter, void* poemuiobj, void* pPublicDM,
                                          void* pOEMDM, ULONG ulQueryMode, void* pvProfileData,
                                          ULONG* pcbProfileData, ULONG* pflProfileData);
  HRESULT(KIT_STDCALL* FontInstallerDlgProc)(IPrintOemUI* self, HANDLE hWnd, UINT usMsg, WPARAM wParam,
                                             LPARAM lParam);
  HRESULT(KIT_STDCALL* UpdateExternalFonts)(IPrintOemUI* self, HANDLE hPrinter, HANDLE hHeap,
                                            WCHAR* pwstrCartridges);
};
struct IPrintOemUI {
  const IPrintOemUIVtbl* lpVtbl;
};

// The object behind any interface pointer, as IUnknown.
template <typename Interface>
IUnknown* AsUnknown(Interface* p) {
  return reinterpret_cast<IUnknown*>(p);
}

// Slot numbers are the contract with the host.
#define KIT_SLOT(table, member, slot) static_assert(offsetof(table, member) == (slot) * sizeof(void*), #member)
KIT_SLOT(IClassFactoryVtbl, CreateInstance, 3);
KIT_SLOT(IClassFactoryVtbl, LockServer, 4);
static_assert(sizeof(IClassFactoryVtbl) == 5 * sizeof(void*));
KIT_SLOT(IPrintOemDriverUIVtbl, DrvUpdateUISetting, 5);
KIT_SLOT(IPrintOemUIVtbl, QueryInterface, 0);
KIT_SLOT(IPrintOemUIVtbl, Release, 2);
KIT_SLOT(IPrintOemUIVtbl, GetInfo, 3);
KIT_SLOT(IPrintOemUIVtbl, DevMode, 4);
KIT_SLOT(IPrintOemUIVtbl, PublishDriverInterface, 5);
KIT_SLOT(IPrintOemUIVtbl, CommonUIProp, 6);
KIT_SLOT(IPrintOemUIVtbl, DocumentPropertySheets, 7);
KIT_SLOT(IPrintOemUIVtbl, DevicePropertySheets, 8);
KIT_SLOT(IPrintOemUIVtbl, DevQueryPrintEx, 9);
KIT_SLOT(IPrintOemUIVtbl, DeviceCapabilities, 10);
KIT_SLOT(IPrintOemUIVtbl, UpgradePrinter, 11);
KIT_SLOT(IPrintOemUIVtbl, PrinterEvent, 12);
KIT_SLOT(IPrintOemUIVtbl, DriverEvent, 13);
KIT_SLOT(IPrintOemUIVtbl, QueryColorProfile, 14);
KIT_SLOT(IPrintOemUIVtbl, FontInstallerDlgProc, 15);
KIT_SLOT(IPrintOemUIVtbl, UpdateExternalFonts, 16);
static_assert(sizeof(IPrintOemUIVtbl) == 17 * sizeof(void*));
#undef KIT_SLOT

}  // namespace kit::plugin::com
