#include "setup/usb/usb_printer_id.h"

#include <string_view>

#include "setup/usb/usb_queries.h"
#include "ui/text.h"

namespace kit::setup {
namespace {

constexpr std::string_view kReadFunctions[] = {"OpenDeviceX", "GetDescriptor", "CloseDevice"};
constexpr std::string_view kWriteFunctions[] = {"OpenDeviceX", "uWrite", "CloseDevice"};
// The pipe the command is written to.
constexpr int kCommandPipe = 0;

// The library from the package folder with every function the caller needs;
// null after the library's text.
template <std::size_t N>
std::unique_ptr<KvUsbInt> LoadKvUsbInt(const UsbEnv& env, UsbPrompts& prompts,
                                       const std::string_view (&functions)[N]) {
  auto library = env.platform.usb.LoadKvUsbInt(ui::FromAnsi(env.package_folder + "\\") + kKvUsbIntDll);
  if (!library) {
    prompts.Notice(kNoKvUsbIntText);
    return nullptr;
  }
  for (std::string_view f : functions) {
    if (!library->HasFunction(f)) {
      prompts.Notice(kNoUsbFunctionText);
      return nullptr;
    }
  }
  return library;
}

// The first index that opens a printer; an invalid handle when none does.
UsbDeviceHandle OpenFirstPrinter(KvUsbInt& library) {
  for (int index = 0; index < kUsbDeviceIndexCount; ++index) {
    const UsbDeviceHandle h = library.OpenDeviceX(index);
    if (IsValidUsbHandle(h)) return h;
  }
  return 0;
}

}  // namespace

IdWriteCommand MakeIdWriteCommand(int port_index) {
  IdWriteCommand command{};
  std::copy(kIdWritePrefix.begin(), kIdWritePrefix.end(), command.begin());
  command.back() = static_cast<std::uint8_t>(port_index - 1);
  return command;
}

// The library is released on every path by its owner; only valid handles
// are closed.
int ReadPrinterUsbId(const UsbEnv& env, UsbPrompts& prompts) {
  auto library = LoadKvUsbInt(env, prompts, kReadFunctions);
  if (!library) return kNoUsbPrinter;
  int found = 0;
  for (int index = 0; index < kUsbDeviceIndexCount; ++index) {
    const UsbDeviceHandle h = library->OpenDeviceX(index);
    if (!IsValidUsbHandle(h)) continue;
    library->CloseDevice(h);
    if (++found == 2) {
      prompts.Message("IDS_ERR_ONEPRINTER");
      return kSeveralUsbPrinters;
    }
  }
  const UsbDeviceHandle device = OpenFirstPrinter(*library);
  if (!IsValidUsbHandle(device)) return kNoUsbPrinter;
  std::uint8_t descriptor[kDescriptorBufferSize] = {};
  if (library->GetDescriptor(device, descriptor, sizeof descriptor) == 0) {
    prompts.Notice(kNoDeviceIdText);
    library->CloseDevice(device);
    return kNoUsbPrinter;
  }
  library->CloseDevice(device);
  return descriptor[kUsbDescriptorReleaseOffset] | (descriptor[kUsbDescriptorReleaseOffset + 1] << 8);
}

bool WritePrinterUsbId(const UsbEnv& env, UsbPrompts& prompts, int port_index) {
  if (port_index < 1 || port_index > kUsbDeviceIndexCount) return false;
  auto library = LoadKvUsbInt(env, prompts, kWriteFunctions);
  if (!library) return false;
  const UsbDeviceHandle device = OpenFirstPrinter(*library);
  if (!IsValidUsbHandle(device)) {
    prompts.Notice(kNoUsbDeviceText);
    return false;
  }
  const IdWriteCommand command = MakeIdWriteCommand(port_index);
  // Any byte taken counts, as the library reports success.
  const int written =
      library->uWrite(device, kCommandPipe, command.data(), static_cast<std::uint32_t>(command.size()));
  library->CloseDevice(device);
  if (written > 0) return true;
  prompts.Notice(kWriteIdFailedText);
  return false;
}

}  // namespace kit::setup
