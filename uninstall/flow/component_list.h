// The list of the family's components found on the machine: printers (by
// their driver's name), then the family's drivers that no printer uses (an
// earlier removal that failed or was cut short leaves them), then port
// monitors, then print processors, each in the order the spooler enumerates
// them.
// This file is OS-independent.
#pragma once

#include <string>
#include <vector>

#include "uninstall/flow/context.h"

namespace kit::uninstall {

// The names of what a failed enumeration leaves unlisted.
inline constexpr char kPrintersNotListed[] = "the printers";
inline constexpr char kMonitorsNotListed[] = "the port monitors";
inline constexpr char kProcessorsNotListed[] = "the print processors";
inline constexpr char kDriversNotListed[] = "the printer drivers";
// What the window names when the stopped spooler does not start at its
// opening.
inline constexpr char kSpoolerNotStarted[] = "the print spooler (it does not start)";

enum class ComponentKind { kPrinter, kMonitor, kProcessor, kDriver };

// A list entry. Each keeps the kind of the enumeration that found it and is
// removed as that kind: classifying the name again would send a processor
// or printer whose name holds a monitor entry to DeleteMonitor for ever.
struct Component {
  std::string name;  // ANSI
  ComponentKind kind = ComponentKind::kPrinter;
  friend bool operator==(const Component&, const Component&) = default;
};

// The environment the print processors are listed for: "Windows 4.0" on
// Windows 9x, "Windows x64" on 64-bit Windows (named: the 32-bit program's
// own default would be the 32-bit one), "Windows NT x86" otherwise.
WString ProcessorEnvironment(int os_code, bool redirection);
// The environment of the spooler calls that remove a printer's driver and
// a print processor: "Windows x64" for the 32-bit program on 64-bit
// Windows, where its default would be "Windows NT x86" and miss the driver
// setup registered; the default elsewhere.
WString RemovalEnvironment(bool redirection);

// What the list could not hold is named in *not_listed (when given): a
// printer that cannot be opened or read (its driver, and so its family,
// unknown), or "the printers", "the port monitors", "the print processors"
// when the spooler does not enumerate them. Drivers are listed from Windows
// 2000 on (the removal deletes drivers there only); a driver is unused when
// no printer that could be read names it.
std::vector<Component> BuildComponentList(const UninstallContext& ctx, std::vector<std::string>* not_listed = nullptr);

}  // namespace kit::uninstall
