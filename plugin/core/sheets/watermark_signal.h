// The watermark page's word to the Main page: when choosing no watermark
// turns the forced graphics printing off, the watermark page raises this
// module-wide flag; the Main page's next activation takes it (and clears it)
// to show "No" again.
// This file is OS-independent.
#pragma once

namespace kit::plugin::sheets {

void SignalWatermarkGraphicsOff();
// True once after each signal.
bool TakeWatermarkGraphicsOff();

}  // namespace kit::plugin::sheets
