// The ports of the "KVR USB Port" monitor: the "USB_" ports the install
// records, each a DWORD value named by the port under HKLM
// "SOFTWARE\VELDRAN\PORTNAME" (the install writes it for every printer on
// such a port), and the printer each one writes to: the family printer
// whose USB id belongs to the port's index, reached through the maker's
// USB library KvUsbInt.dll (OpenDeviceX, GetDescriptor, uWrite,
// CloseDevice), loaded for each job so that the monitor starts and the job
// waits where the library is missing.
// This file is OS-independent.
#pragma once

#include <cstdint>
#include <memory>
#include <vector>

#include "monitors/core/port_job.h"
#include "monitors/core/xcv_data.h"
#include "platform/registry.h"
#include "platform/types.h"
#include "platform/usb_libraries.h"

namespace kit::monitors {

inline constexpr char16_t kUsbPortRecordKey[] = u"SOFTWARE\\VELDRAN\\PORTNAME";
inline constexpr char16_t kUsbPortPrefix[] = u"USB_";
// The highest port index: KvUsbInt.dll opens indices 0 to 7.
inline constexpr int kLastUsbPortIndex = 8;
// The USB port dialog's module (setup.ini's USBMONitorPUIDLLName).
inline constexpr char16_t kUsbMonitorUi[] = u"KVRUSBUI.DLL";
// uWrite's pipe for print data.
inline constexpr int kUsbDataPipe = 0;
// The functions of KvUsbInt.dll a job needs.
inline constexpr std::string_view kUsbJobFunctions[] = {"OpenDeviceX", "GetDescriptor", "uWrite", "CloseDevice"};

// The index of a USB port name: its trailing "_n", 1 to 8, after the
// "USB_" prefix (any case); 0 for any other name.
int UsbPortIndex(WStringView port_name);

// The recorded "USB_" ports with an index, in the key's order; none when
// the key is not there.
std::vector<WString> UsbPortNames(Registry& registry);
// The recorded spelling of a port named in any case; empty for none.
WString FindUsbPort(Registry& registry, WStringView port_name);

// The printer of port index `port_index` through the library at
// `library_path`. Open fails with kErrorModNotFound when the library
// cannot be loaded, kErrorProcNotFound when it lacks a job's function, and
// kErrorNotReady when no printer with the port's id is connected. Reads
// are not offered by the library (kErrorNotSupported).
std::unique_ptr<PortDevice> MakeUsbPrinter(UsbLibraries& usb, WStringView library_path, int port_index);

// The text the port shows in the queue when its printer cannot be opened
// for `cause`; empty where Windows' own "offline" says it.
WString UsbPortProblem(std::uint32_t cause);

// The XcvData commands of the USB monitor: "MonitorUI" (the port dialog
// module) and "PortIsValid" (a recorded USB port), answered as the serial
// monitor answers them; the ports have no settings, so any other command is
// kErrorInvalidParameter.
std::uint32_t UsbXcvData(Registry& registry, const XcvRequest& request, std::uint32_t* needed);

}  // namespace kit::monitors
