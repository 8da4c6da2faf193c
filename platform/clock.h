// Clock: Sleep, tick count and local time (kernel32).
//
// The kit has many fixed pauses (spooler restarts, polling for a window);
// they all go through here so that the virtual machine can make them cost
// nothing and tests can check what a step would have waited.
// This file is OS-independent.
#pragma once

#include <cstdint>

#include "platform/types.h"

namespace kit {

class Clock {
 public:
  virtual ~Clock() = default;
  // Sleep(milliseconds).
  virtual void Sleep(std::uint32_t milliseconds) = 0;
  // GetTickCount64(): milliseconds since the system started.
  virtual std::uint64_t GetTickCount64() = 0;
  // GetLocalTime().
  virtual SystemTime GetLocalTime() = 0;
};

}  // namespace kit
