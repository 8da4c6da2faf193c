#include "setup/usb/usb_printer_id.h"

#include <span>
#include <string_view>

#include "platform/usb_probe.h"
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
std::unique_ptr<KvUsbInt> LoadKvUsbInt(const UsbEnv& env, UsbPrompts& prompts,
                                       std::span<const std::string_view> functions) {
  LoadedKvUsbInt loaded =
      LoadKvUsbIntWith(env.platform.usb, ui::FromAnsi(env.package_folder + "\\") + kKvUsbIntDll, functions);
  if (loaded.outcome == KvUsbIntLoad::kNoLibrary) prompts.Notice(kNoKvUsbIntText);
  if (loaded.outcome == KvUsbIntLoad::kMissingFunction) prompts.Notice(kNoUsbFunctionText);
  return std::move(loaded.library);
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
  const UsbRelease read = ReadUsbRelease(*library);
  switch (read.outcome) {
    case UsbReleaseOutcome::kRelease:
      return static_cast<int>(read.release);
    case UsbReleaseOutcome::kSeveralPrinters:
      prompts.Message("IDS_ERR_ONEPRINTER");
      return kSeveralUsbPrinters;
    case UsbReleaseOutcome::kNoDescriptor:
      prompts.Notice(kNoDeviceIdText);
      return kNoUsbPrinter;
    case UsbReleaseOutcome::kNoPrinter:
      break;
  }
  return kNoUsbPrinter;
}

bool WritePrinterUsbId(const UsbEnv& env, UsbPrompts& prompts, int port_index) {
  if (port_index < 1 || port_index > kUsbDeviceIndexCount) return false;
  auto library = LoadKvUsbInt(env, prompts, kWriteFunctions);
  if (!library) return false;
  const UsbDeviceHandle device = OpenFirstUsbPrinter(*library);
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
