// A sweep road's runs share nothing but the clean run's results: they are
// spread over worker processes, each run on its own machine.
#pragma once

#include <cstddef>
#include <functional>
#include <string>

#include "tests/platform/sim/fault_sweep.h"

namespace kit::sim::testing {

// How many processes a road's runs are spread over (KIT_SWEEP_JOBS; by
// default the processors online, at most four).
int SweepJobs();

// Runs `run_one` for each of `count` runs, spread over `jobs` worker
// processes (run n in worker n % jobs), and adds their figures to `figures`
// in the order of the runs, as one process would. A worker that does not
// end well (a watchdog's abort, a crash) is a finding; a check of the test
// that failed in a worker fails the test.
void RunSpread(std::size_t count, int jobs, const std::string& road_name,
               const std::function<void(std::size_t, SweepFigures*)>& run_one, SweepFigures* figures);

}  // namespace kit::sim::testing
