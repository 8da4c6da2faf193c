// Job ids kept unique across a crash of the server, the jobs such a stop
// cut shown aborted with the reason, and the spool cleared of their files
// (job_ids.h says why and the ids file's layout).
#pragma once

#include <pappl/pappl.h>

#include <string>

namespace kit::printapp {

// The saved state (printers, settings, jobs) loaded from `state_file`.
void LoadState(pappl_system_t* system, const std::string& state_file);

// PAPPL's save callback: the state written whole to the file `data` (a
// std::string) names, or not at all.
bool SaveState(pappl_system_t* system, void* data);

// After the saved state is loaded: reads the ids file beside `state_file`,
// ends as aborted the jobs the state holds as a stop left them (printing,
// stopped, sent back to waiting), removes the spool files of jobs the
// state does not know and shows them aborted too (logging each),
// starts every printer's ids above any given before, and from then on
// writes the ids file as each job is made. An empty `spool` (PAPPL's own
// folder of this run) has nothing left over.
void KeepJobIds(pappl_system_t* system, const std::string& state_file, const std::string& spool);

}  // namespace kit::printapp
