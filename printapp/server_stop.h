// A stop of the server (SIGTERM, SIGINT, `kvprinter shutdown`) ends within
// seconds, also while a job waits for a printer that does not answer.
//
// PAPPL 1.3 keeps its main loop going after a stop until no job is active,
// for at most 60 s, and a job waiting for its device tries the device again
// every 5 s for as long as the system is running, which it is until that
// same loop ends: one job on an unreachable printer held every stop for a
// minute. Here the system counts as stopping from the moment a stop is
// asked for. A job waiting for its device goes back to waiting (PAPPL
// keeps it in the saved state; it is shown aborted after the restart) and
// a connection to a network printer under way is given up. A shutdown
// (Shutdown-System) wakes PAPPL's main loop with the stop signal once it
// is answered, so that with no job left the server ends at once, not at
// the loop's next wake-up up to 30 s later. A job that is printing still
// ends as PAPPL ends it.
#pragma once

#include <pappl/pappl.h>

namespace kit::printapp {

// For the server's system, once it is made: stops are watched from the
// start of its main loop on.
void WatchForStop(pappl_system_t* system);

}  // namespace kit::printapp
