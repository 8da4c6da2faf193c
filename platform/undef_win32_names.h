// Windows headers turn many API names into macros (CopyFile → CopyFileW, …).
// The platform interfaces use those names for their methods, so a file that
// includes <windows.h> and implements or calls the interfaces includes this
// header after it and then names the real functions with their W or A suffix.
#pragma once

#ifdef Active
#undef Active
#endif
#ifdef AddForm
#undef AddForm
#endif
#ifdef AddMonitor
#undef AddMonitor
#endif
#ifdef AddPrintProcessor
#undef AddPrintProcessor
#endif
#ifdef AddPrinter
#undef AddPrinter
#endif
#ifdef AddPrinterDriver
#undef AddPrinterDriver
#endif
#ifdef AddPrinterDriverEx
#undef AddPrinterDriverEx
#endif
#ifdef AnnounceWindow
#undef AnnounceWindow
#endif
#ifdef BorrowPrinter
#undef BorrowPrinter
#endif
#ifdef BroadcastSettingChange
#undef BroadcastSettingChange
#endif
#ifdef CM_Locate_DevNode
#undef CM_Locate_DevNode
#endif
#ifdef CM_Reenumerate_DevNode
#undef CM_Reenumerate_DevNode
#endif
#ifdef Clock
#undef Clock
#endif
#ifdef CloseDevice
#undef CloseDevice
#endif
#ifdef ClosePrinter
#undef ClosePrinter
#endif
#ifdef ControlService
#undef ControlService
#endif
#ifdef CopyFile
#undef CopyFile
#endif
#ifdef CreateDirectory
#undef CreateDirectory
#endif
#ifdef CreateKey
#undef CreateKey
#endif
#ifdef CreateMutex
#undef CreateMutex
#endif
#ifdef DeleteFile
#undef DeleteFile
#endif
#ifdef DeleteForm
#undef DeleteForm
#endif
#ifdef DeleteKey
#undef DeleteKey
#endif
#ifdef DeleteMonitor
#undef DeleteMonitor
#endif
#ifdef DeletePort
#undef DeletePort
#endif
#ifdef DeletePrintProcessor
#undef DeletePrintProcessor
#endif
#ifdef DeletePrinter
#undef DeletePrinter
#endif
#ifdef DeletePrinterDriver
#undef DeletePrinterDriver
#endif
#ifdef DeletePrinterDriverEx
#undef DeletePrinterDriverEx
#endif
#ifdef DeleteValue
#undef DeleteValue
#endif
#ifdef DeviceInfoSet
#undef DeviceInfoSet
#endif
#ifdef Devices
#undef Devices
#endif
#ifdef EndDocPrinter
#undef EndDocPrinter
#endif
#ifdef EndPagePrinter
#undef EndPagePrinter
#endif
#ifdef EnumForms
#undef EnumForms
#endif
#ifdef EnumKey
#undef EnumKey
#endif
#ifdef EnumMonitors
#undef EnumMonitors
#endif
#ifdef EnumPorts
#undef EnumPorts
#endif
#ifdef EnumPrintProcessors
#undef EnumPrintProcessors
#endif
#ifdef EnumPrinterDrivers
#undef EnumPrinterDrivers
#endif
#ifdef EnumPrinters
#undef EnumPrinters
#endif
#ifdef EnumUSBPrinter
#undef EnumUSBPrinter
#endif
#ifdef EnumValue
#undef EnumValue
#endif
#ifdef EqualsNoCase
#undef EqualsNoCase
#endif
#ifdef ExitWindowsEx
#undef ExitWindowsEx
#endif
#ifdef Files
#undef Files
#endif
#ifdef FindClose
#undef FindClose
#endif
#ifdef FindFirstFile
#undef FindFirstFile
#endif
#ifdef FindHandle
#undef FindHandle
#endif
#ifdef FindNextFile
#undef FindNextFile
#endif
#ifdef FindWindow
#undef FindWindow
#endif
#ifdef FindWindowEx
#undef FindWindowEx
#endif
#ifdef FormatMessage
#undef FormatMessage
#endif
#ifdef FromUtf8
#undef FromUtf8
#endif
#ifdef GetACP
#undef GetACP
#endif
#ifdef GetCommandLine
#undef GetCommandLine
#endif
#ifdef GetCurrentDirectory
#undef GetCurrentDirectory
#endif
#ifdef GetDefaultPrinter
#undef GetDefaultPrinter
#endif
#ifdef GetDescriptor
#undef GetDescriptor
#endif
#ifdef GetDword
#undef GetDword
#endif
#ifdef GetFileAttributes
#undef GetFileAttributes
#endif
#ifdef GetFileSize
#undef GetFileSize
#endif
#ifdef GetFileVersionInfo
#undef GetFileVersionInfo
#endif
#ifdef GetLastError
#undef GetLastError
#endif
#ifdef GetLocalTime
#undef GetLocalTime
#endif
#ifdef GetModuleFileName
#undef GetModuleFileName
#endif
#ifdef GetNativeSystemInfo
#undef GetNativeSystemInfo
#endif
#ifdef GetOEMCP
#undef GetOEMCP
#endif
#ifdef GetPrintProcessorDirectory
#undef GetPrintProcessorDirectory
#endif
#ifdef GetPrinter
#undef GetPrinter
#endif
#ifdef GetPrinterDriverDirectory
#undef GetPrinterDriverDirectory
#endif
#ifdef GetString
#undef GetString
#endif
#ifdef GetSystemDefaultLangID
#undef GetSystemDefaultLangID
#endif
#ifdef GetSystemDirectory
#undef GetSystemDirectory
#endif
#ifdef GetSystemInfo
#undef GetSystemInfo
#endif
#ifdef GetTempPath
#undef GetTempPath
#endif
#ifdef GetUserName
#undef GetUserName
#endif
#ifdef GetTickCount64
#undef GetTickCount64
#endif
#ifdef GetUserDefaultLangID
#undef GetUserDefaultLangID
#endif
#ifdef GetVersionEx
#undef GetVersionEx
#endif
#ifdef GetWindowsDirectory
#undef GetWindowsDirectory
#endif
#ifdef Handle
#undef Handle
#endif
#ifdef HasConfigManager
#undef HasConfigManager
#endif
#ifdef HasFsRedirectionFunctions
#undef HasFsRedirectionFunctions
#endif
#ifdef HasFunction
#undef HasFunction
#endif
#ifdef HasProc
#undef HasProc
#endif
#ifdef InfFile
#undef InfFile
#endif
#ifdef Is64BitProcess
#undef Is64BitProcess
#endif
#ifdef IsAdministrator
#undef IsAdministrator
#endif
#ifdef IsIconic
#undef IsIconic
#endif
#ifdef IsNull
#undef IsNull
#endif
#ifdef IsSetupApiError
#undef IsSetupApiError
#endif
#ifdef IsValidUsbHandle
#undef IsValidUsbHandle
#endif
#ifdef IsWindow
#undef IsWindow
#endif
#ifdef IsWow64Process
#undef IsWow64Process
#endif
#ifdef KvUsbInt
#undef KvUsbInt
#endif
#ifdef Library
#undef Library
#endif
#ifdef LoadKvUsbInt
#undef LoadKvUsbInt
#endif
#ifdef LoadLibrary
#undef LoadLibrary
#endif
#ifdef LoadUsbPrintDll
#undef LoadUsbPrintDll
#endif
#ifdef MoveFile
#undef MoveFile
#endif
#ifdef NamedMutex
#undef NamedMutex
#endif
#ifdef NativeHandle
#undef NativeHandle
#endif
#ifdef OpenDeviceX
#undef OpenDeviceX
#endif
#ifdef OpenKey
#undef OpenKey
#endif
#ifdef OpenPrinter
#undef OpenPrinter
#endif
#ifdef OpenSCManager
#undef OpenSCManager
#endif
#ifdef OpenService
#undef OpenService
#endif
#ifdef Printer
#undef Printer
#endif
#ifdef QueryServiceStatus
#undef QueryServiceStatus
#endif
#ifdef QueryString
#undef QueryString
#endif
#ifdef QueryValue
#undef QueryValue
#endif
#ifdef ReadFile
#undef ReadFile
#endif
#ifdef RegCreateKeyEx
#undef RegCreateKeyEx
#endif
#ifdef RegDeleteKey
#undef RegDeleteKey
#endif
#ifdef RegDeleteKeyEx
#undef RegDeleteKeyEx
#endif
#ifdef RegOpenKeyEx
#undef RegOpenKeyEx
#endif
#ifdef Registry
#undef Registry
#endif
#ifdef RegistryKey
#undef RegistryKey
#endif
#ifdef RemoveDirectory
#undef RemoveDirectory
#endif
#ifdef SHGetSpecialFolderPath
#undef SHGetSpecialFolderPath
#endif
#ifdef Service
#undef Service
#endif
#ifdef ServiceManager
#undef ServiceManager
#endif
#ifdef Services
#undef Services
#endif
#ifdef SetDefaultPrinter
#undef SetDefaultPrinter
#endif
#ifdef SetDword
#undef SetDword
#endif
#ifdef SetFileAttributes
#undef SetFileAttributes
#endif
#ifdef SetForegroundWindow
#undef SetForegroundWindow
#endif
#ifdef SetForm
#undef SetForm
#endif
#ifdef SetLastError
#undef SetLastError
#endif
#ifdef SetPrinter
#undef SetPrinter
#endif
#ifdef SetString
#undef SetString
#endif
#ifdef SetTitle
#undef SetTitle
#endif
#ifdef SetValue
#undef SetValue
#endif
#ifdef SetupCopyOEMInf
#undef SetupCopyOEMInf
#endif
#ifdef SetupDiCallClassInstaller
#undef SetupDiCallClassInstaller
#endif
#ifdef SetupDiClassGuidsFromName
#undef SetupDiClassGuidsFromName
#endif
#ifdef SetupDiCreateDeviceInfo
#undef SetupDiCreateDeviceInfo
#endif
#ifdef SetupDiCreateDeviceInfoList
#undef SetupDiCreateDeviceInfoList
#endif
#ifdef SetupDiEnumDeviceInfo
#undef SetupDiEnumDeviceInfo
#endif
#ifdef SetupDiGetClassDevs
#undef SetupDiGetClassDevs
#endif
#ifdef SetupDiGetDeviceRegistryProperty
#undef SetupDiGetDeviceRegistryProperty
#endif
#ifdef SetupDiGetINFClass
#undef SetupDiGetINFClass
#endif
#ifdef SetupDiSetDeviceRegistryProperty
#undef SetupDiSetDeviceRegistryProperty
#endif
#ifdef SetupFindFirstLine
#undef SetupFindFirstLine
#endif
#ifdef SetupFindNextLine
#undef SetupFindNextLine
#endif
#ifdef SetupGetFieldCount
#undef SetupGetFieldCount
#endif
#ifdef SetupGetStringField
#undef SetupGetStringField
#endif
#ifdef SetupIterateCabinet
#undef SetupIterateCabinet
#endif
#ifdef SetupOpenInfFile
#undef SetupOpenInfFile
#endif
#ifdef Shell
#undef Shell
#endif
#ifdef ShellExecute
#undef ShellExecute
#endif
#ifdef ShowWindow
#undef ShowWindow
#endif
#ifdef Sleep
#undef Sleep
#endif
#ifdef Spooler
#undef Spooler
#endif
#ifdef StartDocPrinter
#undef StartDocPrinter
#endif
#ifdef StartPagePrinter
#undef StartPagePrinter
#endif
#ifdef StartService
#undef StartService
#endif
#ifdef SystemFacts
#undef SystemFacts
#endif
#ifdef ToString
#undef ToString
#endif
#ifdef ToUpperAscii
#undef ToUpperAscii
#endif
#ifdef TopLevelWindow
#undef TopLevelWindow
#endif
#ifdef UpdateDriverForPlugAndPlayDevices
#undef UpdateDriverForPlugAndPlayDevices
#endif
#ifdef UsbLibraries
#undef UsbLibraries
#endif
#ifdef UsbPrintDll
#undef UsbPrintDll
#endif
#ifdef WaitWhileWindowExists
#undef WaitWhileWindowExists
#endif
#ifdef Wow64DisableWow64FsRedirection
#undef Wow64DisableWow64FsRedirection
#endif
#ifdef Wow64RevertWow64FsRedirection
#undef Wow64RevertWow64FsRedirection
#endif
#ifdef WriteFile
#undef WriteFile
#endif
#ifdef WritePrinter
#undef WritePrinter
#endif
#ifdef WriteProfileString
#undef WriteProfileString
#endif
#ifdef XcvData
#undef XcvData
#endif
#ifdef EnumFontFamilies
#undef EnumFontFamilies
#endif
