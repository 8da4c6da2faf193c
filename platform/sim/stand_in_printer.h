// A printer put on a virtual machine without the setup wizard, for the
// plug-in's tests and demonstrations: a stand-in driver (placeholder files
// in the driver folder, added once) and Windows' own print processor, on a
// port the machine has. An administrator puts it there, also on a machine
// made for a standard user.
#pragma once

#include <string>

#include "platform/sim/machine.h"

namespace kit::sim {

inline constexpr char16_t kStandInDriverName[] = u"Kit Stand-in Driver";

// False with *error (a sentence for the user) when the spooler refuses:
// a printer of that name exists, no such port, the spooler does not run.
// `driver`: the driver the printer uses; one the machine lacks is added as a
// stand-in under that name.
bool AddStandInPrinter(Machine& machine, WStringView name, WStringView port, std::string* error,
                       WStringView driver = kStandInDriverName);

}  // namespace kit::sim
