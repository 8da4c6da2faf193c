// This file is OS-independent.
#include "uninstall/flow/usb_option.h"

#include <string_view>

#include "platform/usb_probe.h"
#include "usbinstall/removal.h"

namespace kit::uninstall {
namespace {

constexpr std::string_view kProbeFunctions[] = {"OpenDeviceX", "GetDescriptor", "CloseDevice"};

}  // namespace

ProbeAnswer ProbeUsbPrinter(const UninstallContext& ctx, const MessageBoxFn& box, unsigned* release) {
  LoadedKvUsbInt loaded = LoadKvUsbIntWith(ctx.platform.usb, ctx.Wide(ctx.current_directory) + u"\\" + kKvUsbIntDll,
                                           kProbeFunctions);
  if (loaded.outcome != KvUsbIntLoad::kLoaded) {
    box(loaded.outcome == KvUsbIntLoad::kNoLibrary ? kNoUsbLibrary : kNoUsbFunction);
    return ProbeAnswer::kNoDevice;
  }
  const UsbRelease read = ReadUsbRelease(*loaded.library);
  switch (read.outcome) {
    case UsbReleaseOutcome::kRelease:
      *release = read.release;
      return ProbeAnswer::kRelease;
    case UsbReleaseOutcome::kSeveralPrinters:
      return ProbeAnswer::kSeveralDevices;
    case UsbReleaseOutcome::kNoDescriptor:
      box(kNoDeviceId);
      return ProbeAnswer::kNoDevice;
    case UsbReleaseOutcome::kNoPrinter:
      break;
  }
  return ProbeAnswer::kNoDevice;
}

bool OfferUsbRemoval(const UninstallContext& ctx, const MessageBoxFn& box, bool needs_printer) {
  Platform& p = ctx.platform;
  const WString windows = p.system.GetWindowsDirectory();
  bool driver_present = false;
  auto look = [&] {
    driver_present = p.files.GetFileAttributes(windows + kUsbDriverFile) != kInvalidFileAttributes ||
                     p.files.GetFileAttributes(windows + kBulkUsbDriverFile) != kInvalidFileAttributes;
  };
  if (ctx.redirection) {
    if (!p.files.HasFsRedirectionFunctions()) {
      box(kNoRevertFunction);
      return true;
    }
    ScopedFsRedirectionOff off(p.files);
    if (!off.Active()) return true;
    look();
  } else {
    look();
  }
  // The probe runs only with a driver installed, so that a machine without
  // it shows no library message.
  if (!driver_present && !needs_printer) {
    // Windows may hold the driver's package without its file (a device
    // install refused after the package went into the store): Install's
    // removal finds it by its INF there, and so does this offer.
    driver_present =
        !usbinstall::FindFamilyInfCopies(p.files, p.system, usbinstall::ActionKind::kRemoveUsbPrinter,
                                         usbinstall::InfFolderOf(p.system))
             .copies.empty();
  }
  if (!driver_present) return false;
  if (!needs_printer) return true;
  unsigned release = 0;
  return ProbeUsbPrinter(ctx, box, &release) != ProbeAnswer::kNoDevice;
}

}  // namespace kit::uninstall
