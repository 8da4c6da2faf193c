// Commands for the plug-in's tests: a printer without the setup wizard, and
// short writes on the raw-job channel.
#include "platform/sim/machine.h"
#include "platform/sim/stand_in_printer.h"
#include "tools/vmachine/tool_support.h"

namespace kit::vmachine {
namespace {

std::optional<std::string> OptionAfter(const Args& args, const std::string& name) {
  for (std::size_t i = 0; i + 1 < args.size(); ++i)
    if (args[i] == name) return args[i + 1];
  return std::nullopt;
}

}  // namespace

int CmdAddPrinter(const Args& args, bool json) {
  constexpr const char* kUsage = "add-printer DIR NAME [--port PORT] [--driver NAME]";
  constexpr const char* kDefaultPort = "LPT1:";
  if (args.size() < 2 || args[1].rfind("--", 0) == 0) return Usage(kUsage);
  const std::string port = OptionAfter(args, "--port").value_or(kDefaultPort);
  const auto driver = OptionAfter(args, "--driver");
  std::string error;
  auto machine = sim::Machine::Open(args[0], sim::ProcessOptions(), &error);
  if (!machine) {
    std::fprintf(stderr, "vmachine: %s\n", error.c_str());
    return kExitMachine;
  }
  const WString driver_name = driver ? FromUtf8(*driver) : WString(sim::kStandInDriverName);
  if (!sim::AddStandInPrinter(*machine, FromUtf8(args[1]), FromUtf8(port), &error, driver_name)) {
    std::fprintf(stderr, "vmachine: cannot add printer %s: %s\n", args[1].c_str(), error.c_str());
    return kExitFailed;
  }
  if (json) {
    std::puts(Json({{"printer", args[1]}, {"port", port}, {"driver", ToUtf8(driver_name)}}).dump().c_str());
  } else {
    std::printf("printer '%s' on %s added\n", args[1].c_str(), port.c_str());
  }
  return kExitOk;
}

// "short-write" (a WritePrinter taking fewer bytes) and "short-read" (a file
// read giving fewer bytes than the file holds) share their options.
int CmdFaultShortTransfer(const Args& args, bool read) {
  const char* kUsage = read ? "fault DIR short-read [--subject PATH] [--taken BYTES] [--times N] [--after N]"
                            : "fault DIR short-write [--subject PRINTER] [--taken BYTES] [--times N] [--after N]";
  const auto taken = OptionAfter(args, "--taken");
  const auto taken_value = ParseNumber(taken.value_or("0"));
  const auto times = ParseNumber(OptionAfter(args, "--times").value_or("0"));
  const auto after = ParseNumber(OptionAfter(args, "--after").value_or("0"));
  if (!taken_value || *taken_value > 0xFFFFFFFF || !times || *times > 0x7FFFFFFF || !after || *after > 0x7FFFFFFF) {
    return Usage(kUsage);
  }
  return ChangeMachine(args[0], [&](Json& s) -> std::string {
    Json f = {{"taken", taken ? static_cast<std::int64_t>(*taken_value) : -1},
              {"remaining", *times == 0 ? -1 : static_cast<int>(*times)},
              {"skip", static_cast<int>(*after)}};
    if (auto subject = OptionAfter(args, "--subject")) f["subject"] = *subject;
    s["faults"][read ? "short_reads" : "short_writes"].push_back(f);
    return {};
  });
}

}  // namespace kit::vmachine
