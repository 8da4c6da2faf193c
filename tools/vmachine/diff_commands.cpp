// Commands that compare machines: snapshot and diff.
#include <filesystem>
#include <optional>

#include "tools/vmachine/leftover_list.h"
#include "tools/vmachine/machine_diff.h"
#include "tools/vmachine/tool_support.h"

namespace kit::vmachine {

namespace fs = std::filesystem;

int CmdSnapshot(const Args& args, bool json) {
  if (args.size() < 2) return Usage("snapshot DIR SNAPSHOT");
  const fs::path machine = args[0], snapshot = args[1];
  std::error_code ec;
  if (fs::exists(snapshot, ec) && !fs::is_empty(snapshot, ec)) {
    std::fprintf(stderr, "vmachine: %s exists and is not empty\n", args[1].c_str());
    return kExitFailed;
  }
  Json state;
  if (!ReadMachine(args[0], &state)) return kExitMachine;
  fs::create_directories(snapshot, ec);
  for (const char* folder : {sim::kDriveCFolder, sim::kJobsFolder}) {
    if (!ec && fs::exists(machine / folder)) {
      fs::copy(machine / folder, snapshot / folder, fs::copy_options::recursive, ec);
    }
  }
  std::string message;
  if (ec || sim::Store(snapshot).Create(state, &message) != sim::StoreError::kNone) {
    std::fprintf(stderr, "vmachine: cannot write the snapshot %s (%s)\n", args[1].c_str(),
                 ec ? ec.message().c_str() : message.c_str());
    return kExitFailed;
  }
  if (json) {
    std::puts(Json({{"snapshot", args[1]}}).dump().c_str());
  } else {
    std::printf("snapshot of %s in %s\n", args[0].c_str(), args[1].c_str());
  }
  return kExitOk;
}

int CmdDiff(const Args& given, bool json) {
  static constexpr char kUsage[] = "diff DIR1 DIR2 [--ignore LEFTOVER-LIST]";
  // "--ignore FILE" leaves out the differences the list names.
  Args args;
  std::optional<std::vector<LeftoverEntry>> leftovers;
  for (std::size_t i = 0; i < given.size(); ++i) {
    if (given[i] != "--ignore") {
      args.push_back(given[i]);
      continue;
    }
    if (i + 1 >= given.size() || leftovers) return Usage(kUsage);
    std::string error;
    leftovers = ReadLeftovers(given[++i], &error);
    if (!leftovers) {
      std::fprintf(stderr, "vmachine: %s\n", error.c_str());
      return kExitUsage;
    }
  }
  if (args.size() != 2) return Usage(kUsage);
  std::vector<Difference> all;
  std::string error;
  if (!DiffMachines(args[0], args[1], &all, &error)) {
    std::fprintf(stderr, "vmachine: %s\n", error.c_str());
    return kExitMachine;
  }
  std::vector<Difference> differences;
  Json ignored = Json::array();
  for (auto& d : all) {
    const std::string line = DifferenceText(d);
    if (const LeftoverEntry* entry = leftovers ? FindLeftover(*leftovers, line) : nullptr) {
      ignored.push_back({{"difference", line}, {"reason", entry->reason}});
    } else {
      differences.push_back(std::move(d));
    }
  }
  if (json) {
    Json left_out = Json::array();
    for (const auto& member : kVolatileState) left_out.push_back({{"path", member.path}, {"why", member.why}});
    Json out = {{"differences", DifferencesJson(differences)}, {"left_out", left_out}};
    if (leftovers) out["ignored"] = ignored;
    std::puts(out.dump(1).c_str());
  } else if (differences.empty()) {
    std::puts(ignored.empty() ? "no differences" : "no differences but those the list names");
  } else {
    for (const auto& d : differences) std::puts(DifferenceText(d).c_str());
  }
  if (leftovers && !json) {
    std::fprintf(stderr, "vmachine: %zu difference(s) left out as the list names them\n", ignored.size());
  }
  return differences.empty() ? kExitOk : kExitDifferent;
}

}  // namespace kit::vmachine
