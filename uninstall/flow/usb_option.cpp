// This file is OS-independent.
#include "uninstall/flow/usb_option.h"

namespace kit::uninstall {
namespace {

constexpr const char* kProbeFunctions[] = {"OpenDeviceX", "GetDescriptor", "CloseDevice"};

}  // namespace

ProbeAnswer ProbeUsbPrinter(const UninstallContext& ctx, const MessageBoxFn& box, unsigned* release) {
  auto library = ctx.platform.usb.LoadKvUsbInt(ctx.Wide(ctx.current_directory) + u"\\" + kKvUsbIntDll);
  if (!library) {
    box(kNoUsbLibrary);
    return ProbeAnswer::kNoDevice;
  }
  for (const char* f : kProbeFunctions) {
    if (!library->HasFunction(f)) {
      box(kNoUsbFunction);
      return ProbeAnswer::kNoDevice;
    }
  }
  int found = 0;
  for (int index = 0; index < kUsbDeviceIndexes; ++index) {
    const UsbDeviceHandle h = library->OpenDeviceX(index);
    if (!IsValidUsbHandle(h)) continue;
    library->CloseDevice(h);
    if (++found == 2) return ProbeAnswer::kSeveralDevices;
  }
  UsbDeviceHandle device = 0;
  for (int index = 0; index < kUsbDeviceIndexes && !IsValidUsbHandle(device); ++index) {
    device = library->OpenDeviceX(index);
  }
  if (!IsValidUsbHandle(device)) return ProbeAnswer::kNoDevice;
  std::uint8_t descriptor[kProbeDescriptorBuffer] = {};
  if (library->GetDescriptor(device, descriptor, sizeof descriptor) == 0) {
    box(kNoDeviceId);
    library->CloseDevice(device);
    return ProbeAnswer::kNoDevice;
  }
  library->CloseDevice(device);
  *release = descriptor[kUsbDescriptorReleaseOffset] | (descriptor[kUsbDescriptorReleaseOffset + 1] << 8);
  return ProbeAnswer::kRelease;
}

bool OfferUsbRemoval(const UninstallContext& ctx, const MessageBoxFn& box) {
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
  if (!driver_present) return false;
  unsigned release = 0;
  return ProbeUsbPrinter(ctx, box, &release) != ProbeAnswer::kNoDevice;
}

}  // namespace kit::uninstall
