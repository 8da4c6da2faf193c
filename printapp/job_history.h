// Job ids kept unique across a crash of the server, and the spool cleared
// of the files of jobs such a stop cut (job_ids.h says why and the file's
// layout).
#pragma once

#include <pappl/pappl.h>

#include <string>

namespace kit::printapp {

// After the saved state is loaded: reads the ids file beside `state_file`,
// removes the spool files of jobs the state does not know (logging each),
// starts every printer's ids above any given before, and from then on
// writes the ids file as each job is made. An empty `spool` (PAPPL's own
// folder of this run) has nothing left over.
void KeepJobIds(pappl_system_t* system, const std::string& state_file, const std::string& spool);

}  // namespace kit::printapp
