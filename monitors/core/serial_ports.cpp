// This file is OS-independent.
#include "monitors/core/serial_ports.h"

#include <string>

#include "platform/win32_errors.h"

namespace kit::monitors {
namespace {

WString Number(int n) {
  const std::string digits = std::to_string(n);
  return WString(digits.begin(), digits.end());
}

}  // namespace

std::vector<WString> SerialPortNames() {
  std::vector<WString> names;
  for (int n = 1; n <= kSerialPortCount; ++n) names.push_back(kSerialPortPrefix + Number(n) + u":");
  return names;
}

std::optional<int> SerialPortNumber(WStringView port_name) {
  for (int n = 1; n <= kSerialPortCount; ++n) {
    if (EqualsNoCase(port_name, kSerialPortPrefix + Number(n) + u":")) return n;
  }
  return std::nullopt;
}

WString SettingsValueName(int number) { return u"COM" + Number(number) + u":"; }

WString SerialDeviceName(int number) { return u"\\\\.\\COM" + Number(number); }

StoredSettings ReadPortSettings(Registry& registry, int number) {
  RegistryKeyPtr key;
  if (registry.RegOpenKeyEx(RootKey::kLocalMachine, kPortsKey, kKeyQueryValue, &key) != win32::kErrorSuccess) {
    return {0, kDefaultSerialSettings};
  }
  WString text;
  const std::uint32_t status = key->GetString(SettingsValueName(number), &text);
  if (status == win32::kErrorFileNotFound) return {0, kDefaultSerialSettings};
  if (status != win32::kErrorSuccess) return {status, kDefaultSerialSettings};
  const auto settings = ParseSerialSettings(text);
  if (!settings) return {win32::kErrorInvalidData, kDefaultSerialSettings};
  return {0, *settings};
}

std::uint32_t WritePortSettings(Registry& registry, int number, const SerialSettings& settings) {
  RegistryKeyPtr key;
  const std::uint32_t status = registry.RegCreateKeyEx(RootKey::kLocalMachine, kPortsKey, kKeySetValue, &key);
  if (status != win32::kErrorSuccess) return status;
  return key->SetString(SettingsValueName(number), FormatSerialSettings(settings));
}

}  // namespace kit::monitors
