// The universal printer driver's own pages, as stand-ins for a Linux host of
// the plug-in's sheets. On Windows every sheet begins with pages that are not
// the plug-in's (the document sheet with the driver's "Layout" and
// "Paper/Quality"), and the plug-in counts its tabs after them when it
// relabels them; a host that showed only the plug-in's pages would have its
// tabs relabelled onto the wrong pages.
#pragma once

#include <array>
#include <cstdint>
#include <string>

#include "ui/page.h"

namespace kit::plugin::host {

// How many pages of its own the universal driver puts before the plug-in's.
inline constexpr int kDriverPageCount = 2;

// The titles Windows gives those pages, in the user interface language of
// `language_id` (simplified and traditional Chinese; English otherwise).
std::array<std::u16string, kDriverPageCount> DriverPageTitles(bool document_sheet, std::uint16_t language_id);

// A page that only says whose page it stands for.
class DriverStandInPage final : public ui::Page {
 public:
  explicit DriverStandInPage(std::u16string title);
  const ui::DialogTemplate& Template() const override { return template_; }

 private:
  ui::DialogTemplate template_;
};

}  // namespace kit::plugin::host
