// Module-wide state of the UI plug-in: the module instance handle and what
// the module learnt about its system at load time; the live-object and
// server-lock counts are the COM server's (plugin/module).
// This file is OS-independent.
#pragma once

#include <string>

#include "plugin/module/com_server.h"

namespace kit::plugin::com {

// The module's live objects, locks and allocations (plugin/module).
using com_server::DecrementLiveObjects;
using com_server::DecrementLocks;
using com_server::IncrementLiveObjects;
using com_server::IncrementLocks;
using com_server::LiveObjects;
using com_server::Locks;

// The module instance handle, stored at process attach; pages and dialogs use
// it as their instance.
void SetModuleHandle(void* module);
void* ModuleHandle();

// The Windows system directory (for example "C:\Windows\system32"), stored at
// process attach; the default log folder lies on its drive.
void SetSystemDirectory(std::u16string directory);
const std::u16string& SystemDirectory();

using com_server::AllocationAllowed;
using com_server::FailNextAllocationsForTesting;
using com_server::NewObject;

}  // namespace kit::plugin::com
