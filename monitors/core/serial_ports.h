// The ports of the "KVR Serial Port" monitor: KVCOM1: ... KVCOM8:, each
// writing to the system's serial port of the same number, with the settings
// stored for it under the system's Ports key (the value named by the port's
// "COMn:" part, where the install writes it and where Windows keeps its own
// COM ports' settings). This file is OS-independent.
#pragma once

#include <cstdint>
#include <optional>
#include <vector>

#include "monitors/core/serial_settings.h"
#include "platform/registry.h"
#include "platform/types.h"

namespace kit::monitors {

// The prefix of the monitor's port names (the install's default COMMONNAME)
// and how many ports it offers.
inline constexpr char16_t kSerialPortPrefix[] = u"KVCOM";
inline constexpr int kSerialPortCount = 8;
// The key under HKEY_LOCAL_MACHINE holding the serial settings by "COMn:".
inline constexpr char16_t kPortsKey[] = u"SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\Ports";

// KVCOM1: ... KVCOM8:, in order.
std::vector<WString> SerialPortNames();
// The number of one of those names, any case, the colon required; nullopt
// for anything else.
std::optional<int> SerialPortNumber(WStringView port_name);
// "COM3:" for 3: the settings value's name.
WString SettingsValueName(int number);
// "\\.\COM3" for 3: the device the port writes to.
WString SerialDeviceName(int number);

// The stored settings of a port. A port without a stored value has the
// defaults; a value that is there but cannot be read is an error
// (kErrorInvalidData), so that a job never goes out with guessed settings.
struct StoredSettings {
  std::uint32_t error = 0;
  SerialSettings settings;
};
StoredSettings ReadPortSettings(Registry& registry, int number);
// Stores the settings in the install's form; the Win32 code of the failure.
std::uint32_t WritePortSettings(Registry& registry, int number, const SerialSettings& settings);

}  // namespace kit::monitors
