#include "platform/sim/flush.h"

#include <cstdlib>
#include <cstring>

namespace kit::sim {

bool FlushWrites() {
  static const bool flush = [] {
    const char* value = std::getenv(kFlushVariable);
    return value == nullptr || std::strcmp(value, "0") != 0;
  }();
  return flush;
}

}  // namespace kit::sim
