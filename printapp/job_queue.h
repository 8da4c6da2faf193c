// Jobs wait their turn: every document, raster ones too, goes to the spool
// and is printed after the jobs before it, each job once.
//
// PAPPL 1.3 prints a PWG or Apple raster document as it comes in and
// answers "server-error-busy" to one sent while another job prints, leaving
// an aborted job in the history for every try (`kvprinter submit` took the
// answer's job id for an accepted job). Here a raster document is kept in
// the spool as any other format is and printed by the raster file filter.
//
// PAPPL 1.3 also starts the first waiting job from every "check for jobs"
// (a job received, a job ended) before the started job marks the printer
// busy, so two such checks close together started one job twice: printed
// twice, or the second run found its file gone and aborted it. The checks
// are taken one at a time here, each waiting until the job it started
// has begun.
#pragma once

#include <pappl/pappl.h>

namespace kit::printapp {

// Registers the filters that print a spooled PWG or Apple raster document.
void AddRasterFileFilters(pappl_system_t* system);

// Whether a document of this format is spooled by the application instead
// of PAPPL's printing it as it arrives.
bool IsRasterFormat(const char* format);

}  // namespace kit::printapp
