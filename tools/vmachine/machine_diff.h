// The differences between two virtual machines (two machine folders, or a
// machine and a snapshot of it): the state (registry shown as keys and
// values, spooler lists by object name), the files of drive C: and the raw
// jobs' bytes. What is volatile by nature is left out, listed in
// kVolatileState below. Linux builds.
#pragma once

#include <filesystem>
#include <string>
#include <vector>

#include <nlohmann/json.hpp>

namespace kit::vmachine {

// State members left out of a comparison, as paths below the state's root
// ("*" stands for every element of a list or every member of an object),
// each with the reason.
struct VolatileMember {
  const char* path;
  const char* why;
};
inline constexpr VolatileMember kVolatileState[] = {
    {"clock", "the virtual clock: every pause advances it"},
    {"spooler/next_job", "the next job id"},
    {"spooler/jobs/*/id", "a job id (jobs are compared by their other members and their bytes)"},
    {"spooler/jobs/*/file", "the job's file name, made from its id"},
    {"spooler/epoch", "the spooler's handle generation (the restarts themselves are in \"restarts\")"},
    {"devices/next_inst", "the next device instance number"},
    {"devices/reenumerations", "how often the device tree was scanned again (the devices themselves are compared)"},
    {"services/*/starts", "how often a service was started (its state, running or stopped, is compared)"},
    {"services/*/stops", "how often a service was stopped"},
    {"windows/*/pid", "the id of the process that owns a window"},
    {"windows/*/id", "a window handle"},
    {"mutexes/*/pid", "the id of the process that owns a mutex"},
    {"mutexes/*/id", "a mutex handle"},
    {"next_window", "the next window handle"},
    {"next_mutex", "the next mutex handle"},
};

struct Difference {
  enum class Change { kAdded, kRemoved, kChanged };
  Change change = Change::kChanged;
  std::string kind;  // "state", "registry", "file" or "folder"
  std::string path;  // where: "spooler/printers/VRT-Q40 Receipt/port", "HKLM\SOFTWARE\X : Name", "C:\kit\a.ini"
  std::string before, after;  // values as text ("" where added or removed)
};

// Compares machine folder `a` with `b` (what changed from a to b). False with
// *error set when either holds no readable machine state.
bool DiffMachines(const std::filesystem::path& a, const std::filesystem::path& b, std::vector<Difference>* out,
                  std::string* error);

// The comparison of two state documents alone (the part of DiffMachines
// that needs no folder; job bytes are not compared here).
std::vector<Difference> DiffStates(const nlohmann::json& a, const nlohmann::json& b);

// One line of text per difference: "+", "-" or "~", the kind, the path and
// the values.
std::string DifferenceText(const Difference& difference);
nlohmann::json DifferencesJson(const std::vector<Difference>& differences);

}  // namespace kit::vmachine
