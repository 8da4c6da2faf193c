// The printer-density option of the universal driver, named in the current
// language.
//
// The driver's own option tree carries the printer's density setting as an
// item whose option names say "Density" (or 浓度 / 濃度). The plug-in gives the
// item and each option a name from the "GPD" texts: the item is called by
// "RC_DENSITY" and option n by "RC_DENSITY_INDEX" followed by n.
// This file is OS-independent.
#pragma once

#include <string_view>

#include "plugin/core/com/host_types.h"
#include "plugin/core/com/interfaces.h"

namespace kit::plugin {

inline constexpr char16_t kDensitySection[] = u"GPD";
inline constexpr char16_t kDensityNameKey[] = u"RC_DENSITY";
inline constexpr char16_t kDensityNameBuiltin[] = u"Print Density";
inline constexpr char16_t kDensityIndexKey[] = u"RC_DENSITY_INDEX";
inline constexpr char16_t kDensityIndexBuiltin[] = u"Density";
inline constexpr std::size_t kDensityTextCapacity = 50;

// The tree level and option names by which the density item is recognised.
inline constexpr com::BYTE kDensityItemLevel = 2;
// The mode DrvUpdateUISetting is told: the document sheet (OEMCUIP_DOCPROP).
inline constexpr com::DWORD kDocumentSheetMode = 1;

// Renames the first density item among `param`'s driver items, marks it
// changed and tells the driver (DrvUpdateUISetting for the document sheet;
// skipped when `driver` is null). The new names live in module-wide storage
// that keeps its addresses for the life of the module, so the driver's
// pointers stay valid; the driver's own strings are never written to.
// Returns whether an item was renamed.
bool RenameDensityOption(com::OEMCUIPPARAM& param, com::IPrintOemDriverUI* driver, std::u16string_view item_name,
                         std::u16string_view option_name);

}  // namespace kit::plugin
