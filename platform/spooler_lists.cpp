// This file is OS-independent.
#include "platform/spooler_lists.h"

namespace kit {
namespace {

// The two-pass call of an enumeration: measure, then read with the size
// Windows asked for.
template <typename Item, typename Call>
std::optional<std::vector<Item>> TwoPass(Call call) {
  std::vector<Item> items;
  std::uint32_t needed = 0, returned = 0;
  if (call(&items, 0u, &needed, &returned)) return items;
  if (needed == 0) return std::nullopt;
  if (!call(&items, needed, &needed, &returned)) return std::nullopt;
  return items;
}

}  // namespace

std::optional<std::vector<PrinterInfo2>> EnumLocalPrinters(Spooler& spooler, std::uint32_t level) {
  return TwoPass<PrinterInfo2>([&](auto* items, std::uint32_t size, std::uint32_t* needed, std::uint32_t* returned) {
    return spooler.EnumPrinters(kPrinterEnumLocal, u"", level, items, size, needed, returned);
  });
}

std::optional<std::vector<MonitorInfo2>> EnumMonitorNames(Spooler& spooler) {
  return TwoPass<MonitorInfo2>([&](auto* items, std::uint32_t size, std::uint32_t* needed, std::uint32_t* returned) {
    return spooler.EnumMonitors(u"", 1, items, size, needed, returned);
  });
}

std::optional<std::vector<PrintProcessorInfo1>> EnumProcessorNames(Spooler& spooler, WStringView environment) {
  return TwoPass<PrintProcessorInfo1>(
      [&](auto* items, std::uint32_t size, std::uint32_t* needed, std::uint32_t* returned) {
        return spooler.EnumPrintProcessors(u"", environment, items, size, needed, returned);
      });
}

std::optional<std::vector<DriverInfo3>> EnumDrivers(Spooler& spooler, WStringView environment) {
  return TwoPass<DriverInfo3>([&](auto* items, std::uint32_t size, std::uint32_t* needed, std::uint32_t* returned) {
    return spooler.EnumPrinterDrivers(u"", environment, items, size, needed, returned);
  });
}

}  // namespace kit
