// This file is OS-independent.
#include "plugin/pages/barcode/page_controls.h"

#include <algorithm>

namespace kit::plugin::barcode {

std::uint32_t ClampEdit(ui::Window& window, int edit_id, int spin_id, std::uint32_t low, std::uint32_t high) {
  const std::u16string text = window.Text(edit_id);
  const std::uint32_t value = std::clamp(EditNumber(text), low, high);
  // The spin writes its position into the edit: an edit the user emptied
  // keeps its place until the next digit.
  if (text.empty()) return value;
  window.SetPosition(spin_id, static_cast<int>(value));
  if (EditNumber(text) != value) window.SetText(edit_id, DigitsText(value));
  return value;
}

void SetPageTexts(ui::Window& window, const sheets::CurrentTexts& texts, std::u16string_view section,
                  std::span<const PageText> labels) {
  for (const PageText& label : labels)
    window.SetText(label.id, texts.Get(section, label.key, label.builtin, kLabelCapacity));
}

}  // namespace kit::plugin::barcode
