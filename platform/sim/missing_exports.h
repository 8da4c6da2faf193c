// Libraries and entry points a virtual machine lacks, as an older or a
// damaged Windows would: the state's "system.missing_libraries" (library
// names, "KERNEL32.DLL") and "system.missing_procs" ("LIBRARY.DLL!ENTRY"),
// both compared without case. Every library lookup of the machine consults
// them: LoadLibrary and GetProcAddress, the WOW64 redirection functions and
// the kit's outside USB libraries.
#pragma once

#include <string>
#include <string_view>

#include "platform/sim/core.h"

namespace kit::sim {

// A library's key: the base name in upper case, ".DLL" added when the name
// has no extension ("C:\Windows\system32\kernel32" -> "KERNEL32.DLL").
std::string LibraryKey(std::string_view name);

// Whether the machine has no library of that name.
bool LibraryMissing(const Json& state, std::string_view library);
// Whether the entry point cannot be had: its library is missing, or the
// entry point is listed as missing.
bool ProcMissing(const Json& state, std::string_view library, std::string_view proc);

// Marks "LIBRARY!ENTRY" missing, or the whole library for a name without
// "!". Returns an error text for a malformed name, else empty.
std::string MarkMissing(Json& state, std::string_view name);

}  // namespace kit::sim
