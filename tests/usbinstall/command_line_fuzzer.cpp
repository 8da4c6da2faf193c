// Fuzz target: the installer's command line. The input is split into
// arguments at line feeds; parsing must never fail, and the device count
// must stay in its range.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#include "usbinstall/action_table.h"
#include "usbinstall/command_line.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  std::vector<std::string> arguments;
  std::string current;
  for (std::size_t i = 0; i < size; ++i) {
    if (data[i] == '\n') {
      arguments.push_back(current);
      current.clear();
    } else {
      current.push_back(static_cast<char>(data[i]));
    }
  }
  arguments.push_back(current);
  const auto line = kit::usbinstall::ParseCommandLine(arguments);
  if (line.device_count < 1 || line.device_count > kit::usbinstall::kMaxDeviceCount) std::abort();
  (void)kit::usbinstall::InfFileOf(kit::usbinstall::KindOfAction(line.action));
  return 0;
}
