#include "plugin/core/com/oem_ui_core.h"

#include <cstring>

#include "plugin/core/com/last_error.h"

namespace kit::plugin::com {

HRESULT GetInfoCore(DWORD dwMode, void* pBuffer, DWORD cbSize, DWORD* pcbNeeded) {
  if (pcbNeeded == nullptr ||
      (dwMode != OEMGI_GETSIGNATURE && dwMode != OEMGI_GETVERSION && dwMode != OEMGI_GETPUBLISHERINFO)) {
    SetThreadLastError(kErrorInvalidParameter);
    return kEFail;
  }
  // The size is reported before a short buffer is refused, so the host can retry.
  *pcbNeeded = sizeof(DWORD);
  if (cbSize < sizeof(DWORD) || pBuffer == nullptr) {
    SetThreadLastError(kErrorInsufficientBuffer);
    return kEFail;
  }
  DWORD value = 0;
  switch (dwMode) {
    case OEMGI_GETSIGNATURE:
      value = kPluginSignature;
      break;
    case OEMGI_GETVERSION:
      value = kPluginVersion;
      break;
    default:  // OEMGI_GETPUBLISHERINFO: the plug-in publishes nothing
      *pcbNeeded = 0;
      SetThreadLastError(kErrorNotSupported);
      return kEFail;
  }
  std::memcpy(pBuffer, &value, sizeof value);  // the host's buffer need not be aligned
  return kSOk;
}

HRESULT CommonUIPropCore(DWORD dwMode, OEMCUIPPARAM* pOemCUIPParam, DeviceSheetContext& device,
                         DocumentSheetContext& document) {
  if (pOemCUIPParam == nullptr) {
    // Nothing to keep for the pages, and nothing to answer through.
    SetThreadLastError(kErrorInvalidParameter);
    return kEFail;
  }
  device.pOemCUIPParam = pOemCUIPParam;
  document.pOemCUIPParam = pOemCUIPParam;
  switch (dwMode) {
    case OEMCUIP_DOCPROP:
      return kSOk;
    case OEMCUIP_PRNPROP:
      // The plug-in adds no option items of its own.
      if (pOemCUIPParam->pOEMOptItems == nullptr) pOemCUIPParam->cOEMOptItems = 0;
      return kSOk;
    default:
      SetThreadLastError(kErrorInvalidParameter);
      return kEFail;
  }
}

HRESULT QueryColorProfileCore(ULONG ulQueryMode, void* pvProfileData, ULONG* pcbProfileData,
                              ULONG* pflProfileData) {
  if (ulQueryMode != QCP_DEVICEPROFILE) return kEFail;
  if (pcbProfileData == nullptr) {
    SetThreadLastError(kErrorInvalidParameter);
    return kEFail;
  }
  if (pvProfileData == nullptr || *pcbProfileData < kColorProfileBytes) {
    *pcbProfileData = kColorProfileBytes;
    SetThreadLastError(kErrorInsufficientBuffer);
    return kEFail;
  }
  if (pflProfileData == nullptr) {
    SetThreadLastError(kErrorInvalidParameter);
    return kEFail;
  }
  static_assert(sizeof kColorProfileName <= kColorProfileBytes);
  std::memcpy(pvProfileData, kColorProfileName, sizeof kColorProfileName);  // with its terminator
  *pcbProfileData = kColorProfileBytes;
  *pflProfileData = QCP_PROFILEDISK;
  return kSOk;
}

HRESULT PublishDriverInterfaceCore(IUnknown* pIUnknown, IPrintOemDriverUI*& driver) {
  if (driver != nullptr) return kSOk;  // the first interface stays
  if (pIUnknown == nullptr) {
    SetThreadLastError(kErrorInvalidParameter);
    return kEFail;
  }
  void* asked = nullptr;
  const HRESULT hr = pIUnknown->lpVtbl->QueryInterface(pIUnknown, &kIidIPrintOemDriverUi, &asked);
  if (!Succeeded(hr) || asked == nullptr) {
    driver = nullptr;
    return kEFail;
  }
  driver = static_cast<IPrintOemDriverUI*>(asked);
  return kSOk;
}

}  // namespace kit::plugin::com
