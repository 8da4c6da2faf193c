// The module's activation context on Windows: created once, from the
// module's own manifest resource (id 2, which asks for version 6 of the
// common controls), for the page records of both sheets; released when the
// module leaves the process.
#pragma once

namespace kit::plugin::sheets {

// The context, created at the first call; null when the module has none
// (no manifest resource, or the system refused it).
void* ModuleActivationContext();

// Gives the context back (process detach); a later call to
// ModuleActivationContext creates it again.
void ReleaseModuleActivationContext();

}  // namespace kit::plugin::sheets
