// The universal driver's paper-size option (the option item whose DMPubID is
// DMPUB_FORMNAME) as the Main page drives it: its readable option names, the
// entry to select, and a choice announced to the driver.
// This file is OS-independent.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "plugin/core/com/interfaces.h"

namespace kit::plugin::main {

inline constexpr com::BYTE kDmPubFormName = 9;  // DMPUB_FORMNAME

// The option names the page lists, each with its option index: options
// without a name are left out, so list index and option index may differ.
struct PaperOptions {
  com::OPTITEM* item = nullptr;  // null without a paper-size item
  std::vector<std::u16string> names;
  std::vector<int> option_index;

  // The list entry of option `option` (the item's Sel), -1 when not listed.
  int EntryOfOption(long option) const;
  // The entry a stored paper name selects: the same name without regard to
  // case, else the first that starts with it; -1 when none.
  int EntryOfName(std::u16string_view stored) const;
};

PaperOptions ReadPaperOptions(com::OEMCUIPPARAM* param);

// The user chose list entry `entry`: the item's Sel becomes its option,
// the item is marked changed and the driver told through
// DrvUpdateUISetting(poemuiobj, item, 0, OEMCUIP_DOCPROP). False (nothing
// done) for an entry outside the list.
bool ChoosePaper(const PaperOptions& options, int entry, com::OEMCUIPPARAM* param, com::IPrintOemDriverUI* driver);

}  // namespace kit::plugin::main
