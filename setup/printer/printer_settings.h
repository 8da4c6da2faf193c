// What the install sets on the new printer and its port: default printer,
// spool folder, and the serial settings of a serial port.
// This file is OS-independent.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "setup/engine/engine_context.h"

namespace kit::setup {

inline constexpr char16_t kPortsSection[] = u"Ports";
inline constexpr std::string_view kPrintersKey = "SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\Print\\Printers\\";
inline constexpr char16_t kSpoolDirectoryValue[] = u"SpoolDirectory";
inline constexpr std::string_view kSpoolSubfolder = "\\spool\\printers";
inline constexpr std::uint32_t kSpoolRestartPauseMs = 300;
inline constexpr std::string_view kSerialPortsKey = "SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\Ports";
// The install's failure when the port's settings cannot be written, before
// the port's name.
inline constexpr std::string_view kSerialSettingsErrorText = "Cannot save the serial settings of ";

// Makes the printer the default: the default attribute on Windows 9x,
// SetDefaultPrinter from Windows 2000 on; then announces the change. False
// when a step failed (the install goes on).
bool SetDefaultPrinter(EngineContext& ctx, std::string_view printer_name);

// Points the printer's spool folder at the system folder's
// "spool\printers" and restarts the spooler, starting it once more when it
// stopped. Failures are silent.
void SetPrinterSpoolFolder(EngineContext& ctx, std::string_view printer_name);

struct SerialSettings {
  int baud_rate = 9600;
  char parity = 'n';
  int data_bits = 8;
  double stop_bits = 1.0;
  char flow = ' ';
};
// "9600,n,8,1,p"; stop bits 1.5 keep their decimal ("1.5", never "1,5").
std::string FormatSerialSettings(const SerialSettings& settings);
// The value name of a port's settings: the port name from its "COM" on
// ("KVCOM2:" gives "COM2:"); empty when the name has no "COM".
std::string SerialValueName(std::string_view port_name);
// Stores the port's settings: under HKLM "…\Ports" from NT on; on Windows
// 9x in the profile's "Ports" section and, for COM1 and COM2, in the port's
// class entry too. Failures are silent.
// False, the install failed with kSerialSettingsErrorText and Windows'
// reason, when the NT registry value cannot be written.
bool WriteSerialSettings(EngineContext& ctx, std::string_view port_name, const SerialSettings& settings);

}  // namespace kit::setup
