// This file is OS-independent.
#include "usbinstall/run_action.h"

#include "usbinstall/action_table.h"
#include "usbinstall/class_driver.h"
#include "usbinstall/network_ports.h"
#include "usbinstall/removal.h"
#include "usbinstall/update_install.h"

namespace kit::usbinstall {

int RunAction(InstallerContext& context, const CommandLine& command_line) {
  const ActionKind kind = KindOfAction(command_line.action);
  switch (kind) {
    case ActionKind::kClassDriver: return RunClassDriverInstall(context, command_line);
    case ActionKind::kNetworkSerial: return RunNetworkPorts(context, command_line.device_count);
    case ActionKind::kRemoveUsbSerial:
    case ActionKind::kRemoveUsbPrinter:
    case ActionKind::kRemoveUsbScanner:
    case ActionKind::kRemoveNetworkSerial: return RunRemoval(context, kind);
    case ActionKind::kUsbPrinter:
    case ActionKind::kUsbVirtualSerial:
    case ActionKind::kUsbScanner: return RunUpdateOrPreinstall(context, kind);
  }
  return RunUpdateOrPreinstall(context, ActionKind::kUsbPrinter);  // every other code
}

}  // namespace kit::usbinstall
