// What the plug-in module does when it is loaded into and unloaded from a
// process, independent of how the system announces it.
// This file is OS-independent.
#pragma once

#include <string>

#include "platform/platform.h"

namespace kit::plugin::dll {

// Process attach: remember the module and the system directory, then
// prepare the user's language files on the given facilities.
void OnProcessAttach(void* module, SystemFacts& system, Files& files, Registry& registry);
// Without a platform: only the system directory is known.
void OnProcessAttach(void* module, std::u16string system_directory);

// Process detach: the language state goes; nothing is written.
void OnProcessDetach();

}  // namespace kit::plugin::dll
