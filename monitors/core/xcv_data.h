// The XcvData commands of the kit's serial port monitor: what its port
// dialog and the install ask through XcvData on ",XcvMonitor KVR Serial
// Port" or ",XcvPort KVCOMn:", as Windows' own monitors answer theirs.
// Texts cross as UTF-16LE with a terminating NUL.
//
//   "MonitorUI"        out: the port dialog module's file name.
//   "PortIsValid"      in: a port name; success when the monitor has it,
//                      kErrorInvalidName otherwise.
//   "GetPortSettings"  in: a port name; out: its settings ("9600,n,8,1,p"),
//                      the defaults when none are stored.
//   "SetPortSettings"  in: a port name, NUL, the settings text; stored in
//                      the install's form. Needs the administer access the
//                      XcvOpenPort caller was granted (kErrorAccessDenied).
//
// Every answer is a Win32 code, as XcvDataPort returns it: an unknown
// command or unreadable input kErrorInvalidParameter, settings no port can
// take kErrorInvalidData, an output buffer too small
// kErrorInsufficientBuffer with *needed set first (the caller retries).
// This file is OS-independent.
#pragma once

#include <cstdint>
#include <optional>
#include <vector>

#include "platform/registry.h"
#include "platform/types.h"

namespace kit::monitors {

// SERVER_ACCESS_ADMINISTER, the access a change needs.
inline constexpr std::uint32_t kServerAccessAdminister = 0x00000001;
// The serial port dialog's module (setup.ini's COMMONitorPUIDLLName).
inline constexpr char16_t kSerialMonitorUi[] = u"KVRCOMUI.DLL";

inline constexpr char16_t kXcvMonitorUi[] = u"MonitorUI";
inline constexpr char16_t kXcvPortIsValid[] = u"PortIsValid";
inline constexpr char16_t kXcvGetPortSettings[] = u"GetPortSettings";
inline constexpr char16_t kXcvSetPortSettings[] = u"SetPortSettings";

struct XcvRequest {
  WStringView command;
  const std::uint8_t* input = nullptr;
  std::uint32_t input_size = 0;
  std::uint8_t* output = nullptr;
  std::uint32_t output_size = 0;
  std::uint32_t granted_access = 0;
};

// Answers one call; *needed is always set (0 when nothing is returned).
std::uint32_t SerialXcvData(Registry& registry, const XcvRequest& request, std::uint32_t* needed);

// The NUL-ended UTF-16LE strings of a call's input; nullopt when the
// buffer is empty, an odd size, or its last string has no NUL.
std::optional<std::vector<WString>> XcvInputTexts(const std::uint8_t* data, std::uint32_t size);
// Copies `bytes` out: *needed is their size, kErrorInsufficientBuffer when
// the output buffer is missing or short.
std::uint32_t XcvAnswer(const XcvRequest& request, const Bytes& bytes, std::uint32_t* needed);

// UTF-16LE bytes of `texts`, each ended by a NUL: the form of the calls'
// input and output.
Bytes XcvTexts(std::initializer_list<WStringView> texts);

}  // namespace kit::monitors
