// The Version page (dialog 105), the last tab of both sheets: the driver's
// name, its version lines and a legal notice in the current language. It has
// no settings: the sheet's notifications are answered and change nothing.
// The document and the device sheet each remember their own copy of the page
// so that both can be repainted after a language change.
// This file is OS-independent.
#pragma once

#include "plugin/core/sheets/sheet_page.h"

namespace kit::plugin::version {

inline constexpr int kVersionDialogId = 105;

inline constexpr char16_t kVersionSection[] = u"VERSION";
inline constexpr std::size_t kVersionTextCapacity = 256;

// Controls of the template.
inline constexpr int kDriverNameId = 1301;   // "RC_STATIC_VER1"
inline constexpr int kOwnershipId = 1302;    // "RC_STATIC_VER2"
inline constexpr int kProductInfoId = 1304;  // "RC_STATIC_VER4"
inline constexpr int kVersionLinesId = 1305; // "RC_STATIC_VER5"
inline constexpr int kSeparatorId = 1308;    // line of underscores above the notice
inline constexpr int kNoticeId = 1309;       // "RC_STATIC_VER9"
// Texts that are loaded and set, with no control on the template to show
// them.
inline constexpr int kRightsId = 1303;       // "RC_STATIC_VER3"
inline constexpr int kAdditionalId = 1306;   // "RC_STATIC_VER6"
inline constexpr int kWebAddressId = 1307;   // "RC_STATIC_VER7"

struct VersionText {
  int control_id;
  const char16_t* key;
  const char16_t* builtin;
};
// The page's texts in the order they are set.
extern const VersionText kVersionTexts[8];

class VersionPage final : public sheets::SheetPage {
 public:
  explicit VersionPage(sheets::PageContext context) : SheetPage(context) {}

  const ui::DialogTemplate& Template() const override;
  // Set-active, kill-active and apply are handled and change nothing.
  ui::SheetReply OnSheet(ui::Window& window, ui::SheetEvent event) override;

  // Which module-wide slot this copy of the page records itself in.
  std::optional<sheets::PageSlot> Slot() const override;

 protected:
  void LoadTexts(ui::Window& window, const sheets::CurrentTexts& texts) override;
};

}  // namespace kit::plugin::version
