// Fuzz target: the texts the wizard reads from outside for its USB handling
// (a device's hardware id, the connected-printer text of USBPrintDll.dll,
// the driver's version texts). The input is split at its first line feed
// into a model name (or installed version) and the text; every reader must
// stay within the bytes given and answer within its range.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "setup/usb/usb_classification.h"
#include "setup/usb/usb_driver.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view input(reinterpret_cast<const char*>(data), size);
  const std::size_t split = input.find('\n');
  const std::string_view first = input.substr(0, split);
  const std::string_view rest = split == std::string_view::npos ? std::string_view() : input.substr(split + 1);

  const int lookup = kit::setup::LookUpClassPrinter(rest, first);
  if (lookup < 0 || lookup > 5) std::abort();
  if (const auto product = kit::setup::ProductIdOf(input); product && *product > 0xFFFF) std::abort();
  const int check = kit::setup::CompareUsbDriverVersions(first, rest);
  if (check < -1 || check > 1) std::abort();
  return 0;
}
