// The port dialogs' side of XcvData: an open Xcv handle on a monitor behind
// a small interface (OpenPrinter(",XcvMonitor <name>") and XcvData on
// Windows; a monitor's own XcvData answers in tests), and the calls the
// dialogs make through it, in the monitors' form (UTF-16LE texts, each
// ended by a NUL; monitors/core/xcv_data.h).
// This file is OS-independent.
#pragma once

#include <cstdint>
#include <memory>

#include "monitors/core/serial_settings.h"
#include "platform/types.h"

namespace kit::monitors {

// ERROR_CANCELLED: what a port dialog closed without a change returns.
inline constexpr std::uint32_t kErrorCancelled = 1223;
// SERVER_ACCESS_ENUMERATE: the access a user without administer rights is
// granted on a monitor's Xcv handle, enough to read.
inline constexpr std::uint32_t kServerAccessEnumerate = 0x00000002;

class XcvChannel {
 public:
  virtual ~XcvChannel() = default;
  // One XcvData call: the monitor's status (or the call's own failure), and
  // on success its whole output in *output.
  virtual std::uint32_t Call(WStringView command, const Bytes& input, Bytes* output) = 0;
};

// The printer object naming a monitor's Xcv handle: ",XcvMonitor <monitor>"
// on this computer (server empty), "\\<server>\,XcvMonitor <monitor>" on
// another (the server named with or without its leading backslashes).
WString XcvMonitorObject(WStringView server, WStringView monitor);

// "GetPortSettings": the port's settings; kErrorInvalidData when the
// monitor answers a text no serial port takes.
std::uint32_t GetPortSettings(XcvChannel& channel, WStringView port, SerialSettings* settings);
// "SetPortSettings" with the settings in the install's form.
std::uint32_t SetPortSettings(XcvChannel& channel, WStringView port, const SerialSettings& settings);
// "PortIsValid".
std::uint32_t PortIsValid(XcvChannel& channel, WStringView port);

}  // namespace kit::monitors
