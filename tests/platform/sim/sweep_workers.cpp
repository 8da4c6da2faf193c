// Spreads a sweep road's runs over worker processes and adds their figures
// back as one process would have counted them.
#include "tests/platform/sim/sweep_workers.h"

#include <sys/wait.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstdlib>

#include "platform/sim/fd_io.h"
#include "platform/sim/store.h"

namespace kit::sim::testing {
namespace {

// One run's share of the figures, as a worker process sends it back.
Json FiguresDelta(std::size_t run, const SweepFigures& f) {
  Json exits = Json::array();
  for (const auto& [status, count] : f.exit_statuses) exits.push_back({status, count});
  return {{"run", run},
          {"runs", f.runs},
          {"failed", f.failed_runs},
          {"tolerated", f.tolerated_runs},
          {"short", f.state_findings},
          {"short_runs", f.short_runs},
          {"not_reached", f.not_reached},
          {"silent", f.silent_runs},
          {"exits", exits},
          {"findings", f.findings},
          {"expected", f.expected}};
}

void AddDelta(const Json& d, SweepFigures* figures) {
  figures->runs += d.value("runs", 0);
  figures->failed_runs += d.value("failed", 0);
  figures->tolerated_runs += d.value("tolerated", 0);
  figures->state_findings += d.value("short", 0);
  figures->short_runs += d.value("short_runs", 0);
  figures->not_reached += d.value("not_reached", 0);
  figures->silent_runs += d.value("silent", 0);
  for (const auto& e : d["exits"]) figures->exit_statuses[e[0].get<int>()] += e[1].get<int>();
  for (const auto& f : d["findings"]) figures->findings.push_back(f.get<std::string>());
  for (const auto& e : d["expected"]) figures->expected.push_back(e.get<std::string>());
}

}  // namespace

// At most this many workers by default.
constexpr long kMaxSweepJobs = 4;
int SweepJobs() {
  if (const char* jobs = std::getenv("KIT_SWEEP_JOBS")) return std::max(1, std::atoi(jobs));
  return static_cast<int>(std::clamp(::sysconf(_SC_NPROCESSORS_ONLN), 1L, kMaxSweepJobs));
}

void RunSpread(std::size_t count, int jobs, const std::string& road_name,
               const std::function<void(std::size_t, SweepFigures*)>& run_one, SweepFigures* figures) {
  std::fflush(stdout);
  std::fflush(stderr);
  struct Worker {
    pid_t pid;
    int fd;
  };
  std::vector<Worker> workers;
  for (int k = 0; k < jobs; ++k) {
    int ends[2];
    if (::pipe(ends) != 0) {
      std::perror("fault sweep: pipe");
      std::abort();
    }
    const pid_t pid = ::fork();
    if (pid < 0) {
      std::perror("fault sweep: fork");
      std::abort();
    }
    if (pid == 0) {
      ::close(ends[0]);
      for (const auto& w : workers) ::close(w.fd);
      Json out = {{"deltas", Json::array()}};
      for (std::size_t run = static_cast<std::size_t>(k); run < count; run += static_cast<std::size_t>(jobs)) {
        SweepFigures f;
        run_one(run, &f);
        out["deltas"].push_back(FiguresDelta(run, f));
      }
      out["test_failed"] = ::testing::Test::HasFailure();
      const std::string text = out.dump();
      if (!WriteAll(ends[1], text.data(), text.size())) ::_exit(3);
      std::fflush(stdout);
      std::fflush(stderr);
      ::_exit(0);
    }
    ::close(ends[1]);
    workers.push_back({pid, ends[0]});
  }
  std::vector<Json> deltas;
  for (std::size_t k = 0; k < workers.size(); ++k) {
    std::string text;
    ReadAll(workers[k].fd, &text);  // a read error leaves the text unparsable: the worker's finding
    ::close(workers[k].fd);
    int status = 0;
    while (::waitpid(workers[k].pid, &status, 0) < 0 && errno == EINTR) {
    }
    const Json out = Json::parse(text, nullptr, /*allow_exceptions=*/false);
    if (!WIFEXITED(status) || WEXITSTATUS(status) != 0 || out.is_discarded()) {
      figures->findings.push_back(road_name + ": worker " + std::to_string(k + 1) + " of " + std::to_string(jobs) +
                                  " ended " +
                                  (WIFSIGNALED(status) ? "by signal " + std::to_string(WTERMSIG(status))
                                                       : "with status " + std::to_string(WEXITSTATUS(status))) +
                                  " before sending its runs' figures (its output above says why)");
      continue;
    }
    if (out.value("test_failed", false)) ADD_FAILURE() << road_name << ": a check failed in worker " << k + 1;
    for (const auto& d : out["deltas"]) deltas.push_back(d);
  }
  std::sort(deltas.begin(), deltas.end(),
            [](const Json& a, const Json& b) { return a["run"].get<std::size_t>() < b["run"].get<std::size_t>(); });
  for (const auto& d : deltas) AddDelta(d, figures);
}

}  // namespace kit::sim::testing
