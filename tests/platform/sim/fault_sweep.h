// A fault sweep over a road of the kit on a virtual machine: the road is run
// once with the machine's call log on, then once per logged call with that
// call failing (each error code the kit branches on for it, and one generic
// code), and every run is judged by the same checks. Shared by the sweeps of
// each program (tests/<program>/sweep).
#pragma once

#include <cstdint>
#include <filesystem>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "platform/sim/machine.h"
#include "platform/sim/store.h"

namespace kit::sim::testing {

struct LoggedCall {
  std::string api;
  std::string subject;
};

// ERROR_GEN_FAILURE: a code no part of the kit treats specially.
inline constexpr std::uint32_t kGenericFaultCode = 31;

// Switches the machine's call log on, empty.
void StartCallLog(Store& store);
// The calls logged since StartCallLog; the log is switched off.
std::vector<LoggedCall> TakeCallLog(Store& store);
// The codes a sweep fails `api` with: the ones the kit tells apart for that
// call, then the generic one.
std::vector<std::uint32_t> FaultCodes(const std::string& api);
// Makes exactly the `index`-th logged call fail once with `code` (earlier
// calls the fault would match go through).
void FailLoggedCall(Store& store, const std::vector<LoggedCall>& log, std::size_t index, std::uint32_t code);
// Whether the fault set by FailLoggedCall was taken.
bool FaultTaken(Store& store);

// Objects of the spooler that are half made: a printer without its driver
// or its port, a port whose monitor is gone, a monitor without its DLL, a
// driver without one of its files, a job still open (spooling), a root
// device without its driver. One line each.
std::vector<std::string> HalfMadeObjects(Machine& machine);
// What a road leaves on the machine, one line a thing: printers (with driver
// and port), drivers, print processors, monitors, ports, devices (with their
// driver), the registry values under `registry_keys` ("HKLM\\SOFTWARE\\..."
// and every key below it) with their data, and the files of drive C:. A run that ends done after a failed
// call must leave what the clean run left (SweepRoad).
std::set<std::string> EndState(Machine& machine, const std::vector<std::string>& registry_keys = {});
// A printer's record and its driver's records, for "nothing of it changed".
std::string PrinterFacts(Machine& machine, const std::string& printer);

// What a road's run ended with.
struct RoadResult {
  bool failed = false;        // the program said it failed (exit status, progress state)
  bool ended = true;          // the program came to its end
  std::vector<std::string> messages;  // every text shown or logged, in order
  // The program's exit status (the kit's table: 0 done, 1 failed, 2 refused,
  // 3010 done but Windows must restart); none for a road that is not a
  // program of its own (the plug-in's pages run inside the host's process).
  std::optional<int> exit_status;
};

// One road on its own fresh machine.
class RoadRun {
 public:
  virtual ~RoadRun() = default;
  virtual Machine& machine() = 0;
  // Runs the road once.
  virtual RoadResult Run() = 0;
  // After a run: what the run said it did that the machine contradicts (a
  // success reported for a printer that is not there, a removal logged for
  // an object still present), one line each.
  virtual std::vector<std::string> Untruths() { return {}; }
};

struct Road {
  std::string name;
  // A fresh machine for the road, ready to run, the foreign printer on it.
  std::function<std::unique_ptr<RoadRun>()> make;
  // Texts that only a success shows (the clean run's last message is added).
  std::vector<std::string> success_texts;
  // The registry keys the road is asked to write (or remove), each with
  // every key below it ("HKLM\\SOFTWARE\\VELDRAN"): their values are part of
  // its end state.
  std::vector<std::string> compared_registry;
  // Half-made objects a failure may leave by design (substrings).
  std::vector<std::string> may_stay;
  // The run's last message tells its outcome: no success text may follow a
  // failure's message.
  bool outcome_is_last_message = true;
  // Whether a call repeated with the same subject (the same file read again)
  // is failed at each repetition, or only where it is made first and last.
  bool fail_repeats = true;
  // Calls whose failure the road ends without a message, by design (the
  // plug-in's raw jobs: the user gets no output), each named with its
  // subject as "API 'SUBJECT'" (the subject may be part of the call's). A
  // failure of any other call must still be shown or logged: a message the
  // clean run did not show.
  std::vector<std::string> silent_apis;
  // Half-made objects that only a failure of the named call ("API
  // 'SUBJECT'") may leave (substrings): a job whose closing call failed
  // stays open.
  std::map<std::string, std::vector<std::string>> may_stay_after;
  // Where the road's program still exits 0 or 3010 after a failure, as it
  // does today: the failing call as "API 'SUBJECT'" (or "*" for any call)
  // and the reason, which names the step. Such runs are counted as expected findings, printed, and do not
  // fail the sweep; every other failed run must not exit 0 or 3010.
  std::map<std::string, std::string> exit_zero_expected;
  // Answers Windows cannot give a call at its point in the road: "API
  // 'SUBJECT'" to the code and the reason. The sweep does not fail the call
  // with that code (the machine would hold what no Windows holds after it);
  // each is printed as an expected finding.
  std::map<std::string, std::pair<std::uint32_t, std::string>> impossible_answers;
  // Calls whose failure ends the road done by another road of its design,
  // short of the clean run's end state ("API 'SUBJECT'" and the reason,
  // which names the step): printed as expected findings.
  std::map<std::string, std::string> other_done_end;
  // Findings the road is known to have until their program is mended: a
  // text the finding's line holds (the failing call and its subject), and
  // the reason. They are printed as expected findings and do not fail the
  // sweep.
  std::map<std::string, std::string> known_findings;
};

// Whether an excuse list's entry ("API 'SUBJECT'", or "*") names `call`.
bool NamesCall(const std::string& entry, const LoggedCall& call);

// What a run whose call `failed` failed says about itself, judged by the
// road's rules: a failure without a message of its own (none the clean run
// did not show too), a success text after the failure, an exit status that
// does not say failure. `success` holds the texts only a success shows,
// `clean` the clean run's messages. One line each; the exit statuses the
// road expects to be 0 still go to `expected`.
std::vector<std::string> JudgeRun(const Road& road, const std::vector<std::string>& success,
                                  const std::vector<std::string>& clean, const LoggedCall& failed,
                                  const RoadResult& result, std::vector<std::string>* expected);

struct SweepFigures {
  int roads = 0;
  int calls = 0;
  int codes = 0;
  int runs = 0;
  int failed_runs = 0;
  int tolerated_runs = 0;   // ended done after a failed call, with the clean run's end state
  int state_findings = 0;   // ended done after a failed call, short of the clean run's end state
  // A program's runs short of the clean run's end state, judged as failed
  // runs (their exit status must say so, and a message of their own).
  int short_runs = 0;
  int not_reached = 0;
  int repeats_skipped = 0;
  int silent_runs = 0;  // failed by design without a message
  std::map<int, int> exit_statuses;  // of the runs with a failed call, per status
  std::vector<std::string> findings;
  // Findings the road declares it still has (see Road::exit_zero_expected).
  std::vector<std::string> expected;
  void Print(const std::string& title) const;
};

// A program of the kit run as its own process (a shell command line that
// must not redirect its output): its exit status (3010 read back from the
// low byte Linux keeps), every line it wrote to standard output and error,
// and what ended it otherwise (a signal, a sanitizer's report), one line
// each, for RoadRun::Untruths.
struct ProgramRun {
  std::optional<int> exit_status;
  std::vector<std::string> lines;
  std::vector<std::string> crashes;
};
ProgramRun RunProgram(const std::string& command_line, const std::filesystem::path& output_folder);

// The foreign printer every road's machine holds.
inline constexpr char16_t kForeignPrinter[] = u"Acme Label 2000";
inline constexpr char16_t kForeignPort[] = u"LPT2:";
void AddForeignPrinter(Machine& machine);

// Sweeps one road into `figures`. Each run is bounded by `run_seconds` of
// real time (KIT_SWEEP_RUN_SECONDS overrides it on a loaded machine) and
// `virtual_minutes` of the machine's clock. KIT_SWEEP_ONLY=TEXT sweeps only
// the roads whose name holds TEXT; findings print as they are found.
void SweepRoad(const Road& road, SweepFigures* figures, double run_seconds = 20, int virtual_minutes = 30);

}  // namespace kit::sim::testing
