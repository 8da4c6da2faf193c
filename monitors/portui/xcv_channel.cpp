// This file is OS-independent.
#include "monitors/portui/xcv_channel.h"

#include "monitors/core/xcv_data.h"
#include "platform/win32_errors.h"

namespace kit::monitors {

WString XcvMonitorObject(WStringView server, WStringView monitor) {
  WString object;
  if (!server.empty()) {
    std::size_t slashes = 0;
    while (slashes < server.size() && server[slashes] == u'\\') ++slashes;
    object = u"\\\\" + WString(server.substr(slashes)) + u"\\";
  }
  return object + u",XcvMonitor " + WString(monitor);
}

std::uint32_t GetPortSettings(XcvChannel& channel, WStringView port, SerialSettings* settings) {
  Bytes output;
  const std::uint32_t status = channel.Call(kXcvGetPortSettings, XcvTexts({port}), &output);
  if (status != win32::kErrorSuccess) return status;
  const auto texts = XcvInputTexts(output.data(), static_cast<std::uint32_t>(output.size()));
  if (!texts || texts->empty()) return win32::kErrorInvalidData;
  const auto parsed = ParseSerialSettings((*texts)[0]);
  if (!parsed) return win32::kErrorInvalidData;
  *settings = *parsed;
  return win32::kErrorSuccess;
}

std::uint32_t SetPortSettings(XcvChannel& channel, WStringView port, const SerialSettings& settings) {
  Bytes output;
  return channel.Call(kXcvSetPortSettings, XcvTexts({port, FormatSerialSettings(settings)}), &output);
}

std::uint32_t PortIsValid(XcvChannel& channel, WStringView port) {
  Bytes output;
  return channel.Call(kXcvPortIsValid, XcvTexts({port}), &output);
}

}  // namespace kit::monitors
