// The work behind the plug-in object's methods, as plain functions of their
// arguments: the COM shell checks its object and forwards here. Each function
// returns an HRESULT and sets the thread's last error where the interface
// says so.
// This file is OS-independent.
#pragma once

#include "plugin/core/com/host_types.h"
#include "plugin/core/com/interfaces.h"
#include "plugin/core/com/sheet_context.h"

namespace kit::plugin::com {

// GetInfo modes.
inline constexpr DWORD OEMGI_GETSIGNATURE = 1;
inline constexpr DWORD OEMGI_GETINTERFACEVERSION = 2;
inline constexpr DWORD OEMGI_GETVERSION = 3;
inline constexpr DWORD OEMGI_GETPUBLISHERINFO = 4;

// The plug-in's signature, "VQ40" as a four-character code (most significant
// byte first); the private device mode carries the same value.
inline constexpr DWORD kPluginSignature = 0x56513430;
inline constexpr DWORD kPluginVersion = 1;

// DevMode modes.
inline constexpr DWORD OEMDM_SIZE = 1;
inline constexpr DWORD OEMDM_DEFAULT = 2;
inline constexpr DWORD OEMDM_CONVERT = 3;
inline constexpr DWORD OEMDM_VALIDATE = 4;

// CommonUIProp modes.
inline constexpr DWORD OEMCUIP_DOCPROP = 1;
inline constexpr DWORD OEMCUIP_PRNPROP = 2;

// QueryColorProfile: the one query answered, and the answer.
inline constexpr ULONG QCP_DEVICEPROFILE = 0;
inline constexpr ULONG QCP_PROFILEDISK = 2;
inline constexpr char16_t kColorProfileName[] = u"OEMPROFILE.icm";
inline constexpr ULONG kColorProfileBytes = 32;  // what the host is told to provide

HRESULT GetInfoCore(DWORD dwMode, void* pBuffer, DWORD cbSize, DWORD* pcbNeeded);

HRESULT DevModeCore(DWORD dwMode, OEMDMPARAM* pOemDMParam);

// Stores the parameter in both sheet contexts, then answers by mode.
HRESULT CommonUIPropCore(DWORD dwMode, OEMCUIPPARAM* pOemCUIPParam, DeviceSheetContext& device,
                         DocumentSheetContext& document);

HRESULT QueryColorProfileCore(ULONG ulQueryMode, void* pvProfileData, ULONG* pcbProfileData,
                              ULONG* pflProfileData);

// Takes one reference to the driver interface into `driver` unless one is
// already held.
HRESULT PublishDriverInterfaceCore(IUnknown* pIUnknown, IPrintOemDriverUI*& driver);

}  // namespace kit::plugin::com
