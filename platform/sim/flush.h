// Whether the virtual machine flushes what it writes to the disk.
//
// A machine folder is written atomically (a new file renamed over the old
// one), so a program killed at any point leaves a whole machine; flushing
// each write and its folder besides makes the machine survive a power cut
// too. That flush costs about 25 ms a write on this kind of disk, and a
// test run writes machines tens of thousands of times on throwaway folders,
// so the test presets turn it off with KIT_VMACHINE_FLUSH=0 (a machine a
// person keeps is flushed, as before).
//
// This file is OS-independent.
#pragma once

namespace kit::sim {

// The environment variable; "0" turns the flush off, anything else or its
// absence keeps it on.
inline constexpr char kFlushVariable[] = "KIT_VMACHINE_FLUSH";

// Read once a process.
bool FlushWrites();

}  // namespace kit::sim
