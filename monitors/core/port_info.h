// EnumPorts' answer: PORT_INFO_1 or PORT_INFO_2 records in the caller's
// buffer, the strings they point to packed from the buffer's end, as the
// spooler's own monitors fill it. Records use the process's own pointer
// size (the spooler and the monitor are one process). Two passes: a short
// or missing buffer gives kErrorInsufficientBuffer with *needed set first.
// This file is OS-independent.
#pragma once

#include <cstdint>
#include <vector>

#include "platform/types.h"

namespace kit::monitors {

// PORT_TYPE_WRITE | PORT_TYPE_READ: ports that take jobs and answer.
inline constexpr std::uint32_t kPortTypeWriteRead = 0x0001 | 0x0002;

// Sizes of PORT_INFO_1W and PORT_INFO_2W in this process.
inline constexpr std::uint32_t kPortInfo1Size = sizeof(void*);
inline constexpr std::uint32_t kPortInfo2Size =
    static_cast<std::uint32_t>((3 * sizeof(void*) + 2 * sizeof(std::uint32_t) + sizeof(void*) - 1) /
                               sizeof(void*) * sizeof(void*));

struct PortInfoRequest {
  std::uint32_t level = 1;
  const std::vector<WString>* names = nullptr;
  WStringView monitor_name;
  WStringView description;
  std::uint8_t* buffer = nullptr;
  std::uint32_t size = 0;
};

// Win32 code: kErrorInvalidLevel for a level other than 1 or 2.
std::uint32_t PackPortInfo(const PortInfoRequest& request, std::uint32_t* needed, std::uint32_t* returned);

}  // namespace kit::monitors
