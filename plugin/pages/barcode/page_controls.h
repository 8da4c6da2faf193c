// What the two barcode pages do alike with their controls and their record.
// This file is OS-independent.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "plugin/core/devmode/private_devmode.h"
#include "plugin/core/sheets/current_texts.h"
#include "plugin/core/sheets/page_context.h"
#include "plugin/core/sheets/sheet_page.h"
#include "ui/page.h"
#include "ui/template.h"

namespace kit::plugin::barcode {

inline constexpr std::size_t kLabelCapacity = 256;

// A control's text: its key in the page's section and the built-in text.
struct PageText {
  int id;
  const char16_t* key;
  const char16_t* builtin;
};

// The number in a digits-only edit: its leading digits, 0 when there are
// none (an empty edit), capped so that no typed length can overflow.
inline std::uint32_t EditNumber(std::u16string_view text) {
  constexpr std::uint32_t kCap = 1000000;
  std::uint32_t value = 0;
  for (char16_t c : text) {
    if (c < u'0' || c > u'9') break;
    value = value * 10 + static_cast<std::uint32_t>(c - u'0');
    if (value > kCap) value = kCap;
  }
  return value;
}

inline std::u16string DigitsText(std::uint32_t value) {
  const std::string digits = std::to_string(value);
  return std::u16string(digits.begin(), digits.end());
}

// The value of a digits-only edit clamped to low..high, mirrored in its spin;
// a typed number outside the range is replaced by the clamped one. An empty
// edit gives low and is left empty for the user to fill.
std::uint32_t ClampEdit(ui::Window& window, int edit_id, int spin_id, std::uint32_t low, std::uint32_t high);

// Each control's text from `section`.
void SetPageTexts(ui::Window& window, const sheets::CurrentTexts& texts, std::u16string_view section,
                  std::span<const PageText> labels);

using sheets::SetComboItems;

// Edits the private settings record in place: decodes it, lets `change`
// alter it, encodes it back and tells the sheet. Without a record nothing is
// stored and the sheet is not told.
template <typename Change>
void EditRecord(const sheets::PageContext& context, ui::Window& window, Change change) {
  const auto span = context.PrivateRecord();
  if (!span) return;
  PrivateDevMode record = Decode(*span);
  change(record);
  Encode(record, *span);
  window.SheetChanged();
}

}  // namespace kit::plugin::barcode
