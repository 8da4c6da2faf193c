// A stand-in for the Windows universal printer driver's UI module
// (UNIDRVUI.DLL) in the Wine prefix of the unattended-install test. Windows
// brings its own in the driver store, where the wizard takes it from; Wine
// has none, and its AddPrinter asks the driver's UI module for the new
// printer's default device mode. This module answers that one question
// with a plain A4 portrait device mode and shows no sheets.
#include <windows.h>

#include <cwchar>

namespace {

// The header the spooler hands the UI module with a device-mode request
// (DOCUMENTPROPERTYHEADER of the printer-driver kit).
struct DocumentPropertyHeader {
  WORD cbSize;
  WORD Reserved;
  HANDLE hPrinter;
  LPCWSTR pszPrinterName;
  DEVMODEW* pdmIn;
  DEVMODEW* pdmOut;
  DWORD cbOut;
  DWORD fMode;
};

constexpr LONG kFailed = -1;

}  // namespace

extern "C" __declspec(dllexport) LONG WINAPI DrvDocumentPropertySheets(void* sheet_info, LPARAM parameter) {
  auto* header = reinterpret_cast<DocumentPropertyHeader*>(parameter);
  if (sheet_info != nullptr || header == nullptr) return kFailed;
  if (header->fMode == 0 || header->pdmOut == nullptr) return sizeof(DEVMODEW);
  if (header->cbOut < sizeof(DEVMODEW)) return kFailed;
  DEVMODEW mode{};
  if (header->pszPrinterName != nullptr) std::wcsncpy(mode.dmDeviceName, header->pszPrinterName, CCHDEVICENAME - 1);
  mode.dmSpecVersion = DM_SPECVERSION;
  mode.dmSize = sizeof(DEVMODEW);
  mode.dmFields = DM_ORIENTATION | DM_PAPERSIZE;
  mode.dmOrientation = DMORIENT_PORTRAIT;
  mode.dmPaperSize = DMPAPER_A4;
  if (header->pdmIn != nullptr && header->pdmIn->dmSize == sizeof(DEVMODEW)) mode = *header->pdmIn;
  *header->pdmOut = mode;
  return IDOK;
}

extern "C" __declspec(dllexport) DWORD WINAPI DrvDeviceCapabilities(HANDLE, const WCHAR*, WORD, void*,
                                                                    const DEVMODEW*) {
  return 0;
}
