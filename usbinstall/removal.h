// Removing the family's device drivers: the present devices of the family,
// the package files, and every copy of the package Windows keeps in its
// "inf" folder.
// This file is OS-independent.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/files.h"
#include "platform/system.h"
#include "platform/win32_errors.h"

#include "usbinstall/action_table.h"
#include "usbinstall/installer_context.h"

namespace kit::usbinstall {

// Values of an INF's [Version] and [Strings] read as a profile file; the
// capacity of each value read.
inline constexpr std::size_t kInfValueCapacity = 200;

// Product ids of the family's printers; every other family id is a scanner
// or another device.
inline constexpr unsigned kFirstPrinterProductId = 0x1000;
inline constexpr unsigned kLastPrinterProductId = 0x15FF;

// The family product id of a device's first hardware id: the four hex
// digits after "USB\VID_7A5C&PID_" or "USB\Vid_7a5c&Pid_" (exactly these two
// spellings). Nothing for another device.
std::optional<unsigned> FamilyProductId(WStringView first_hardware_id);

// Whether the removal `kind` removes a family device with `product_id`.
bool RemovesProduct(ActionKind kind, unsigned product_id);

// An INF file read as a profile file: the value of a key as
// GetPrivateProfileStringA returns it (capacity kInfValueCapacity, empty
// when absent).
class InfValues {
 public:
  virtual ~InfValues() = default;
  virtual std::string Get(std::string_view section, std::string_view key) const = 0;
};

// Whether the INF carries the family signature of the removal `kind`. The
// class and every substring are compared with their letter case.
bool HasFamilySignature(ActionKind kind, const InfValues& inf);

// The family's INF copies of the removal `kind` in `inf_folder` (Windows
// keeps a package it was given there as "oem<n>.inf"). `searched` is false,
// with the search's error, when the folder could not be searched.
struct FamilyInfSearch {
  bool searched = false;
  win32::Error error = 0;
  std::vector<WString> copies;
};
FamilyInfSearch FindFamilyInfCopies(Files& files, SystemFacts& system, ActionKind kind, WStringView inf_folder);
// The Windows "inf" folder, with its closing backslash.
WString InfFolderOf(SystemFacts& system);

// The precompiled twin of an INF: its last three characters become "PNF".
WString PnfTwinOf(WStringView inf_path);

// Actions 11, 22, 44 and 88. The walk never stops early; its exit status
// is failed when a device could not be removed or a package file could not
// be deleted (a missing one is no failure), else done.
int RunRemoval(InstallerContext& context, ActionKind kind);

}  // namespace kit::usbinstall
