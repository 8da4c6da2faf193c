// The platform a contract test runs against: the virtual machine on Linux
// (sim_env.cpp), the real Windows on the Windows build (win32_env.cpp).
// Every test gets a fresh environment.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "platform/platform.h"

namespace kit::contract {

class ContractEnv {
 public:
  virtual ~ContractEnv() = default;
  virtual Platform& platform() = 0;
  // An empty folder (Windows path, no trailing backslash) the test may fill.
  virtual WString ScratchFolder() = 0;
  // A name no printer, form, key or mutex on the machine has yet.
  virtual WString UniqueName(WStringView stem) = 0;
  // An installed printer driver that AddPrinter accepts, and a port for
  // test printers whose raw jobs go nowhere harmful.
  virtual WString TestDriverName() = 0;
  virtual WString TestPortName() = 0;
  // Lays the files of a printer driver the spooler accepts into `folder`
  // (a printer-driver folder of any environment) and names them in
  // *driver; false where the environment has none to lay.
  virtual bool LayTestDriverFiles(const WString& folder, DriverInfo3* driver) = 0;
  // True under Wine, where a test may name a known difference.
  virtual bool IsWine() const = 0;
  // Makes the rest of the test run as a user outside the Administrators
  // group; false where the environment cannot (the real Windows runs the
  // test as whoever started it).
  virtual bool BecomeStandardUser() { return false; }

  // A printer reachable through the outside USB libraries.
  struct UsbPrinter {
    std::uint16_t vid = 0;
    std::uint16_t pid = 0;
    std::uint16_t release = 0;
    std::string list_text;  // what the printer list shows for it, may be empty
  };
  // A folder (Windows path) holding KvUsbInt.dll and USBPrintDll.dll that
  // reach these printers in this order: the kit's stand-in libraries with
  // their printer file on Windows, the machine's plugged printers on Linux.
  virtual WString UsbLibraryFolder(const std::vector<UsbPrinter>& printers) = 0;
};

std::unique_ptr<ContractEnv> MakeContractEnv();

// The value tests put into the last error before a call, to see whether the
// call changed it.
inline constexpr win32::Error kSentinelError = 0x0BADF00D;

}  // namespace kit::contract
