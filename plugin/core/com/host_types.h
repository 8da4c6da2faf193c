// The host-side types of the printer driver's UI plug-in interface.
//
// The universal printer driver talks to the plug-in through COM interfaces
// and a handful of parameter records whose layouts are fixed by the Windows
// printer driver kit. They are declared here, with the same layouts, so that
// the plug-in builds and runs on Linux as well as on Windows (the printer
// driver kit headers are not part of mingw). Every layout is pinned by
// static_asserts for both 32-bit and 64-bit builds.
//
// Names follow the Windows driver kit where no Windows header macro can
// collide with them; result codes and error numbers carry kit-style names
// because <windows.h> defines the Windows spellings as macros.
// This file is OS-independent.
#pragma once

#include <cstddef>
#include <cstdint>

// COM methods and the two exports use the Windows calling convention: stdcall
// on 32-bit x86 Windows, the platform default everywhere else.
#if defined(_WIN32) && !defined(_WIN64)
#define KIT_STDCALL __stdcall
#else
#define KIT_STDCALL
#endif

namespace kit::plugin::com {

using HRESULT = std::int32_t;
using ULONG = std::uint32_t;
using DWORD = std::uint32_t;
using WORD = std::uint16_t;
using BYTE = std::uint8_t;
using BOOL = std::int32_t;
using LONG = std::int32_t;
using UINT = std::uint32_t;
using INT = std::int32_t;
using LPARAM = std::intptr_t;
using WPARAM = std::uintptr_t;
using LONG_PTR = std::intptr_t;
using ULONG_PTR = std::uintptr_t;
using WCHAR = char16_t;  // UTF-16 code unit; wchar_t has the same width on Windows
using HANDLE = void*;

inline constexpr bool kIs64Bit = sizeof(void*) == 8;

// Result codes (HRESULT values).
inline constexpr HRESULT kSOk = 0;
inline constexpr HRESULT kSFalse = 1;
inline constexpr HRESULT kENotImpl = static_cast<HRESULT>(0x80004001u);
inline constexpr HRESULT kENoInterface = static_cast<HRESULT>(0x80004002u);
inline constexpr HRESULT kEPointer = static_cast<HRESULT>(0x80004003u);
inline constexpr HRESULT kEFail = static_cast<HRESULT>(0x80004005u);
inline constexpr HRESULT kEOutOfMemory = static_cast<HRESULT>(0x8007000Eu);
inline constexpr HRESULT kClassENoAggregation = static_cast<HRESULT>(0x80040110u);
inline constexpr HRESULT kClassEClassNotAvailable = static_cast<HRESULT>(0x80040111u);

constexpr bool Succeeded(HRESULT hr) { return hr >= 0; }

// Win32 error numbers the plug-in reports as the thread's last error.
inline constexpr DWORD kErrorNotSupported = 50;
inline constexpr DWORD kErrorInvalidParameter = 87;
inline constexpr DWORD kErrorInsufficientBuffer = 122;

// A 16-byte COM identifier, compared byte for byte.
struct GUID {
  std::uint32_t Data1;
  std::uint16_t Data2;
  std::uint16_t Data3;
  std::uint8_t Data4[8];
};
static_assert(sizeof(GUID) == 16);

constexpr bool operator==(const GUID& a, const GUID& b) {
  for (int i = 0; i < 8; ++i)
    if (a.Data4[i] != b.Data4[i]) return false;
  return a.Data1 == b.Data1 && a.Data2 == b.Data2 && a.Data3 == b.Data3;
}

// The identifiers of the Windows driver kit the plug-in serves or asks for.
inline constexpr GUID kClsidOemUi = {0xABCE80D7, 0x9F46, 0x11D1, {0x88, 0x2A, 0x00, 0xC0, 0x4F, 0xB9, 0x61, 0xEC}};
inline constexpr GUID kIidIPrintOemUi = {0xC6A7A9D0, 0x774C, 0x11D1, {0x94, 0x7F, 0x00, 0xA0, 0xC9, 0x06, 0x40, 0xB8}};
inline constexpr GUID kIidIPrintOemDriverUi = {0x92B05D50, 0x78BC, 0x11D1, {0x94, 0x80, 0x00, 0xA0, 0xC9, 0x06, 0x40, 0xB8}};
inline constexpr GUID kIidIUnknown = {0x00000000, 0x0000, 0x0000, {0xC0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x46}};
inline constexpr GUID kIidIClassFactory = {0x00000001, 0x0000, 0x0000, {0xC0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x46}};

// ---------------------------------------------------------------------------
// Parameter records (printoem.h / compstui.h layouts).

// An option of a driver option item: its display name is pData.
struct OPTPARAM {
  WORD cbSize;
  BYTE Flags;
  BYTE Style;
  WCHAR* pData;
  ULONG_PTR IconID;
  LPARAM lParam;
  ULONG_PTR dwReserved[2];
};

// The option list of an option item.
struct OPTTYPE {
  WORD cbSize;
  BYTE Type;
  BYTE Flags;
  WORD Count;
  WORD BegCtrlID;
  OPTPARAM* pOptParam;
  WORD Style;
  WORD wReserved[3];
  ULONG_PTR dwReserved[3];
};

// One option item of the driver's own settings tree.
struct OPTITEM {
  WORD cbSize;
  BYTE Level;
  BYTE DlgPageIdx;
  DWORD Flags;
  ULONG_PTR UserData;
  WCHAR* pName;
  union {
    LONG Sel;
    WCHAR* pSel;
  };
  void* pExtChkBox;  // or pExtPush, by OPTIF_EXT_IS_EXTPUSH
  OPTTYPE* pOptType;
  DWORD HelpIndex;
  BYTE DMPubID;
  BYTE UserItemID;
  WORD wReserved;
  void* pOIExt;
  ULONG_PTR dwReserved[3];
};

inline constexpr DWORD kOptifChanged = 0x00000008;  // OPTIF_CHANGED: the item must be redrawn
inline constexpr BYTE kDmPubNone = 0;                // DMPUB_NONE: not a public device-mode field

// What the host passes to DevMode.
struct OEMDMPARAM {
  DWORD cbSize;
  void* pdriverobj;
  HANDLE hPrinter;
  HANDLE hModule;
  void* pPublicDMIn;
  void* pPublicDMOut;
  void* pOEMDMIn;
  void* pOEMDMOut;
  DWORD cbBufSize;  // in: size of the pOEMDMOut buffer; out (OEMDM_SIZE): the record's size
};

using OEMCUIPCALLBACK = LONG(KIT_STDCALL*)(void* pCPSUICBParam, void* pOEMCUIPParam);

// What the host passes to CommonUIProp.
struct OEMCUIPPARAM {
  DWORD cbSize;
  void* poemuiobj;
  HANDLE hPrinter;
  WCHAR* pPrinterName;
  HANDLE hModule;
  HANDLE hOEMHeap;
  void* pPublicDM;
  void* pOEMDM;
  DWORD dwFlags;
  OPTITEM* pDrvOptItems;
  DWORD cDrvOptItems;
  OPTITEM* pOEMOptItems;
  DWORD cOEMOptItems;
  void* pOEMUserData;
  OEMCUIPCALLBACK OEMCUIPCallback;
};

// What the document sheet receives as lParamInit: the way to the device mode.
struct OEMUIPSPARAM {
  DWORD cbSize;
  void* poemuiobj;
  HANDLE hPrinter;
  WCHAR* pPrinterName;
  HANDLE hModule;
  HANDLE hOEMHeap;
  void* pPublicDM;
  void* pOEMDM;
  void* pOEMUserData;
  DWORD dwFlags;
  void* pOemEntry;
};

// The common property-sheet UI's callback (CPSFUNC_… functions).
using PFNCOMPROPSHEET = LONG_PTR(KIT_STDCALL*)(HANDLE hComPropSheet, UINT Function, LPARAM lParam1,
                                               LPARAM lParam2);

// What the sheet handlers receive from the common property-sheet UI.
struct PROPSHEETUI_INFO {
  WORD cbSize;
  WORD Version;
  WORD Flags;
  WORD Reason;
  HANDLE hComPropSheet;
  PFNCOMPROPSHEET pfnComPropSheet;
  LPARAM lParamInit;
  ULONG_PTR UserData;
  ULONG_PTR Result;
};

struct PROPSHEETUI_INFO_HEADER {
  WORD cbSize;
  WORD Flags;
  WCHAR* pTitle;
  HANDLE hWndParent;
  HANDLE hInst;
  ULONG_PTR IconID;  // or hIcon
};

struct SETRESULT_INFO {
  WORD cbSize;
  WORD wReserved;
  HANDLE hSetResult;
  LONG_PTR Result;
};

// Layouts of the Windows driver kit, for both pointer widths.
#define KIT_LAYOUT(type, member, off32, off64) \
  static_assert(offsetof(type, member) == (kIs64Bit ? (off64) : (off32)), #type "." #member)
#define KIT_SIZE(type, size32, size64) \
  static_assert(sizeof(type) == (kIs64Bit ? (size64) : (size32)), "size of " #type)

KIT_SIZE(OPTPARAM, 24, 48);
KIT_LAYOUT(OPTPARAM, pData, 4, 8);
KIT_LAYOUT(OPTPARAM, dwReserved, 16, 32);
KIT_SIZE(OPTTYPE, 32, 48);
KIT_LAYOUT(OPTTYPE, Count, 4, 4);
KIT_LAYOUT(OPTTYPE, pOptParam, 8, 8);
KIT_LAYOUT(OPTTYPE, Style, 12, 16);
KIT_LAYOUT(OPTTYPE, dwReserved, 20, 24);
KIT_SIZE(OPTITEM, 52, 88);
KIT_LAYOUT(OPTITEM, Level, 2, 2);
KIT_LAYOUT(OPTITEM, Flags, 4, 4);
KIT_LAYOUT(OPTITEM, UserData, 8, 8);
KIT_LAYOUT(OPTITEM, pName, 12, 16);
KIT_LAYOUT(OPTITEM, Sel, 16, 24);
KIT_LAYOUT(OPTITEM, pExtChkBox, 20, 32);
KIT_LAYOUT(OPTITEM, pOptType, 24, 40);
KIT_LAYOUT(OPTITEM, HelpIndex, 28, 48);
KIT_LAYOUT(OPTITEM, DMPubID, 32, 52);
KIT_LAYOUT(OPTITEM, UserItemID, 33, 53);
KIT_LAYOUT(OPTITEM, pOIExt, 36, 56);
KIT_LAYOUT(OPTITEM, dwReserved, 40, 64);
KIT_SIZE(OEMDMPARAM, 36, 72);
KIT_LAYOUT(OEMDMPARAM, pdriverobj, 4, 8);
KIT_LAYOUT(OEMDMPARAM, pOEMDMIn, 24, 48);
KIT_LAYOUT(OEMDMPARAM, pOEMDMOut, 28, 56);
KIT_LAYOUT(OEMDMPARAM, cbBufSize, 32, 64);
KIT_SIZE(OEMCUIPPARAM, 60, 120);
KIT_LAYOUT(OEMCUIPPARAM, pPrinterName, 12, 24);
KIT_LAYOUT(OEMCUIPPARAM, pOEMDM, 28, 56);
KIT_LAYOUT(OEMCUIPPARAM, dwFlags, 32, 64);
KIT_LAYOUT(OEMCUIPPARAM, pDrvOptItems, 36, 72);
KIT_LAYOUT(OEMCUIPPARAM, cDrvOptItems, 40, 80);
KIT_LAYOUT(OEMCUIPPARAM, pOEMOptItems, 44, 88);
KIT_LAYOUT(OEMCUIPPARAM, cOEMOptItems, 48, 96);
KIT_LAYOUT(OEMCUIPPARAM, pOEMUserData, 52, 104);
KIT_LAYOUT(OEMCUIPPARAM, OEMCUIPCallback, 56, 112);
KIT_SIZE(OEMUIPSPARAM, 44, 88);
KIT_LAYOUT(OEMUIPSPARAM, pOEMDM, 28, 56);
KIT_LAYOUT(OEMUIPSPARAM, dwFlags, 36, 72);
KIT_LAYOUT(OEMUIPSPARAM, pOemEntry, 40, 80);
KIT_SIZE(PROPSHEETUI_INFO, 28, 48);
KIT_LAYOUT(PROPSHEETUI_INFO, Version, 2, 2);
KIT_LAYOUT(PROPSHEETUI_INFO, Reason, 6, 6);
KIT_LAYOUT(PROPSHEETUI_INFO, hComPropSheet, 8, 8);
KIT_LAYOUT(PROPSHEETUI_INFO, pfnComPropSheet, 12, 16);
KIT_LAYOUT(PROPSHEETUI_INFO, lParamInit, 16, 24);
KIT_LAYOUT(PROPSHEETUI_INFO, Result, 24, 40);
KIT_SIZE(PROPSHEETUI_INFO_HEADER, 20, 40);
KIT_LAYOUT(PROPSHEETUI_INFO_HEADER, pTitle, 4, 8);
KIT_SIZE(SETRESULT_INFO, 12, 24);
KIT_LAYOUT(SETRESULT_INFO, Result, 8, 16);

#undef KIT_LAYOUT
#undef KIT_SIZE

}  // namespace kit::plugin::com
