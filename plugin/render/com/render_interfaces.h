// The universal printer driver's rendering plug-in interfaces, declared from
// Microsoft's documentation of prcomoem.h and printoem.h, as plain records
// of function pointers in their slot order: IPrintOemUni (the plug-in's),
// IPrintOemDriverUni (the driver's, published to the plug-in), and the
// records its methods take (DEVOBJ, IPPARAMS, BITMAPINFOHEADER).
// This file is OS-independent.
#pragma once

#include <cstddef>

#include "plugin/core/com/host_types.h"
#include "plugin/core/com/interfaces.h"

namespace kit::plugin::render_com {

using com::BOOL;
using com::BYTE;
using com::DWORD;
using com::GUID;
using com::HANDLE;
using com::HRESULT;
using com::INT;
using com::IUnknown;
using com::LONG;
using com::OEMDMPARAM;
using com::ULONG;
using com::WCHAR;

// CLSID_OEMRENDER: the class every rendering plug-in serves.
inline constexpr GUID kClsidOemRender = {0x6D6ABF26, 0x9F38, 0x11D1, {0x88, 0x2A, 0x00, 0xC0, 0x4F, 0xB9, 0x61, 0xEC}};
inline constexpr GUID kIidIPrintOemUni = {0xD67EBBF0, 0x78BF, 0x11D1, {0x94, 0x80, 0x00, 0xA0, 0xC9, 0x06, 0x40, 0xB8}};
inline constexpr GUID kIidIPrintOemDriverUni = {0xD67EBBF1, 0x78BF, 0x11D1, {0x94, 0x80, 0x00, 0xA0, 0xC9, 0x06, 0x40, 0xB8}};

// GetInfo modes and answers.
inline constexpr DWORD kOemGetSignature = 1;         // OEMGI_GETSIGNATURE
inline constexpr DWORD kOemGetInterfaceVersion = 2;  // OEMGI_GETINTERFACEVERSION
inline constexpr DWORD kOemGetVersion = 3;           // OEMGI_GETVERSION
inline constexpr DWORD kPrinterOemIntfVersion = 0x00010000;  // PRINTER_OEMINTF_VERSION
inline constexpr DWORD kPluginVersion = 0x00010000;

struct DEVOBJ {
  DWORD dwSize;
  void* pdevOEM;  // the plug-in's PDEV, as EnablePDEV returned it
  HANDLE hEngine;
  HANDLE hPrinter;
  HANDLE hOEM;
  void* pPublicDM;  // DEVMODEW
  void* pOEMDM;     // the plug-in's private record
  void* pDrvProcs;
};

// The graphics DDI's hook tables (winddi.h). A rendering plug-in hooks a
// function of the driver in EnableDriver and reaches the driver's own one
// through the table EnablePDEV hands it; in a hooked call the surface's
// dhpdev is the plug-in's DEVOBJ.
using PFN = void (*)();
struct DRVFN {
  ULONG iFunc;
  PFN pfn;
};
struct DRVENABLEDATA {
  ULONG iDriverVersion;
  ULONG c;
  DRVFN* pdrvfn;
};
inline constexpr ULONG kIndexDrvStartDoc = 35;  // INDEX_DrvStartDoc
// The function a driver function table holds for the index, or null.
inline PFN FindDriverFunction(const DRVENABLEDATA* table, ULONG index) {
  if (table == nullptr || table->pdrvfn == nullptr) return nullptr;
  for (ULONG i = 0; i < table->c; ++i) {
    if (table->pdrvfn[i].iFunc == index) return table->pdrvfn[i].pfn;
  }
  return nullptr;
}
// The leading members of SURFOBJ, the only ones the plug-in reads.
struct SURFOBJ {
  void* dhsurf;
  HANDLE hsurf;
  void* dhpdev;
};
// DrvStartDoc: the document's name and the spooler's job id (null and 0
// when the call comes from ResetDC).
using DrvStartDocFunction = BOOL(KIT_STDCALL*)(SURFOBJ* pso, WCHAR* pwszDocName, DWORD dwJobId);

// The font methods' records (printoem.h). OutputCharStr hands the glyphs of
// a device font's string with the font's UNIFONTOBJ; the plug-in asks the
// driver, through the object's GetInfo, for their Unicode characters.
struct UNIFONTOBJ;
using UnifontGetInfo = BOOL(KIT_STDCALL*)(UNIFONTOBJ* font, DWORD info_id, void* data, DWORD data_size, DWORD* needed);
struct UNIFONTOBJ {
  ULONG ulFontID;   // the font's resource id, as the GPD's *DeviceFonts lists it
  DWORD dwFlags;
  void* pIFIMetrics;
  UnifontGetInfo pfnGetInfo;
};
struct GETINFO_GLYPHSTRING {
  DWORD dwSize;
  DWORD dwCount;
  DWORD dwTypeIn;
  void* pGlyphIn;
  DWORD dwTypeOut;
  void* pGlyphOut;
  DWORD dwGlyphOutSize;
};
// A command Unidrv would send itself, handed to SendFontCmd.
struct FINVOCATION {
  DWORD dwCount;
  BYTE* pubCommand;
};
inline constexpr DWORD kUfoGetInfoGlyphString = 2;  // UFO_GETINFO_GLYPHSTRING
inline constexpr DWORD kTypeUnicode = 1;            // TYPE_UNICODE
inline constexpr DWORD kTypeGlyphHandle = 3;        // TYPE_GLYPHHANDLE
inline constexpr DWORD kTypeGlyphId = 4;            // TYPE_GLYPHID
// DEVINFO's cFonts (winddi.h): after flGraphicsCaps and three LOGFONTW of
// 92 bytes. The number of device fonts GDI may use; 0 leaves every text to GDI.
inline constexpr std::size_t kDevInfoFontCountOffset = 4 + 3 * 92;

struct POINT {
  LONG x, y;
};

struct IPPARAMS {
  DWORD dwSize;
  POINT ptOffset;
  char* pHalftoneOption;
  BOOL bBanding;
  BOOL bBlankBand;
};

struct BITMAPINFOHEADER {
  DWORD biSize;
  LONG biWidth;
  LONG biHeight;  // positive: bottom-up rows
  com::WORD biPlanes;
  com::WORD biBitCount;
  DWORD biCompression;
  DWORD biSizeImage;
  LONG biXPelsPerMeter;
  LONG biYPelsPerMeter;
  DWORD biClrUsed;
  DWORD biClrImportant;
};
static_assert(sizeof(BITMAPINFOHEADER) == 40);

struct IPrintOemDriverUni;
struct IPrintOemDriverUniVtbl {
  HRESULT(KIT_STDCALL* QueryInterface)(IUnknown* self, const GUID* riid, void** ppv);
  ULONG(KIT_STDCALL* AddRef)(IUnknown* self);
  ULONG(KIT_STDCALL* Release)(IUnknown* self);
  HRESULT(KIT_STDCALL* DrvGetDriverSetting)(IPrintOemDriverUni* self, void* pdriverobj, const char* Feature,
                                            void* pOutput, DWORD cbSize, DWORD* pcbNeeded, DWORD* pdwOptionsReturned);
  HRESULT(KIT_STDCALL* DrvWriteSpoolBuf)(IPrintOemDriverUni* self, DEVOBJ* pdevobj, void* pBuffer, DWORD cbSize,
                                         DWORD* pdwResult);
  void* DrvXMoveTo;
  void* DrvYMoveTo;
  void* DrvGetStandardVariable;
  void* DrvGetGPDData;
  void* DrvUniTextOut;
  void* DrvWriteAbortBuf;
};
struct IPrintOemDriverUni {
  const IPrintOemDriverUniVtbl* lpVtbl;
};

struct IPrintOemUni;
struct IPrintOemUniVtbl {
  HRESULT(KIT_STDCALL* QueryInterface)(IUnknown* self, const GUID* riid, void** ppv);
  ULONG(KIT_STDCALL* AddRef)(IUnknown* self);
  ULONG(KIT_STDCALL* Release)(IUnknown* self);
  HRESULT(KIT_STDCALL* GetInfo)(IPrintOemUni* self, DWORD dwMode, void* pBuffer, DWORD cbSize, DWORD* pcbNeeded);
  HRESULT(KIT_STDCALL* DevMode)(IPrintOemUni* self, DWORD dwMode, OEMDMPARAM* pOemDMParam);
  HRESULT(KIT_STDCALL* EnableDriver)(IPrintOemUni* self, DWORD DriverVersion, DWORD cbSize, DRVENABLEDATA* pded);
  HRESULT(KIT_STDCALL* DisableDriver)(IPrintOemUni* self);
  HRESULT(KIT_STDCALL* EnablePDEV)(IPrintOemUni* self, DEVOBJ* pdevobj, WCHAR* pPrinterName, ULONG cPatterns,
                                   void* phsurfPatterns, ULONG cjGdiInfo, void* pGdiInfo, ULONG cjDevInfo,
                                   void* pDevInfo, DRVENABLEDATA* pded, void** pDevOem);
  HRESULT(KIT_STDCALL* DisablePDEV)(IPrintOemUni* self, DEVOBJ* pdevobj);
  HRESULT(KIT_STDCALL* ResetPDEV)(IPrintOemUni* self, DEVOBJ* pdevobjOld, DEVOBJ* pdevobjNew);
  HRESULT(KIT_STDCALL* PublishDriverInterface)(IPrintOemUni* self, IUnknown* pIUnknown);
  HRESULT(KIT_STDCALL* GetImplementedMethod)(IPrintOemUni* self, char* pMethodName);
  HRESULT(KIT_STDCALL* DriverDMS)(IPrintOemUni* self, void* pDevObj, void* pBuffer, DWORD cbSize, DWORD* pcbNeeded);
  HRESULT(KIT_STDCALL* CommandCallback)(IPrintOemUni* self, DEVOBJ* pdevobj, DWORD dwCallbackID, DWORD dwCount,
                                        DWORD* pdwParams, INT* piResult);
  HRESULT(KIT_STDCALL* ImageProcessing)(IPrintOemUni* self, DEVOBJ* pdevobj, BYTE* pSrcBitmap,
                                        BITMAPINFOHEADER* pBitmapInfoHeader, BYTE* pColorTable, DWORD dwCallbackID,
                                        IPPARAMS* pIPParams, BYTE** ppbResult);
  HRESULT(KIT_STDCALL* FilterGraphics)(IPrintOemUni* self, DEVOBJ* pdevobj, BYTE* pBuf, DWORD dwLen);
  HRESULT(KIT_STDCALL* Compression)(IPrintOemUni* self, DEVOBJ* pdevobj, BYTE* pInBuf, BYTE* pOutBuf, DWORD dwInLen,
                                    DWORD dwOutLen, INT* piResult);
  HRESULT(KIT_STDCALL* HalftonePattern)(IPrintOemUni* self, DEVOBJ* pdevobj, BYTE* pHTPattern, DWORD dwHTPatternX,
                                        DWORD dwHTPatternY, DWORD dwHTNumPatterns, DWORD dwCallbackID,
                                        BYTE* pResource, DWORD dwResourceSize);
  HRESULT(KIT_STDCALL* MemoryUsage)(IPrintOemUni* self, DEVOBJ* pdevobj, void* pMemoryUsage);
  HRESULT(KIT_STDCALL* TTYGetInfo)(IPrintOemUni* self, DEVOBJ* pdevobj, DWORD dwInfoIndex, void* pOutputBuf,
                                   DWORD dwSize, DWORD* pcbcNeeded);
  HRESULT(KIT_STDCALL* DownloadFontHeader)(IPrintOemUni* self, DEVOBJ* pdevobj, void* pUFObj, DWORD* pdwResult);
  HRESULT(KIT_STDCALL* DownloadCharGlyph)(IPrintOemUni* self, DEVOBJ* pdevobj, void* pUFObj, ULONG hGlyph,
                                          DWORD* pdwWidth, DWORD* pdwResult);
  HRESULT(KIT_STDCALL* TTDownloadMethod)(IPrintOemUni* self, DEVOBJ* pdevobj, void* pUFObj, DWORD* pdwResult);
  HRESULT(KIT_STDCALL* OutputCharStr)(IPrintOemUni* self, DEVOBJ* pdevobj, void* pUFObj, DWORD dwType,
                                      DWORD dwCount, void* pGlyph);
  HRESULT(KIT_STDCALL* SendFontCmd)(IPrintOemUni* self, DEVOBJ* pdevobj, void* pUFObj, void* pFInv);
  HRESULT(KIT_STDCALL* TextOutAsBitmap)(IPrintOemUni* self, void* pso, void* pstro, void* pfo, void* pco,
                                        void* prclExtra, void* prclOpaque, void* pboFore, void* pboOpaque,
                                        void* pptlOrg, ULONG mix);
};
struct IPrintOemUni {
  const IPrintOemUniVtbl* lpVtbl;
};

#define KIT_SLOT(table, member, slot) static_assert(offsetof(table, member) == (slot) * sizeof(void*), #member)
KIT_SLOT(IPrintOemUniVtbl, GetInfo, 3);
KIT_SLOT(IPrintOemUniVtbl, EnablePDEV, 7);
KIT_SLOT(IPrintOemUniVtbl, PublishDriverInterface, 10);
KIT_SLOT(IPrintOemUniVtbl, CommandCallback, 13);
KIT_SLOT(IPrintOemUniVtbl, ImageProcessing, 14);
KIT_SLOT(IPrintOemUniVtbl, TextOutAsBitmap, 25);
static_assert(sizeof(IPrintOemUniVtbl) == 26 * sizeof(void*));
KIT_SLOT(IPrintOemDriverUniVtbl, DrvWriteSpoolBuf, 4);
static_assert(sizeof(IPrintOemDriverUniVtbl) == 11 * sizeof(void*));
#undef KIT_SLOT

}  // namespace kit::plugin::render_com
