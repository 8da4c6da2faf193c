// What the plug-in module does when it is loaded into and unloaded from a
// process, independent of how the system announces it.
// This file is OS-independent.
#pragma once

#include <string>

namespace kit::plugin::dll {

// Process attach: remember the module and the system directory, then prepare
// the user's language files.
void OnProcessAttach(void* module, std::u16string system_directory);

// Process detach: nothing is written.
void OnProcessDetach();

}  // namespace kit::plugin::dll
