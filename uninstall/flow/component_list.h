// The list of the family's components found on the machine: printers (by
// their driver's name), then port monitors, then print processors, each in
// the order the spooler enumerates them.
// This file is OS-independent.
#pragma once

#include <string>
#include <vector>

#include "uninstall/flow/context.h"

namespace kit::uninstall {

enum class ComponentKind { kPrinter, kMonitor, kProcessor };

// A list entry. Each keeps the kind of the enumeration that found it and is
// removed as that kind: classifying the name again would send a processor
// or printer whose name holds a monitor entry to DeleteMonitor for ever.
struct Component {
  std::string name;  // ANSI
  ComponentKind kind = ComponentKind::kPrinter;
  friend bool operator==(const Component&, const Component&) = default;
};

// The environment the print processors are listed for: "Windows 4.0" on
// Windows 9x, the program's default one on 64-bit Windows, "Windows NT x86"
// otherwise.
WString ProcessorEnvironment(int os_code, bool redirection);

std::vector<Component> BuildComponentList(const UninstallContext& ctx);

}  // namespace kit::uninstall
