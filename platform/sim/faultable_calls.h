// The calls of the virtual machine that an injected fault can fail
// (`vmachine fault DIR call NAME CODE`), by the name the machine consults.
// The tool refuses any other name, and the machine stops at once when a
// call consults a name missing here, so the list cannot drift from the
// calls.
#pragma once

#include <algorithm>
#include <iterator>
#include <string_view>

namespace kit::sim {

inline constexpr std::string_view kFaultableCalls[] = {
    // Files.
    "CopyFile", "CreateDirectory", "CreateFile", "DeleteFile", "GetFileSize", "MoveFile", "MoveFileReplace",
    "ReadFile", "SetFileAttributes", "SetFilePointer", "WriteFile",
    // Registry.
    "RegCreateKeyEx", "RegDeleteKey", "RegDeleteValue", "RegEnumKeyEx", "RegEnumValue", "RegOpenKeyEx",
    "RegQueryValueEx", "RegSetValueEx",
    // Print spooler.
    "AddForm", "AddMonitor", "AddPrintProcessor", "AddPrinter", "AddPrinterDriverEx", "DeleteForm", "DeleteMonitor",
    "DeletePort", "DeletePrintProcessor", "DeletePrinter", "DeletePrinterDriver", "DeletePrinterDriverEx",
    "EndDocPrinter", "EndPagePrinter", "EnumForms", "EnumMonitors", "EnumPorts", "EnumPrintProcessors",
    "EnumPrinterDrivers", "EnumPrinters", "GetDefaultPrinter", "GetPrintProcessorDirectory", "GetPrinter",
    "GetPrinterDriverDirectory", "OpenPrinter", "SetDefaultPrinter", "SetForm", "SetPrinter", "StartDocPrinter",
    "StartPagePrinter", "WritePrinter", "XcvData",
    // Services.
    "ControlService", "OpenSCManager", "OpenService", "QueryServiceStatus", "StartService",
    // Devices and driver packages.
    "CM_Reenumerate_DevNode", "SetupCopyOEMInf", "SetupDiCallClassInstaller(DIF_REGISTERDEVICE)",
    "SetupDiCallClassInstaller(DIF_REMOVE)", "SetupDiCreateDeviceInfo", "SetupDiGetClassDevs",
    "SetupDiGetDeviceRegistryProperty", "SetupDiSetDeviceRegistryProperty", "UpdateDriverForPlugAndPlayDevices",
    // Shell, processes and the system.
    "CreateMutex", "ExitWindowsEx", "IsWow64Process", "ShellExecute",
    // The outside USB libraries.
    "EnumUSBPrinter", "GetDescriptor", "OpenDeviceX", "uWrite",
};

// Whether `name` is a call the machine can fail (names compare exactly, as
// the machine consults them).
inline bool IsFaultableCall(std::string_view name) {
  return std::find(std::begin(kFaultableCalls), std::end(kFaultableCalls), name) != std::end(kFaultableCalls);
}

}  // namespace kit::sim
