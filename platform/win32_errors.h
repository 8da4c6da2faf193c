// Win32 error codes the kit relies on.
//
// Every platform call reports failure with the number Windows itself uses
// (GetLastError, LSTATUS, SetupAPI codes, CONFIGRET), so product code compares
// against the same values on both targets. Names follow the Windows headers
// with a k prefix. This file is OS-independent.
#pragma once

#include <cstdint>

namespace kit::win32 {

using Error = std::uint32_t;

// General.
inline constexpr Error kErrorSuccess = 0;
inline constexpr Error kErrorInvalidFunction = 1;
inline constexpr Error kErrorFileNotFound = 2;
inline constexpr Error kErrorPathNotFound = 3;
inline constexpr Error kErrorAccessDenied = 5;
inline constexpr Error kErrorInvalidHandle = 6;
inline constexpr Error kErrorNotEnoughMemory = 8;
inline constexpr Error kErrorInvalidData = 13;
inline constexpr Error kErrorOutOfMemory = 14;
inline constexpr Error kErrorNoMoreFiles = 18;
inline constexpr Error kErrorWriteFault = 29;
inline constexpr Error kErrorReadFault = 30;
inline constexpr Error kErrorSharingViolation = 32;
inline constexpr Error kErrorHandleDiskFull = 39;
inline constexpr Error kErrorNotSupported = 50;
inline constexpr Error kErrorFileExists = 80;
inline constexpr Error kErrorInvalidParameter = 87;
inline constexpr Error kErrorBrokenPipe = 109;
inline constexpr Error kErrorDiskFull = 112;
inline constexpr Error kErrorInsufficientBuffer = 122;
inline constexpr Error kErrorInvalidLevel = 124;
inline constexpr Error kErrorInvalidName = 123;
inline constexpr Error kErrorModNotFound = 126;
inline constexpr Error kErrorProcNotFound = 127;
inline constexpr Error kErrorDirNotEmpty = 145;
inline constexpr Error kErrorBadPathname = 161;
inline constexpr Error kErrorBadExeFormat = 193;
inline constexpr Error kErrorDirectory = 267;
inline constexpr Error kErrorAlreadyExists = 183;
inline constexpr Error kErrorFilenameExcedRange = 206;
inline constexpr Error kErrorMoreData = 234;
inline constexpr Error kErrorNoMoreItems = 259;
inline constexpr Error kErrorInvalidFlags = 1004;
inline constexpr Error kErrorCanNotComplete = 1003;
inline constexpr Error kErrorNotReady = 21;
inline constexpr Error kErrorGenFailure = 31;
inline constexpr Error kErrorBadCommand = 22;
inline constexpr Error kErrorKeyDeleted = 1018;
inline constexpr Error kErrorBadDevice = 1200;
inline constexpr Error kErrorNotConnected = 2250;
inline constexpr Error kErrorConnectionRefused = 1225;
inline constexpr Error kErrorTimeout = 1460;
inline constexpr Error kErrorPrivilegeNotHeld = 1314;
inline constexpr Error kErrorInvalidWindowHandle = 1400;
inline constexpr Error kErrorResourceDataNotFound = 1812;
inline constexpr Error kErrorResourceTypeNotFound = 1813;

// Services.
inline constexpr Error kErrorDependentServicesRunning = 1051;
inline constexpr Error kErrorInvalidServiceControl = 1052;
inline constexpr Error kErrorServiceRequestTimeout = 1053;
inline constexpr Error kErrorServiceAlreadyRunning = 1056;
inline constexpr Error kErrorServiceDisabled = 1058;
inline constexpr Error kErrorServiceDoesNotExist = 1060;
inline constexpr Error kErrorServiceCannotAcceptCtrl = 1061;
inline constexpr Error kErrorServiceNotActive = 1062;
inline constexpr Error kErrorServiceMarkedForDelete = 1072;

// Spooler.
inline constexpr Error kErrorPrinterDriverAlreadyInstalled = 1795;
inline constexpr Error kErrorUnknownPort = 1796;
inline constexpr Error kErrorUnknownPrinterDriver = 1797;
inline constexpr Error kErrorUnknownPrintProcessor = 1798;
inline constexpr Error kErrorInvalidPrinterName = 1801;
inline constexpr Error kErrorPrinterAlreadyExists = 1802;
inline constexpr Error kErrorInvalidPrinterCommand = 1803;
inline constexpr Error kErrorInvalidDatatype = 1804;
inline constexpr Error kErrorInvalidEnvironment = 1805;
inline constexpr Error kErrorInvalidFormName = 1902;
inline constexpr Error kErrorInvalidFormSize = 1903;
inline constexpr Error kErrorAlreadyWaiting = 1904;
inline constexpr Error kErrorPrinterDeleted = 1905;
inline constexpr Error kErrorInvalidPrinterState = 1906;
inline constexpr Error kErrorUnknownPrintMonitor = 3000;
inline constexpr Error kErrorPrinterDriverInUse = 3001;
inline constexpr Error kErrorSpoolFileNotFound = 3002;
inline constexpr Error kErrorSplNoStartdoc = 3003;
inline constexpr Error kErrorSplNoAddjob = 3004;
inline constexpr Error kErrorPrintProcessorAlreadyInstalled = 3005;
inline constexpr Error kErrorPrintMonitorAlreadyInstalled = 3006;
inline constexpr Error kErrorInvalidPrintMonitor = 3007;
inline constexpr Error kErrorPrintMonitorInUse = 3008;
inline constexpr Error kErrorPrinterHasJobsQueued = 3009;
// The spooler service is not running (an RPC failure on the client side).
inline constexpr Error kRpcServerUnavailable = 1722;

// SetupAPI (customer bit and facility 0x0F00 set: 0xE0000000 and up).
inline constexpr Error kErrorExpectedSectionName = 0xE0000000;
inline constexpr Error kErrorGeneralSyntax = 0xE0000003;
inline constexpr Error kErrorWrongInfStyle = 0xE0000100;
inline constexpr Error kErrorSectionNotFound = 0xE0000101;
inline constexpr Error kErrorLineNotFound = 0xE0000102;
inline constexpr Error kErrorNoAssociatedClass = 0xE0000200;
inline constexpr Error kErrorClassMismatch = 0xE0000201;
inline constexpr Error kErrorDuplicateFound = 0xE0000202;
inline constexpr Error kErrorNoDriverSelected = 0xE0000203;
inline constexpr Error kErrorInvalidDevinstName = 0xE0000205;
inline constexpr Error kErrorInvalidClass = 0xE0000206;
inline constexpr Error kErrorDevinstAlreadyExists = 0xE0000207;
inline constexpr Error kErrorDevinfoNotRegistered = 0xE0000208;
inline constexpr Error kErrorInvalidRegProperty = 0xE0000209;
inline constexpr Error kErrorNoInf = 0xE000020A;
inline constexpr Error kErrorNoSuchDevinst = 0xE000020B;
inline constexpr Error kErrorInvalidClassInstaller = 0xE000020D;
inline constexpr Error kErrorDiDoDefault = 0xE000020E;
inline constexpr Error kErrorNoDeviceSelected = 0xE0000211;
inline constexpr Error kErrorInWow64 = 0xE0000235;

// Configuration manager results (CONFIGRET).
using ConfigRet = std::uint32_t;
inline constexpr ConfigRet kCrSuccess = 0x00;
inline constexpr ConfigRet kCrInvalidPointer = 0x03;
inline constexpr ConfigRet kCrInvalidFlag = 0x04;
inline constexpr ConfigRet kCrInvalidDevnode = 0x05;
inline constexpr ConfigRet kCrNoSuchDevnode = 0x0D;
inline constexpr ConfigRet kCrFailure = 0x13;
inline constexpr ConfigRet kCrAccessDenied = 0x33;

// True for the SetupAPI range of codes (0xE0000000 to 0xE0001000).
constexpr bool IsSetupApiError(Error code) { return code >= 0xE0000000u && code <= 0xE0001000u; }

}  // namespace kit::win32
