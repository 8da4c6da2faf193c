// The universal driver's own interface as a Linux host hands it to the
// plug-in (IPrintOemDriverUI): it answers for itself, gives back nothing it
// does not have, and reports on standard output each option item the
// plug-in changes. Shared by the hosts of the Linux build.
#pragma once

#include "plugin/core/com/interfaces.h"

namespace kit::plugin::host {

struct HostDriver : com::IPrintOemDriverUI {
  HostDriver();
  com::ULONG refs = 1;  // the host's own reference
};

}  // namespace kit::plugin::host
