// This file is OS-independent.
#include "usbinstall/update_install.h"

#include "common/exit_codes/exit_codes.h"
#include "usbinstall/os_code_bridge.h"

namespace kit::usbinstall {
namespace {

constexpr std::string_view kStartLine = "start install the device drivers.\r\n";
constexpr std::string_view kPreinstallSerialLine = "usb device no exist, start to preinstall.\r\n";
constexpr std::string_view kPreinstallLine = "USB device no exist, start to preinstall.\r\n";
constexpr std::string_view kUpdatedLine = "usb device already exist, start to install drivers.\r\n";

// Server 2003 and later may retry the copy of a package already in the store.
constexpr int kFirstOsWithReplaceCopy = kOsCodeServer2003;

}  // namespace

int RunUpdateOrPreinstall(InstallerContext& context, ActionKind kind) {
  const bool serial = kind == ActionKind::kUsbVirtualSerial;
  const int os_code = CurrentOsCode(context.system);
  const WString folder = Wide(context.system, context.program_folder);
  const WString inf_path = folder + u"\\" + Wide(context.system, InfFileOf(kind));

  context.view.AppendProgress(kStartLine);

  bool updated = false;
  bool reboot = false;
  for (const auto id : HardwareIdsOf(kind)) {
    if (context.devices.UpdateDriverForPlugAndPlayDevices(Wide(context.system, id), inf_path,
                                                          kInstallFlagForce, &reboot)) {
      updated = true;
      break;
    }
    reboot = false;
  }
  const win32::Error update_error = updated ? win32::kErrorSuccess : context.system.GetLastError();

  // On Windows 8 the printer and scanner packages always go into the store
  // as well, whatever the update did.
  const bool preinstall = (!updated && update_error != win32::kErrorSuccess) ||
                          (!serial && os_code == kOsCodeWin8);
  bool copied = false;
  if (preinstall) {
    context.view.AppendProgress(serial ? kPreinstallSerialLine : kPreinstallLine);
    WString destination;
    copied = context.devices.SetupCopyOEMInf(inf_path, folder, kSpostPath, kSpCopyNoOverwrite, &destination);
    // A package already in the store refuses the copy with 80: it is there.
    const bool already_there = !copied && context.system.GetLastError() == win32::kErrorFileExists;
    if (!copied && !serial && os_code >= kFirstOsWithReplaceCopy) {
      copied = context.devices.SetupCopyOEMInf(inf_path, folder, kSpostPath, kSpCopyReplaceOnly, &destination);
    }
    copied = copied || already_there;
  }

  if (updated && kind != ActionKind::kUsbPrinter) context.view.AppendProgress(kUpdatedLine);

  if (kind == ActionKind::kUsbPrinter && context.devices.HasConfigManager()) {
    std::uint32_t root = 0;
    if (context.devices.CM_Locate_DevNode(&root, u"", kCmLocateDevnodeNormal) == win32::kCrSuccess) {
      context.devices.CM_Reenumerate_DevNode(root, kCmReenumerateNormal);
    }
  }
  if (!updated && !copied) return exit_code::kFailed;
  return reboot ? exit_code::kRestartNeeded : exit_code::kDone;
}

}  // namespace kit::usbinstall
