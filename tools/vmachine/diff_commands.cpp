// Commands that compare machines: snapshot and diff.
#include <filesystem>

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

int CmdDiff(const Args& args, bool json) {
  if (args.size() < 2) return Usage("diff DIR1 DIR2");
  std::vector<Difference> differences;
  std::string error;
  if (!DiffMachines(args[0], args[1], &differences, &error)) {
    std::fprintf(stderr, "vmachine: %s\n", error.c_str());
    return kExitMachine;
  }
  if (json) {
    Json left_out = Json::array();
    for (const auto& member : kVolatileState) left_out.push_back({{"path", member.path}, {"why", member.why}});
    std::puts(Json({{"differences", DifferencesJson(differences)}, {"left_out", left_out}}).dump(1).c_str());
  } else if (differences.empty()) {
    std::puts("no differences");
  } else {
    for (const auto& d : differences) std::puts(DifferenceText(d).c_str());
  }
  return differences.empty() ? kExitOk : kExitDifferent;
}

}  // namespace kit::vmachine
