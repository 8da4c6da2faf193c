// The Font page (dialog 119) of the device sheet: which printer fonts the
// driver offers and the point size at which each prints, as a tree. It
// stores nothing; Apply only reports CPSUI_OK.
// This file is OS-independent.
#pragma once

#include <cstddef>

#include "plugin/core/sheets/sheet_page.h"

namespace kit::plugin::font {

inline constexpr int kFontPageId = 119;
inline constexpr char16_t kFontSection[] = u"FONT";
inline constexpr std::size_t kFontTextCapacity = 256;

// Controls of the template.
inline constexpr int kFontTreeId = 1201;
inline constexpr int kFontListId = 1202;  // hidden: the same fonts in two columns
inline constexpr int kFontNoticeId = 1203;

// The tree's images: icons of the module for the root, the groups and the
// fonts.
inline constexpr int kRootIconId = 125;
inline constexpr int kGroupIconId = 126;
inline constexpr int kFontIconId = 127;

struct FontGroup {
  const char16_t* name;
  std::vector<const char16_t*> fonts;  // item texts: name and point size
};
// The groups in tree order.
const std::vector<FontGroup>& FontGroups();

class FontPage final : public sheets::SheetPage {
 public:
  explicit FontPage(sheets::PageContext context) : SheetPage(context) {}

  const ui::DialogTemplate& Template() const override;
  std::optional<sheets::PageSlot> Slot() const override { return sheets::PageSlot::kFont; }

 protected:
  void LoadTexts(ui::Window& window, const sheets::CurrentTexts& texts) override;
  void ShowValues(ui::Window& window) override;

 private:
  int root_ = 0;
};

}  // namespace kit::plugin::font
