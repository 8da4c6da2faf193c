// This file is OS-independent.
#include "monitors/core/xcv_data.h"

#include <vector>

#include "monitors/core/serial_ports.h"
#include "platform/win32_errors.h"

namespace kit::monitors {

std::optional<std::vector<WString>> XcvInputTexts(const std::uint8_t* data, std::uint32_t size) {
  if (data == nullptr || size == 0 || size % 2 != 0) return std::nullopt;
  std::vector<WString> texts;
  WString current;
  for (std::uint32_t i = 0; i < size; i += 2) {
    const auto c = static_cast<char16_t>(data[i] | (data[i + 1] << 8));
    if (c == 0) {
      texts.push_back(current);
      current.clear();
    } else {
      current.push_back(c);
    }
  }
  if (!current.empty()) return std::nullopt;
  return texts;
}

std::uint32_t XcvAnswer(const XcvRequest& request, const Bytes& bytes, std::uint32_t* needed) {
  *needed = static_cast<std::uint32_t>(bytes.size());
  if (request.output == nullptr || request.output_size < bytes.size()) return win32::kErrorInsufficientBuffer;
  std::copy(bytes.begin(), bytes.end(), request.output);
  return win32::kErrorSuccess;
}

Bytes XcvTexts(std::initializer_list<WStringView> texts) {
  // A REG_MULTI_SZ list without its closing NUL.
  Bytes bytes = EncodeMultiSz(std::vector<WString>(texts.begin(), texts.end()));
  bytes.resize(bytes.size() - 2);
  return bytes;
}

std::uint32_t SerialXcvData(Registry& registry, const XcvRequest& request, std::uint32_t* needed) {
  *needed = 0;
  if (request.command == kXcvMonitorUi) return XcvAnswer(request, XcvTexts({kSerialMonitorUi}), needed);

  const auto texts = XcvInputTexts(request.input, request.input_size);
  if (request.command == kXcvPortIsValid) {
    if (!texts || texts->empty()) return win32::kErrorInvalidParameter;
    return SerialPortNumber((*texts)[0]) ? win32::kErrorSuccess : win32::kErrorInvalidName;
  }
  if (request.command == kXcvGetPortSettings) {
    if (!texts || texts->empty()) return win32::kErrorInvalidParameter;
    const auto number = SerialPortNumber((*texts)[0]);
    if (!number) return win32::kErrorInvalidName;
    const StoredSettings stored = ReadPortSettings(registry, *number);
    if (stored.error != 0) return stored.error;
    return XcvAnswer(request, XcvTexts({FormatSerialSettings(stored.settings)}), needed);
  }
  if (request.command == kXcvSetPortSettings) {
    if ((request.granted_access & kServerAccessAdminister) == 0) return win32::kErrorAccessDenied;
    if (!texts || texts->size() < 2) return win32::kErrorInvalidParameter;
    const auto number = SerialPortNumber((*texts)[0]);
    if (!number) return win32::kErrorInvalidName;
    const auto settings = ParseSerialSettings((*texts)[1]);
    if (!settings) return win32::kErrorInvalidData;
    return WritePortSettings(registry, *number, *settings);
  }
  return win32::kErrorInvalidParameter;
}

}  // namespace kit::monitors
