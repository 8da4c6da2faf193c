#include "tests/platform/sim/fault_sweep.h"
#include "tests/platform/sim/sweep_workers.h"

#include <sys/wait.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <cstdlib>
#include <exception>
#include <fstream>
#include <iterator>
#include <map>
#include <mutex>
#include <set>
#include <thread>

#include "common/exit_codes/exit_codes.h"
#include "platform/sim/core.h"
#include "platform/sim/stand_in_printer.h"
#include "platform/win32_errors.h"

namespace kit::sim::testing {
namespace {

// A fault set by the sweep carries this member, so it can be told from the
// road's own faults.
constexpr char kSweepMark[] = "sweep";

void Change(Store& store, const std::function<void(Json&)>& change) {
  std::string error;
  if (store.Update(
          [&](Json& s) {
            change(s);
            return true;
          },
          &error) != StoreError::kNone) {
    std::fprintf(stderr, "fault sweep: the machine refused a change: %s\n", error.c_str());
    std::abort();
  }
}

Json Read(Store& store) {
  Json s;
  std::string error;
  if (store.Read(&s, &error) != StoreError::kNone) {
    std::fprintf(stderr, "fault sweep: unreadable machine: %s\n", error.c_str());
    std::abort();
  }
  return s;
}

std::string Upper(const std::string& text) { return UpperKey(FromUtf8(text)); }

// Whether a fault on `fault_subject` matches a call on `subject`, as the
// machine matches them.
bool Matches(const std::string& fault_subject, const std::string& subject) {
  return fault_subject.empty() || Upper(subject).find(Upper(fault_subject)) != std::string::npos;
}

bool HostFileExists(Machine& machine, const std::string& windows_path) {
  std::error_code ec;
  return std::filesystem::is_regular_file(machine.HostPath(FromUtf8(windows_path)), ec);
}

// Ends the process when one run of a road takes longer than allowed: a run
// that does not end is a finding that must not hang the sweep.
class Watchdog {
 public:
  Watchdog(double seconds, std::string what) : what_(std::move(what)) {
    thread_ = std::thread([this, seconds] {
      std::unique_lock<std::mutex> lock(mutex_);
      if (!done_cv_.wait_for(lock, std::chrono::duration<double>(seconds), [this] { return done_; })) {
        std::fprintf(stderr, "FINDING: %s did not end within %.0f s\n", what_.c_str(), seconds);
        std::fflush(stderr);
        std::abort();
      }
    });
  }
  ~Watchdog() {
    {
      std::lock_guard<std::mutex> lock(mutex_);
      done_ = true;
    }
    done_cv_.notify_all();
    thread_.join();
  }

