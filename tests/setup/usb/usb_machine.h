// The wizard's USB routines on a virtual machine with the sample kit:
// family printers plugged as the machine tool plugs them, the kit's USB
// library in the package folder, setup.ini keys changed per test.
#pragma once

#include <string>
#include <vector>

#include "setup/usb/usb_env.h"
#include "tests/setup/install/install_machine.h"

namespace kit::setup::testing {

struct PluggedPrinter {
  PluggedPrinter(unsigned pid_in = 0x1000, unsigned release_in = 0, bool kvusb_in = true, std::string enum_text_in = {},
                 std::vector<std::string> ids_in = {})
      : pid(pid_in), release(release_in), kvusb(kvusb_in), enum_text(std::move(enum_text_in)), ids(std::move(ids_in)) {}
  unsigned pid = 0x1000;
  unsigned release = 0;
  bool kvusb = true;              // reachable through KvUsbInt.dll
  std::string enum_text;          // its entry in USBPrintDll.dll's text
  std::vector<std::string> ids;   // hardware ids; empty: "USB\VID_7A5C&PID_xxxx&REV_xxxx", "USB\VID_...&PID_..."
};

class UsbMachine : public EngineMachine {
 public:
  explicit UsbMachine(const std::string& preset = "win7-x64-en");
  UsbEnv env() { return UsbEnv{platform(), "C:\\kit", ctx().is_64bit}; }

  void Plug(const PluggedPrinter& printer);
  // The release numbers of the plugged printers and the bytes written to
  // each (hex), in plug order.
  std::vector<unsigned> Releases();
  std::vector<std::vector<std::string>> Writes();
  // setup.ini [DEVICENAME] key = value (replaced or added).
  void SetDeviceNameKey(const std::string& key, const std::string& value);
  // Takes a library or one of its functions away ("KvUsbInt.dll!uWrite").
  void Missing(const std::string& name);
  // The version text of a file's version resource.
  void SetFileVersion(const std::string& windows_path, const std::string& version);
  // Programs started: "file|parameters|verb|show".
  std::vector<std::string> Launches();
};

}  // namespace kit::setup::testing
