// The headless dialog's items and ranges: list, combo and list-view items,
// tree items, trackbar, up-down and progress positions.
// This file is OS-independent.
#include <algorithm>
#include <charconv>

#include "ui/headless/control_kinds.h"
#include "ui/headless/dialog.h"

namespace kit::ui::headless {

// ---- Window: items

void Dialog::ClearItems(int id) {
  if (Control* c = Get(id)) {
    c->items.clear();
    c->item_checked.clear();
    c->selection = -1;
    c->tree.clear();
    c->tree_selection = 0;
    c->sub_items.clear();
  }
}

int Dialog::AddItem(int id, std::u16string_view text) {
  Control* c = Get(id);
  if (c == nullptr || !HasItems(c->def.kind)) return -1;
  auto at = c->items.end();
  if (c->def.Has(kSorted) && c->def.kind != ControlKind::kListView)
    at = std::upper_bound(c->items.begin(), c->items.end(), text,
                          [](std::u16string_view a, const std::u16string& b) { return LessNoCase(a, b); });
  const int index = static_cast<int>(at - c->items.begin());
  c->items.insert(at, std::u16string(text));
  c->item_checked.insert(c->item_checked.begin() + index, false);
  if (c->selection >= index) ++c->selection;
  return index;
}

void Dialog::DeleteItem(int id, int index) {
  Control* c = Get(id);
  if (c == nullptr || index < 0 || index >= static_cast<int>(c->items.size())) return;
  c->items.erase(c->items.begin() + index);
  c->item_checked.erase(c->item_checked.begin() + index);
  if (index < static_cast<int>(c->sub_items.size())) c->sub_items.erase(c->sub_items.begin() + index);
  if (c->selection == index)
    c->selection = -1;
  else if (c->selection > index)
    --c->selection;
}

int Dialog::ItemCount(int id) const {
  const Control* c = Get(id);
  return c != nullptr ? static_cast<int>(c->items.size()) : 0;
}

std::u16string Dialog::ItemText(int id, int index) const {
  const Control* c = Get(id);
  if (c == nullptr || index < 0 || index >= static_cast<int>(c->items.size())) return {};
  return c->items[index];
}

void Dialog::SetSelection(int id, int index) {
  Control* c = Get(id);
  if (c == nullptr) return;
  const bool valid = index >= 0 && index < static_cast<int>(c->items.size());
  c->selection = valid ? index : -1;
  if (c->def.kind == ControlKind::kComboBox && c->def.Has(kDropDownList)) c->text = valid ? c->items[index] : u"";
  if (c->def.kind == ControlKind::kComboBox && !c->def.Has(kDropDownList) && valid) c->text = c->items[index];
}

int Dialog::Selection(int id) const {
  const Control* c = Get(id);
  return c != nullptr ? c->selection : -1;
}

void Dialog::SetItemChecked(int id, int index, bool checked) {
  Control* c = Get(id);
  if (c == nullptr || index < 0 || index >= static_cast<int>(c->items.size())) return;
  c->item_checked[index] = checked;
}

bool Dialog::IsItemChecked(int id, int index) const {
  const Control* c = Get(id);
  if (c == nullptr || index < 0 || index >= static_cast<int>(c->items.size())) return false;
  return c->item_checked[index];
}

int Dialog::AddTreeItem(int id, int parent, std::u16string_view text) {
  Control* c = Get(id);
  if (c == nullptr || c->def.kind != ControlKind::kTreeView) return 0;
  if (parent < 0 || parent > static_cast<int>(c->tree.size())) return 0;
  c->tree.push_back({parent, std::u16string(text)});
  return static_cast<int>(c->tree.size());
}

void Dialog::SelectTreeItem(int id, int item) {
  Control* c = Get(id);
  if (c != nullptr && item >= 0 && item <= static_cast<int>(c->tree.size())) c->tree_selection = item;
}

int Dialog::SelectedTreeItem(int id) const {
  const Control* c = Get(id);
  return c != nullptr ? c->tree_selection : 0;
}

std::u16string Dialog::TreeItemText(int id, int item) const {
  const Control* c = Get(id);
  if (c == nullptr || item < 1 || item > static_cast<int>(c->tree.size())) return {};
  return c->tree[item - 1].text;
}

// ---- Window: ranges

void Dialog::SetRange(int id, int low, int high) {
  Control* c = Get(id);
  if (c == nullptr || !HasRange(c->def.kind)) return;
  c->low = low;
  c->high = high;
  SetPosition(id, c->position);
}

void Dialog::SetPosition(int id, int position) {
  Control* c = Get(id);
  if (c == nullptr || !HasRange(c->def.kind)) return;
  // An up-down's range may run backwards (low above high).
  const int lo = std::min(c->low, c->high), hi = std::max(c->low, c->high);
  c->position = std::clamp(position, lo, hi);
  if (c->def.kind == ControlKind::kUpDown && c->def.buddy != 0) {
    if (Control* buddy = Get(c->def.buddy)) {
      std::string digits = std::to_string(c->position);
      buddy->text.assign(digits.begin(), digits.end());
    }
  }
}

int Dialog::Position(int id) const {
  const Control* c = Get(id);
  if (c == nullptr) return 0;
  if (c->def.kind == ControlKind::kUpDown && c->def.buddy != 0) {
    // The position is read back from the buddy's text, as the system does.
    if (const Control* buddy = Get(c->def.buddy)) {
      std::string narrow(buddy->text.begin(), buddy->text.end());
      int value = 0;
      const auto [end, ec] = std::from_chars(narrow.data(), narrow.data() + narrow.size(), value);
      const int lo = std::min(c->low, c->high), hi = std::max(c->low, c->high);
      if (ec == std::errc() && end == narrow.data() + narrow.size() && value >= lo && value <= hi) return value;
    }
  }
  return c->position;
}

}  // namespace kit::ui::headless
