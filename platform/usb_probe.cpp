// This file is OS-independent.
#include "platform/usb_probe.h"

namespace kit {

LoadedKvUsbInt LoadKvUsbIntWith(UsbLibraries& usb, WStringView dll_path,
                                std::span<const std::string_view> functions) {
  LoadedKvUsbInt loaded;
  auto library = usb.LoadKvUsbInt(dll_path);
  if (!library) return loaded;
  for (std::string_view f : functions) {
    if (!library->HasFunction(f)) {
      loaded.outcome = KvUsbIntLoad::kMissingFunction;
      return loaded;
    }
  }
  loaded.outcome = KvUsbIntLoad::kLoaded;
  loaded.library = std::move(library);
  return loaded;
}

bool ReadOpenRelease(KvUsbInt& library, UsbDeviceHandle device, unsigned* release) {
  std::uint8_t descriptor[kUsbDescriptorBufferSize] = {};
  if (library.GetDescriptor(device, descriptor, sizeof descriptor) == 0) return false;
  *release = descriptor[kUsbDescriptorReleaseOffset] | (descriptor[kUsbDescriptorReleaseOffset + 1] << 8);
  return true;
}

UsbDeviceHandle OpenFirstUsbPrinter(KvUsbInt& library) {
  for (int index = 0; index < kUsbPrinterIndexCount; ++index) {
    const UsbDeviceHandle h = library.OpenDeviceX(index);
    if (IsValidUsbHandle(h)) return h;
  }
  return 0;
}

UsbRelease ReadUsbRelease(KvUsbInt& library) {
  int found = 0;
  for (int index = 0; index < kUsbPrinterIndexCount; ++index) {
    const UsbDeviceHandle h = library.OpenDeviceX(index);
    if (!IsValidUsbHandle(h)) continue;
    library.CloseDevice(h);
    if (++found == 2) return {UsbReleaseOutcome::kSeveralPrinters};
  }
  const UsbDeviceHandle device = OpenFirstUsbPrinter(library);
  if (!IsValidUsbHandle(device)) return {UsbReleaseOutcome::kNoPrinter};
  unsigned release = 0;
  const bool read = ReadOpenRelease(library, device, &release);
  library.CloseDevice(device);
  if (!read) return {UsbReleaseOutcome::kNoDescriptor};
  return {UsbReleaseOutcome::kRelease, release};
}

}  // namespace kit
