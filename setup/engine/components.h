// The spooler components the driver needs beside itself: the kit's port
// monitors (serial and USB), its language monitor and its print processor.
// Each is registered once; a registered one whose recorded version is below
// the kit's is reported as outdated, for the update under a spooler restart.
// This file is OS-independent.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "setup/config/model_config.h"
#include "setup/engine/engine_context.h"

namespace kit::setup {

inline constexpr std::string_view kMonitorsKey = "SYSTEM\\CurrentControlSet\\Control\\Print\\Monitors\\";
inline constexpr std::string_view kEnvironmentsKey = "SYSTEM\\CurrentControlSet\\Control\\Print\\Environments\\";
inline constexpr std::string_view kPrintProcessorsSubkey = "\\Print Processors\\";
inline constexpr char16_t kDriverVersionValue[] = u"DriverVersion";
inline constexpr char16_t kDriverValue[] = u"Driver";
inline constexpr std::uint32_t kAfterProcessorMs = 200;

// Update flags: which installed component is outdated.
inline constexpr int kUpdateSerialMonitor = 1;
inline constexpr int kUpdateUsbMonitor = 2;
inline constexpr int kUpdateLanguageMonitor = 4;
inline constexpr int kUpdateProcessor = 8;
inline constexpr int kMonitorFailed = -15;
inline constexpr int kProcessorFailed = -14;

// The registry keys of a monitor and of a processor for this Windows.
std::string MonitorKey(std::string_view monitor_name);
std::string ProcessorEnvironment(const EngineContext& ctx);
std::string ProcessorKey(const EngineContext& ctx, std::string_view processor_name);

// Port monitors for the port kind fixed at Install start: the serial
// monitor for a serial port (not on Windows 9x), the USB port monitor for a
// USB port (not on NT 4.0). Returns the update flags, or kMonitorFailed.
int InstallPortMonitors(EngineContext& ctx, int port_kind, const MonitorSet& monitors);
// The print processor (nothing for the system's "WinPrint", in any case).
// 0, kUpdateProcessor or kProcessorFailed.
int InstallPrintProcessor(EngineContext& ctx, std::string_view processor_name, std::string_view processor_dll,
                          int version);
// The language monitor of a USB port (not on NT 4.0). 0,
// kUpdateLanguageMonitor or kMonitorFailed.
int InstallLanguageMonitor(EngineContext& ctx, int port_kind, const MonitorConfig& monitor);

// Copies a monitor DLL into the system folder, as "n" + name when the file
// is in use. *dll_in_use receives the name the spooler is to load. False
// with the text set; a side-by-side copy refused as well fails with
// IDS_ERR_NEEDRESTART.
bool CopyMonitorDll(EngineContext& ctx, std::string_view dll, std::string* dll_in_use);

// Writes "DriverVersion" (and "Driver" when `dll` is not empty) into a
// component's key, created when missing.
bool WriteComponentKey(EngineContext& ctx, const std::string& key, int version, std::string_view dll = {});

}  // namespace kit::setup