 private:
  std::string what_;
  std::mutex mutex_;
  std::condition_variable done_cv_;
  bool done_ = false;
  std::thread thread_;
};

}  // namespace

void StartCallLog(Store& store) {
  Change(store, [](Json& s) { s["faults"][kCallLogMember] = Json::array(); });
}

std::vector<LoggedCall> TakeCallLog(Store& store) {
  std::vector<LoggedCall> log;
  const Json s = Read(store);
  if (s.contains("faults") && s["faults"].contains(kCallLogMember)) {
    for (const auto& c : s["faults"][kCallLogMember]) log.push_back({c.value("api", ""), c.value("subject", "")});
  }
  Change(store, [](Json& s) { s["faults"].erase(kCallLogMember); });
  return log;
}

std::vector<std::uint32_t> FaultCodes(const std::string& api) {
  // The codes the kit's code tells apart, per call.
  static const std::map<std::string, std::vector<std::uint32_t>> kBranched = {
      {"CopyFile", {win32::kErrorSharingViolation, win32::kErrorAccessDenied}},
      {"MoveFile", {win32::kErrorSharingViolation, win32::kErrorAccessDenied}},
      {"MoveFileReplace", {win32::kErrorSharingViolation, win32::kErrorAccessDenied}},
      {"CreateFile", {win32::kErrorSharingViolation, win32::kErrorAccessDenied}},
      {"DeleteFile", {win32::kErrorAccessDenied}},
      {"AddMonitor", {win32::kErrorPrintMonitorAlreadyInstalled, win32::kErrorAlreadyExists}},
      {"AddPrinter", {win32::kErrorPrinterAlreadyExists}},
      {"XcvData", {win32::kErrorAlreadyExists}},
      {"StartService", {win32::kErrorServiceAlreadyRunning}},
      {"CreateMutex", {win32::kErrorAlreadyExists}},
      {"DeleteMonitor", {win32::kErrorPrintMonitorInUse}},
      {"DeletePrintProcessor", {win32::kErrorCanNotComplete}},
      {"DeletePrinterDriverEx", {win32::kErrorPrinterDriverInUse}},
      {"DeletePrinterDriver", {win32::kErrorPrinterDriverInUse}},
      {"UpdateDriverForPlugAndPlayDevices", {win32::kErrorNoSuchDevinst}},
  };
  std::vector<std::uint32_t> codes;
  if (auto it = kBranched.find(api); it != kBranched.end()) codes = it->second;
  codes.push_back(kGenericFaultCode);
  return codes;
}

void FailLoggedCall(Store& store, const std::vector<LoggedCall>& log, std::size_t index, std::uint32_t code) {
  const LoggedCall& call = log.at(index);
  int skip = 0;
  for (std::size_t i = 0; i < index; ++i)
    if (log[i].api == call.api && Matches(call.subject, log[i].subject)) ++skip;
  Change(store, [&](Json& s) {
    Json fault = {{"api", call.api}, {"error", code}, {"remaining", 1}, {kSweepMark, true}};
    if (!call.subject.empty()) fault["subject"] = call.subject;
    if (skip > 0) fault["skip"] = skip;
    s["faults"]["calls"].push_back(fault);
  });
}

bool FaultTaken(Store& store) {
  const Json s = Read(store);
  if (!s.contains("faults") || !s["faults"].contains("calls")) return true;
  for (const auto& f : s["faults"]["calls"])
    if (f.value(kSweepMark, false)) return false;
  return true;
}

std::vector<std::string> HalfMadeObjects(Machine& machine) {
  std::vector<std::string> half;
  const Json s = Read(machine.store());
  const Json& sp = s["spooler"];
  std::set<std::string> drivers, monitors, ports;
  for (const auto& d : sp["drivers"]) {
    drivers.insert(d.value("name", ""));
    for (const auto& f : d.value("files", Json::array()))
      if (!HostFileExists(machine, f.get<std::string>()))
        half.push_back("driver " + d.value("name", "") + " without its file " + f.get<std::string>());
  }
  const std::string windows = s["system"].value("windows_dir", std::string("C:\\Windows"));
  const bool nt = s["system"].value("platform_id", 2) == 2;
  for (const auto& m : sp["monitors"]) {
    monitors.insert(Upper(m.value("name", "")));
    const std::string dll = m.value("dll", "");
    if (dll.empty() || !nt) continue;
    if (!HostFileExists(machine, windows + "\\System32\\" + dll) && !HostFileExists(machine, dll))
      half.push_back("monitor " + m.value("name", "") + " without its DLL " + dll);
  }
  for (const auto& p : sp["ports"]) {
    const std::string monitor = p.value("monitor", "");
    if (!monitor.empty() && Upper(monitor).rfind("KVR", 0) == 0 && monitors.count(Upper(monitor)) == 0)
      half.push_back("port " + p.value("name", "") + " without its monitor " + monitor);
  }
  std::vector<PortInfo2> listed;
  std::uint32_t needed = 0, returned = 0;
  Spooler& spooler = machine.platform().spooler;
  spooler.EnumPorts(u"", 2, &listed, 0, &needed, &returned);
  if (spooler.EnumPorts(u"", 2, &listed, needed, &needed, &returned)) {
    for (const auto& p : listed) ports.insert(UpperKey(p.port_name));
  }
  for (const auto& j : sp["jobs"]) {
    if (j.value("status", std::string()) == "spooling")
      half.push_back("job " + std::to_string(j.value("id", 0)) + " '" + j.value("document", "") + "' on " +
                     j.value("printer", "") + " left open");
  }
  // A root device a program made (a network port) stands for nothing
  // without its driver.
  if (s.contains("devices") && s["devices"].contains("list")) {
    for (const auto& d : s["devices"]["list"])
      if (d.value("root", false) && d.value("installed", true) && d.value("driver_inf", std::string()).empty())
        half.push_back("device " + d.value("instance_id", "") + " without a driver");
  }
  for (const auto& p : sp["printers"]) {
    const std::string name = p.value("name", "");
    if (drivers.count(p.value("driver", "")) == 0) half.push_back("printer " + name + " without its driver " + p.value("driver", ""));
    if (!ports.empty()) {
      // A printer may stand on several ports, separated by commas.
      std::string list = p.value("port", "");
      std::size_t at = 0;
      while (at <= list.size()) {
        const std::size_t comma = std::min(list.find(',', at), list.size());
        const std::string one = list.substr(at, comma - at);
        if (!one.empty() && ports.count(Upper(one)) == 0) half.push_back("printer " + name + " without its port " + one);
        at = comma + 1;
      }
    }
  }
  return half;
}

std::set<std::string> EndState(Machine& machine, const std::vector<std::string>& registry_keys) {
  const Json s = Read(machine.store());
  const Json& sp = s["spooler"];
  std::set<std::string> state;
  auto each = [&](const char* kind, const Json& list, const std::function<std::string(const Json&)>& line) {
    if (!list.is_array()) return;
    for (const auto& item : list) state.insert(std::string(kind) + " " + line(item));
  };
  auto named = [](const Json& o) {
    return o.value("name", "") + (o.contains("environment") ? " (" + o.value("environment", "") + ")" : "");
  };
  each("printer", sp["printers"], [](const Json& p) {
    return p.value("name", "") + " on " + p.value("port", "") + " with " + p.value("driver", "");
  });
  each("driver", sp["drivers"], named);
  each("processor", sp["processors"], named);
  each("monitor", sp["monitors"], named);
  each("port", sp["ports"], named);
  if (s.contains("devices")) {
    each("device", s["devices"]["list"], [](const Json& d) {
      return d.value("instance_id", "") + (d.value("driver_inf", "").empty() ? " without a driver" : " with " + d.value("driver_inf", ""));
    });
  }
  // The registry values under the keys the road is asked to write, with
  // their data: a run that drops them (a port's settings, setup's records)
  // is no whole run.
  auto compared = [&](const std::string& key) {
    const std::string upper = Upper(key);
    return std::any_of(registry_keys.begin(), registry_keys.end(), [&](const std::string& prefix) {
      const std::string p = Upper(prefix);
      return upper.compare(0, p.size(), p) == 0 && (upper.size() == p.size() || upper[p.size()] == '\\');
    });
  };
  std::function<void(const Json&, const std::string&)> walk = [&](const Json& node, const std::string& path) {
    if (!node.is_object()) return;
    if (compared(path) && node.contains("v") && node["v"].is_object())
      for (const auto& [name, value] : node["v"].items()) state.insert("value " + Upper(path) + " [" + Upper(name) + "] = " + value.dump());
    if (node.contains("k") && node["k"].is_object())
      for (const auto& [name, child] : node["k"].items()) walk(child, path + "\\" + name);
  };
  if (s.contains("registry") && s["registry"].is_object())
    for (const auto& [root, node] : s["registry"].items()) walk(node, root);
  std::error_code ec;
  const std::filesystem::path drive = machine.HostPath(u"C:\\");
  for (auto it = std::filesystem::recursive_directory_iterator(drive, ec);
       !ec && it != std::filesystem::recursive_directory_iterator(); it.increment(ec)) {
    if (it->is_regular_file(ec)) state.insert("file C:\\" + Upper(it->path().lexically_relative(drive).string()));
  }
  return state;
}

std::string PrinterFacts(Machine& machine, const std::string& printer) {
  const Json s = Read(machine.store());
  Json facts = Json::array();
  std::string driver;
  for (const auto& p : s["spooler"]["printers"]) {
    if (p.value("name", "") != printer) continue;
    Json record = p;
    // The job counter and status move with the spooler's own bookkeeping.
    record.erase("jobs");
    facts.push_back(record);
    driver = p.value("driver", "");
  }
  for (const auto& d : s["spooler"]["drivers"])
    if (d.value("name", "") == driver) facts.push_back(d);
  return facts.dump();
}

ProgramRun RunProgram(const std::string& command_line, const std::filesystem::path& output_folder) {
  const std::filesystem::path out = output_folder / "program.out", err = output_folder / "program.err";
  const std::string command = command_line + " </dev/null >'" + out.string() + "' 2>'" + err.string() + "'";
  const int raw = std::system(command.c_str());
  ProgramRun run;
  for (const auto& file : {out, err}) {
    std::ifstream in(file);
    for (std::string line; std::getline(in, line);) {
      if (line.find("Sanitizer") != std::string::npos || line.find("runtime error:") != std::string::npos)
        run.crashes.push_back("sanitizer report: " + line);
      run.lines.push_back(line);
    }
  }
  if (raw != -1 && WIFEXITED(raw)) {
    const int status = WEXITSTATUS(raw);
    run.exit_status = status == exit_code::kRestartNeeded % 256 ? exit_code::kRestartNeeded : status;
  } else {
    run.crashes.push_back("ended by signal " + std::to_string(raw != -1 && WIFSIGNALED(raw) ? WTERMSIG(raw) : -1));
  }
  return run;
}

void AddForeignPrinter(Machine& machine) {
  std::string error;
  if (!AddStandInPrinter(machine, kForeignPrinter, kForeignPort, &error, kForeignPrinter)) {
    std::fprintf(stderr, "fault sweep: cannot add the foreign printer: %s\n", error.c_str());
    std::abort();
  }
}

bool NamesCall(const std::string& entry, const LoggedCall& call) {
  if (entry == "*") return true;
  const std::size_t quote = entry.find(" '");
  if (quote == std::string::npos || entry.back() != '\'') {
    std::fprintf(stderr, "fault sweep: \"%s\" does not name a call as API 'SUBJECT'\n", entry.c_str());
    std::abort();
  }
  const std::string subject = entry.substr(quote + 2, entry.size() - quote - 3);
  return entry.compare(0, quote, call.api) == 0 && (subject.empty() ? call.subject.empty() : Matches(subject, call.subject));
}

std::vector<std::string> JudgeRun(const Road& road, const std::vector<std::string>& success,
                                  const std::vector<std::string>& clean, const LoggedCall& failed,
                                  const RoadResult& result, std::vector<std::string>* expected) {
  std::vector<std::string> findings;
  auto is_success = [&](const std::string& m) { return std::find(success.begin(), success.end(), m) != success.end(); };
  const bool silent_by_design = std::any_of(road.silent_apis.begin(), road.silent_apis.end(),
                                            [&](const std::string& entry) { return NamesCall(entry, failed); });
  // The program roads print lines whatever happens: a message counts when
  // the clean run did not show it.
  const bool said = std::any_of(result.messages.begin(), result.messages.end(), [&](const std::string& m) {
    return std::find(clean.begin(), clean.end(), m) == clean.end();
  });
  if (result.failed && !said && !silent_by_design) findings.push_back("failed without a message");
  if (result.failed && road.outcome_is_last_message) {
    bool failure_seen = false;
    for (const auto& m : result.messages) {
      const bool success_text = is_success(m);
      if (success_text && failure_seen) findings.push_back("success text \"" + m + "\" after the failure");
      if (!success_text) failure_seen = true;
    }
    if (!result.messages.empty() && is_success(result.messages.back()))
      findings.push_back("failed, yet its last message is the success text \"" + result.messages.back() + "\"");
  }
  if (result.exit_status) {
    const int status = *result.exit_status;
    const bool says_done = status == exit_code::kDone || status == exit_code::kRestartNeeded;
    if (result.failed && says_done) {
      const std::string line = "failed, yet the program exited " + std::to_string(status);
      const auto known = std::find_if(road.exit_zero_expected.begin(), road.exit_zero_expected.end(),
                                      [&](const auto& entry) { return NamesCall(entry.first, failed); });
      if (known == road.exit_zero_expected.end()) {
        findings.push_back(line);
      } else if (expected != nullptr) {
        expected->push_back(line + " (" + known->second + ")");
      }
    }
    if (!result.failed && !says_done)
      findings.push_back("whole at its end, yet the program exited " + std::to_string(status));
  }
  return findings;
}

void SweepFigures::Print(const std::string& title) const {
  std::printf("%s: %d road(s), %d call(s) (%d repetition(s) not failed again), %d code(s) tried, %d run(s): "
              "%d failed (%d silently by design, %d short of the clean run's end state), %d tolerated (done with the "
              "clean run's end state), %d done short of it, %d fault(s) not reached, %zu finding(s), %zu expected "
              "finding(s)\n",
              title.c_str(), roads, calls, repeats_skipped, codes, runs, failed_runs, silent_runs, short_runs,
              tolerated_runs, state_findings, not_reached, findings.size(), expected.size());
  if (!exit_statuses.empty()) {
    std::printf("  exit statuses after a failed call:");
    for (const auto& [status, count] : exit_statuses) std::printf(" %d x%d", status, count);
    std::printf("\n");
  }
  for (const auto& f : findings) std::printf("  FINDING %s\n", f.c_str());
  for (const auto& f : expected) std::printf("  EXPECTED FINDING %s\n", f.c_str());
  std::fflush(stdout);
}

namespace {

// One road's share of the figures, printed when the road is done.
void PrintRoadFigures(const std::string& name, const SweepFigures& before, const SweepFigures& after) {
  std::printf("%s: %d call(s) failed (%d repetition(s) not), %d run(s): %d failed (%d silently), %d tolerated, "
              "%zu finding(s), %zu expected\n",
              name.c_str(), after.calls - before.calls - (after.repeats_skipped - before.repeats_skipped),
              after.repeats_skipped - before.repeats_skipped, after.runs - before.runs,
              after.failed_runs - before.failed_runs, after.silent_runs - before.silent_runs,
              after.tolerated_runs - before.tolerated_runs, after.findings.size() - before.findings.size(),
              after.expected.size() - before.expected.size());
  std::fflush(stdout);
}

}  // namespace

void SweepRoad(const Road& road, SweepFigures* figures, double run_seconds, int virtual_minutes) {
  if (const char* only = std::getenv("KIT_SWEEP_ONLY"); only != nullptr && road.name.find(only) == std::string::npos) {
    ++figures->roads;
    return;
  }
  if (const char* slow = std::getenv("KIT_SWEEP_RUN_SECONDS")) run_seconds = std::atof(slow);
  const SweepFigures before = *figures;
  struct PrintAtEnd {
    const std::string& name;
    const SweepFigures& before;
    const SweepFigures& after;
    ~PrintAtEnd() { PrintRoadFigures(name, before, after); }
  } print_at_end{road.name, before, *figures};
  ++figures->roads;
  auto finding_in = [&](SweepFigures* f, const std::string& what) {
    for (const auto& [text, reason] : road.known_findings) {
      if (what.find(text) != std::string::npos) {
        f->expected.push_back(road.name + ": " + what + " (" + reason + ")");
        return;
      }
    }
    f->findings.push_back(road.name + ": " + what);
    std::printf("  FOUND %s: %s\n", road.name.c_str(), what.c_str());
    std::fflush(stdout);
  };
  auto finding = [&](const std::string& what) { finding_in(figures, what); };

  // The clean run, with the call log on.
  std::vector<LoggedCall> log;
  std::vector<std::string> success = road.success_texts, clean_messages;
  std::set<std::string> made, removed;  // by the clean run
  {
    auto run = road.make();
    const std::set<std::string> start = EndState(run->machine(), road.compared_registry);
    StartCallLog(run->machine().store());
    RoadResult clean;
    {
      Watchdog watchdog(run_seconds, road.name + " (clean run)");
      clean = run->Run();
    }
    log = TakeCallLog(run->machine().store());
    const bool clean_exit = !clean.exit_status || *clean.exit_status == exit_code::kDone ||
                            *clean.exit_status == exit_code::kRestartNeeded;
    if (clean.failed || !clean.ended || !clean_exit) {
      finding("the clean run failed" +
              (clean.exit_status ? " (exit status " + std::to_string(*clean.exit_status) + ")" : std::string()) +
              ": " + (clean.messages.empty() ? std::string("no message") : clean.messages.back()));
      return;
    }
    if (!clean.messages.empty()) success.push_back(clean.messages.back());
    clean_messages = clean.messages;
    const std::set<std::string> end = EndState(run->machine(), road.compared_registry);
    std::set_difference(end.begin(), end.end(), start.begin(), start.end(), std::inserter(made, made.end()));
    std::set_difference(start.begin(), start.end(), end.begin(), end.end(), std::inserter(removed, removed.end()));
  }
  figures->calls += static_cast<int>(log.size());
  std::printf("%s: %zu call(s) logged\n", road.name.c_str(), log.size());
  // KIT_SWEEP_TRACE=1 lists them.
  if (std::getenv("KIT_SWEEP_TRACE") != nullptr)
    for (std::size_t i = 0; i < log.size(); ++i)
      std::printf("  %zu %s '%s'\n", i + 1, log[i].api.c_str(), log[i].subject.c_str());
  std::fflush(stdout);

  // Without fail_repeats a call repeated with the same subject is failed at
  // its first and at its last occurrence (the last restart of the spooler,
  // the last open of a printer).
  std::map<std::pair<std::string, std::string>, std::size_t> last;
  for (std::size_t i = 0; i < log.size(); ++i) last[{log[i].api, log[i].subject}] = i;
  std::set<std::pair<std::string, std::string>> failed_once;
  std::vector<std::pair<std::size_t, std::uint32_t>> runs;  // the call and the code it fails with
  for (std::size_t i = 0; i < log.size(); ++i) {
    if (!failed_once.insert({log[i].api, log[i].subject}).second && !road.fail_repeats &&
        last[{log[i].api, log[i].subject}] != i) {
      ++figures->repeats_skipped;
      continue;
    }
    for (const std::uint32_t code : FaultCodes(log[i].api)) {
      const auto impossible = std::find_if(road.impossible_answers.begin(), road.impossible_answers.end(),
                                           [&](const auto& entry) {
                                             return entry.second.first == code && NamesCall(entry.first, log[i]);
                                           });
      if (impossible == road.impossible_answers.end()) {
        runs.emplace_back(i, code);
        continue;
      }
      figures->expected.push_back(road.name + ": call " + std::to_string(i + 1) + " " + log[i].api + " '" +
                                  log[i].subject + "' failing with " + std::to_string(code) + " not tried (" +
                                  impossible->second.second + ")");
    }
  }
  figures->codes += static_cast<int>(runs.size());

  auto run_one = [&](std::size_t n, SweepFigures* into) {
    const std::size_t i = runs[n].first;
    const std::uint32_t code = runs[n].second;
    auto finding = [&](const std::string& what) { finding_in(into, what); };
    const std::string where = "call " + std::to_string(i + 1) + " " + log[i].api +
                              (log[i].subject.empty() ? "" : " '" + log[i].subject + "'") + " failing with " +
                              std::to_string(code);
    auto run = road.make();
    Machine* machine = &run->machine();
    const std::string foreign_before = PrinterFacts(*machine, ToUtf8(kForeignPrinter));
    const auto half_before = HalfMadeObjects(*machine);
    FailLoggedCall(machine->store(), log, i, code);
    const std::uint64_t slept_before = machine->SleptMilliseconds();
    RoadResult result;
    ++into->runs;
    try {
      Watchdog watchdog(run_seconds, road.name + ", " + where);
      result = run->Run();
    } catch (const std::exception& e) {
      finding(where + ": an exception escaped: " + e.what());
      return;
    } catch (...) {
      finding(where + ": an exception escaped");
      return;
    }
    if (!FaultTaken(machine->store())) {
      ++into->not_reached;
      return;
    }
    // KIT_SWEEP_TRACE=1 shows what each run said.
    if (std::getenv("KIT_SWEEP_TRACE") != nullptr) {
      std::printf("  run at %s (exit %d):\n", where.c_str(), result.exit_status.value_or(-1));
      for (const auto& m : result.messages) std::printf("    %s\n", m.c_str());
      std::fflush(stdout);
    }
    if (!result.ended) finding(where + ": the program did not end");
    if (machine->SleptMilliseconds() - slept_before > static_cast<std::uint64_t>(virtual_minutes) * 60000)
      finding(where + ": waited more than " + std::to_string(virtual_minutes) + " minutes of machine time");
    if (!result.failed) {
      // Done after a failed call: judged by the clean run's end state.
      const std::set<std::string> end = EndState(*machine, road.compared_registry);
      std::vector<std::string> short_of;
      for (const auto& thing : made)
        if (end.count(thing) == 0) short_of.push_back("lacks " + thing + ", which the clean run made");
      for (const auto& thing : removed)
        if (end.count(thing) != 0) short_of.push_back("still has " + thing + ", which the clean run removed");
      const auto other = std::find_if(road.other_done_end.begin(), road.other_done_end.end(),
                                      [&](const auto& entry) { return NamesCall(entry.first, log[i]); });
      if (short_of.empty()) {
        ++into->tolerated_runs;
      } else if (other != road.other_done_end.end()) {
        for (const auto& f : short_of)
          into->expected.push_back(road.name + ": " + where + ": ended done, " + f + " (" + other->second + ")");
      } else if (result.exit_status) {
        // A program short of the clean run's end did not do all it was
        // asked: it is judged as a failed run, by its exit status and its
        // message.
        ++into->short_runs;
        result.failed = true;
      } else {
        ++into->state_findings;
        for (const auto& f : short_of) finding(where + ": ended done, yet " + f);
      }
    }
    if (result.failed) {
      ++into->failed_runs;
      if (result.messages.empty()) ++into->silent_runs;
    }
    if (result.exit_status) ++into->exit_statuses[*result.exit_status];
    std::vector<std::string> expected;
    for (const auto& f : JudgeRun(road, success, clean_messages, log[i], result, &expected)) finding(where + ": " + f);
    for (const auto& e : expected) into->expected.push_back(road.name + ": " + where + ": " + e);
    for (const auto& untruth : run->Untruths()) finding(where + ": " + untruth);
    std::vector<std::string> may_stay = road.may_stay;
    for (const auto& [call, stays] : road.may_stay_after)
      if (NamesCall(call, log[i])) may_stay.insert(may_stay.end(), stays.begin(), stays.end());
    for (const auto& half : HalfMadeObjects(*machine)) {
      if (std::find(half_before.begin(), half_before.end(), half) != half_before.end()) continue;
      bool allowed = false;
      for (const auto& stays : may_stay) allowed = allowed || half.find(stays) != std::string::npos;
      if (!allowed) finding(where + ": left " + half);
    }
    if (PrinterFacts(*machine, ToUtf8(kForeignPrinter)) != foreign_before)
      finding(where + ": the foreign printer changed");
  };
  const int jobs = SweepJobs();
  if (jobs > 1 && runs.size() > 1) {
    RunSpread(runs.size(), static_cast<int>(std::min<std::size_t>(static_cast<std::size_t>(jobs), runs.size())),
              road.name, run_one, figures);
  } else {
    for (std::size_t n = 0; n < runs.size(); ++n) run_one(n, figures);
  }
}

}  // namespace kit::sim::testing
