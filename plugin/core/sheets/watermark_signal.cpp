// This file is OS-independent.
#include "plugin/core/sheets/watermark_signal.h"

namespace kit::plugin::sheets {
namespace {
// The host drives one sheet at a time on its UI thread: no lock.
bool g_graphics_off = false;
}  // namespace

void SignalWatermarkGraphicsOff() { g_graphics_off = true; }

bool TakeWatermarkGraphicsOff() {
  const bool signalled = g_graphics_off;
  g_graphics_off = false;
  return signalled;
}

}  // namespace kit::plugin::sheets
