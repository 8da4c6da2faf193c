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

void SetComboItems(ui::Window& window, int id, const std::vector<std::u16string>& items) {
  bool same = window.ItemCount(id) == static_cast<int>(items.size());
  for (std::size_t i = 0; same && i < items.size(); ++i) same = window.ItemText(id, static_cast<int>(i)) == items[i];
  if (same) return;
  const int selected = window.Selection(id);
  window.ClearItems(id);
  for (const std::u16string& item : items) window.AddItem(id, item);
  if (selected >= 0 && selected < static_cast<int>(items.size())) window.SetSelection(id, selected);
}

}  // namespace kit::plugin::barcode
