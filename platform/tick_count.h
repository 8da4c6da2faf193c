// The 64-bit tick count built from the 32-bit one, for the Windows that
// lack GetTickCount64 (before Vista).
//
// The 32-bit count runs forward and wraps to 0 every 2^32 ms (49.7 days).
// The wide count is read after the last one seen was loaded, so a smaller
// 32-bit count than that one's low half can only be a wrap, however long ago
// the last read was (a gap of more than 24.8 days included). More than one
// wrap between two reads cannot be seen; the callers read far more often.
//
// This file is OS-independent.
#pragma once

#include <atomic>
#include <cstdint>

namespace kit {

// The wide count from the last one seen and the 32-bit count read after it.
constexpr std::uint64_t WidenTickCount(std::uint64_t seen, std::uint32_t now) {
  std::uint64_t high = seen >> 32;
  if (now < static_cast<std::uint32_t>(seen)) ++high;  // every step back is a wrap
  return (high << 32) | now;
}

// The wide count kept in `seen`, safe from any thread: `read` gives the
// 32-bit count and is called after `seen` was loaded, each try.
template <typename Read>
std::uint64_t WideTickCount(std::atomic<std::uint64_t>& seen, Read read) {
  std::uint64_t last = seen.load();
  for (;;) {
    const std::uint64_t next = WidenTickCount(last, read());
    if (seen.compare_exchange_weak(last, next)) return next;
  }
}

}  // namespace kit
