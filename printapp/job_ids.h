// Job ids that are never given twice, across a crash of the server too.
//
// PAPPL saves a printer's next job id with its state only now and then
// (when a job ends): a server killed while a job printed came back with
// the id of that job free, and gave it to the next one, so a client asking
// after the old id saw another job. The server therefore keeps, beside its
// state file, the highest id it has given on each printer, written as each
// job is made, and starts each printer's ids above it. A job file left in
// the spool folder by such a stop names its job too.
//
// The file is text, one line a printer: "PRINTER-ID HIGHEST-JOB-ID\n" in
// decimal, lines in printer order. A line that does not read so is skipped.
//
// This file is OS-independent.
#pragma once

#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <utility>

namespace kit::printapp {

using HighestJobIds = std::map<int, int>;  // printer id -> highest job id given

std::string FormatJobIds(const HighestJobIds& ids);
HighestJobIds ParseJobIds(std::string_view text);

// The printer and job of a spool file PAPPL names "pPPPPPjJJJJJJJJJ-NAME.EXT"
// (five and nine digits); nothing for any other name.
std::optional<std::pair<int, int>> SpoolFileJob(std::string_view name);

// A job's state as IPP numbers it (job-state).
enum class JobState { kPending = 3, kHeld = 4, kProcessing = 5, kStopped = 6, kCanceled = 7, kAborted = 8, kCompleted = 9 };

// Whether a job as the saved state brings it back was cut by a stop of the
// server: it was printing or stopped; it had started and was sent back to
// waiting (a stop while it waited for its printer); or it was aborted with
// no end time (the state was saved while the job had not ended, and its
// file was gone when the state was loaded). A job that waits without
// having started prints after the restart.
bool CutByStop(JobState state, bool started, bool ended);

// The NAME of such a file (the job's name as PAPPL writes it into the
// file's name): after the first '-', before the last '.'.
std::string SpoolFileJobName(std::string_view name);

}  // namespace kit::printapp
