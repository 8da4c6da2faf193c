#include "setup/app/usb_queries.h"


namespace kit::setup {
namespace {

// Product ids of printers driven by the maker's driver.
constexpr unsigned kMakerDriverIds[] = {0x1000, 0x1001, 0x1002, 0x7A5C};
// Product ids from here up count only in the total.
constexpr unsigned kOtherDeviceIds = 0x2000;

bool IsMakerDriverId(unsigned id) {
  for (unsigned m : kMakerDriverIds)
    if (m == id) return true;
  return false;
}

}  // namespace

int ClassifyProductIds(const std::vector<unsigned>& ids) {
  if (ids.empty()) return kUsbMakerDriverOrNone;
  std::size_t maker = 0, classic = 0;
  for (unsigned id : ids) {
    if (IsMakerDriverId(id)) ++maker;
    else if (id < kOtherDeviceIds) ++classic;
  }
  if (ids.size() == 1) return maker == 1 ? kUsbMakerDriverOrNone : kUsbClassPrintersOnly;
  if (classic == ids.size()) return kUsbClassPrintersOnly;
  if (maker == ids.size()) return kUsbMakerDriverOrNone;
  return kUsbMixedPrinters;
}

}  // namespace kit::setup
