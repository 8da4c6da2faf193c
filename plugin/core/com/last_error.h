// The calling thread's last error, as the plug-in's COM methods report it.
//
// On Windows this is the thread's own last error (SetLastError), which the
// host reads with GetLastError. Elsewhere it is a per-thread value of the
// plug-in module.
#pragma once

#include <cstdint>

namespace kit::plugin::com {

void SetThreadLastError(std::uint32_t code);
std::uint32_t GetThreadLastError();

}  // namespace kit::plugin::com
