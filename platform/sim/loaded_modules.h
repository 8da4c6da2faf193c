// Modules the running spooler holds loaded: the DLLs of the registered port
// monitors (in the system folder) and print processors (in the
// print-processor folder of their environment). Windows refuses to replace
// a loaded module with a sharing violation, so a program must stop the
// spooler first or copy beside it.
#pragma once

#include <optional>

#include "platform/sim/core.h"

namespace kit::sim {

// The folder name of an environment below "spool\drivers" and
// "spool\prtprocs".
WString EnvironmentFolder(WStringView environment);

// kErrorSharingViolation when `target` is a module the running spooler
// holds; nothing while the spooler is stopped.
std::optional<win32::Error> LoadedModuleFault(Core& core, const Json& state, const ResolvedPath& target);

}  // namespace kit::sim
