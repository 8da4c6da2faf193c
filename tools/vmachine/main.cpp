// vmachine: the virtual Windows machine tool.
#include <cstdio>
#include <cstring>
#include <string>

#include <nlohmann/json.hpp>

#include "tools/vmachine/commands.h"

int main(int argc, char** argv) {
  using namespace kit::vmachine;
  Args args;
  bool json = false;
  for (int i = 1; i < argc; ++i) {
    if (std::strcmp(argv[i], "--json") == 0) {
      json = true;
    } else {
      args.emplace_back(argv[i]);
    }
  }
  if (args.empty() || args[0] == "help" || args[0] == "--help" || args[0] == "-h") {
    PrintUsage();
    return args.empty() ? kExitUsage : kExitOk;
  }
  const std::string command = args[0];
  args.erase(args.begin());
  struct Entry {
    const char* name;
    int (*run)(const Args&, bool);
  };
  static constexpr Entry kCommands[] = {
      {"presets", CmdPresets}, {"create", CmdCreate},   {"show", CmdShow},           {"registry", CmdRegistry},
      {"files", CmdFiles},     {"jobs", CmdJobs},       {"plug", CmdPlug},           {"unplug", CmdUnplug},
      {"map-port", CmdMapPort}, {"fault", CmdFault},    {"program", CmdProgram},
      {"put", CmdPut},         {"file-version", CmdFileVersion}, {"set", CmdSet},
      {"add-printer", CmdAddPrinter}, {"snapshot", CmdSnapshot}, {"diff", CmdDiff},
  };
  for (const auto& c : kCommands) {
    if (command != c.name) continue;
    // A hand-edited state with a member of the wrong type makes the JSON
    // library throw: report it like any other unusable machine.
    try {
      return c.run(args, json);
    } catch (const nlohmann::json::exception& e) {
      std::fprintf(stderr, "vmachine: the machine state holds a value of the wrong kind (%s)\n", e.what());
      return kExitMachine;
    }
  }
  std::fprintf(stderr, "vmachine: unknown command '%s' (try 'vmachine help')\n", command.c_str());
  return kExitUsage;
}
