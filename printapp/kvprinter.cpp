// kvprinter: the family's printer application. An IPP Everywhere printer
// for every family printer attached by USB, on a network port (9100) or a
// file, so that Linux, macOS and Windows print to it without the kit's
// driver. PAPPL's main loop gives the commands:
//
//   kvprinter server [-o NAME=VALUE ...]        the service (system.h lists the options)
//   kvprinter drivers                           the family's drivers, one per model
//   kvprinter add -d NAME -m DRIVER -v DEVICE-URI
//   kvprinter submit [-d NAME] [-o OPTION=VALUE ...] FILE
//   kvprinter options [-d NAME]                 PAPPL's options, then the receipt options
//   kvprinter jobs, status, devices, default, delete, cancel, shutdown, ...
#include <pappl/pappl.h>

#include <cstring>
#include <string>
#include <vector>

#include "printapp/command_line.h"

#include "printapp/dnssd_off.h"
#include "printapp/driver.h"
#include "printapp/options_command.h"
#include "printapp/system.h"

namespace {

constexpr char kVersion[] = "1.0.0";
constexpr char kFooter[] = "Veldran receipt, ticket and label printers";

}  // namespace

int main(int argc, char* argv[]) {
  kit::printapp::SystemUse use;
  use.serving = argc > 1 && std::strcmp(argv[1], "server") == 0;
  if (argc > 1 && std::strcmp(argv[1], "devices") == 0 && !kit::printapp::AvahiRuns()) {
    const bool verbose = argc > 2 && std::strcmp(argv[2], "-v") == 0;
    return kit::printapp::ListDevicesWithoutDnssd(verbose);
  }
  std::vector<std::string> args = kit::printapp::WithCopiesOption(std::vector<std::string>(argv, argv + argc));
  std::vector<char*> pointers;
  for (std::string& arg : args) pointers.push_back(arg.data());
  pointers.push_back(nullptr);
  std::vector<pappl_pr_driver_t>& drivers = kit::printapp::Drivers();
  const int status = papplMainloop(static_cast<int>(args.size()), pointers.data(), kVersion, kFooter,
                                   static_cast<int>(drivers.size()), drivers.data(), kit::printapp::AutoAddCallback,
                                   kit::printapp::DriverCallback, nullptr, nullptr, kit::printapp::CreateSystem,
                                   nullptr, &use);
  // PAPPL's "options" lists the standard attributes; the receipt ones follow.
  if (status == 0 && argc > 1 && std::strcmp(argv[1], "options") == 0) {
    return kit::printapp::ListReceiptOptions(argc, argv);
  }
  return status;
}
