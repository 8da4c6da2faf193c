// The last error of a thread, kept by the module itself where there is no
// Windows thread block to hold it.
#include "plugin/core/com/last_error.h"

namespace kit::plugin::com {
namespace {
thread_local std::uint32_t t_last_error = 0;
}

void SetThreadLastError(std::uint32_t code) { t_last_error = code; }
std::uint32_t GetThreadLastError() { return t_last_error; }

}  // namespace kit::plugin::com
