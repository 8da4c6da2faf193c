// What each plug-in module does when Windows loads and unloads it, called
// from the one entry point the modules share (dll_main_win32.cpp). Both run
// under the loader lock: nothing that loads another library.
// This file is OS-independent.
#pragma once

namespace kit::plugin::com_server {

// Process attach: makes what the module keeps for its lifetime and hands it
// to the module's code; returns it (null when nothing could be made).
void* AttachModule(void* module);

// Process detach: takes it back from the module's code and frees it.
void DetachModule(void* kept);

}  // namespace kit::plugin::com_server
