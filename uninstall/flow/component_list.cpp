// This file is OS-independent.
#include "uninstall/flow/component_list.h"

#include <algorithm>

#include "common/oscode/os_code.h"
#include "uninstall/flow/printer_records.h"

namespace kit::uninstall {

WString ProcessorEnvironment(int os_code, bool redirection) {
  if (os_code == kOsWin9x) return kEnvironmentWin40;
  if (redirection) return kEnvironmentX64;
  return kEnvironmentNtX86;
}

WString RemovalEnvironment(bool redirection) { return redirection ? WString(kEnvironmentX64) : WString(); }

std::vector<Component> BuildComponentList(const UninstallContext& ctx, std::vector<std::string>* not_listed) {
  Platform& p = ctx.platform;
  std::vector<Component> list;
  std::vector<std::string> unlisted;
  std::vector<WString> used_drivers;
  const auto printers = EnumLocalPrinters(p.spooler, 5);
  if (printers) {
    for (const auto& printer : *printers) {
      PrinterHandle handle;
      PrinterInfo2 info;
      if (OpenAndReadPrinter(p.spooler, p.system, printer.printer_name, &handle, &info) != PrinterRead::kOk) {
        unlisted.push_back(ctx.Ansi(printer.printer_name));
        continue;
      }
      used_drivers.push_back(info.driver_name);
      if (ctx.ini.IsFamilyDriver(ctx.Ansi(info.driver_name))) {
        list.push_back({ctx.Ansi(printer.printer_name), ComponentKind::kPrinter});
      }
    }
  } else {
    unlisted.emplace_back(kPrintersNotListed);
  }
  // Without the printers' drivers known, no driver can be called unused.
  if (printers && ctx.os_code >= kOsWin2000) {
    if (auto drivers = EnumDrivers(p.spooler, RemovalEnvironment(ctx.redirection))) {
      for (const auto& driver : *drivers) {
        const std::string name = ctx.Ansi(driver.name);
        const bool used = std::any_of(used_drivers.begin(), used_drivers.end(),
                                      [&](const WString& d) { return EqualsNoCase(d, driver.name); });
        const bool listed = std::any_of(list.begin(), list.end(), [&](const Component& c) {
          return c.kind == ComponentKind::kDriver && c.name == name;
        });
        if (!used && !listed && ctx.ini.IsFamilyDriver(name)) list.push_back({name, ComponentKind::kDriver});
      }
    } else {
      unlisted.emplace_back(kDriversNotListed);
    }
  }
  if (auto monitors = EnumMonitorNames(p.spooler)) {
    for (const auto& monitor : *monitors) {
      const std::string name = ctx.Ansi(monitor.name);
      if (ctx.ini.IsFamilyMonitor(name)) list.push_back({name, ComponentKind::kMonitor});
    }
  } else {
    unlisted.emplace_back(kMonitorsNotListed);
  }
  if (auto processors = EnumProcessorNames(p.spooler, ProcessorEnvironment(ctx.os_code, ctx.redirection))) {
    for (const auto& processor : *processors) {
      const std::string name = ctx.Ansi(processor.name);
      if (ctx.ini.IsFamilyProcessor(name)) list.push_back({name, ComponentKind::kProcessor});
    }
  } else {
    unlisted.emplace_back(kProcessorsNotListed);
  }
  if (not_listed != nullptr) *not_listed = std::move(unlisted);
  return list;
}

}  // namespace kit::uninstall
