// The headless host's list-view columns, tree images, resource bitmaps and
// key filters, with the user actions that go with them (paste, a key, a
// double click, a command sent from outside), and the focus a person moves.
// This file is OS-independent.
#include <algorithm>

#include "common/strings/capacity.h"
#include "ui/headless/control_kinds.h"
#include "ui/headless/dialog.h"

namespace kit::ui::headless {
namespace {

bool IsEdit(const Control& c) { return c.def.kind == ControlKind::kEdit; }

bool IsList(const Control& c) {
  return c.def.kind == ControlKind::kListView || c.def.kind == ControlKind::kListBox;
}

}  // namespace

// ---- Window

void Dialog::SetColumn(int id, int column, std::u16string_view title, int width) {
  Control* c = Get(id);
  if (c == nullptr || c->def.kind != ControlKind::kListView || column < 0) return;
  if (column >= static_cast<int>(c->columns.size())) {
    c->columns.emplace_back(std::u16string(title), width);
    return;
  }
  c->columns[column] = {std::u16string(title), width};
}

void Dialog::SetSubItemText(int id, int index, int column, std::u16string_view text) {
  Control* c = Get(id);
  if (c == nullptr || c->def.kind != ControlKind::kListView) return;
  if (index < 0 || index >= static_cast<int>(c->items.size()) || column < 0) return;
  if (column == 0) {
    c->items[index] = std::u16string(text);
    return;
  }
  // Windows keeps no text for a column the list does not have.
  if (column >= static_cast<int>(c->columns.size())) return;
  if (c->sub_items.size() < c->items.size()) c->sub_items.resize(c->items.size());
  auto& row = c->sub_items[index];
  if (static_cast<int>(row.size()) < column) row.resize(column);
  row[column - 1] = std::u16string(text);
}

std::u16string Dialog::SubItemText(int id, int index, int column) const {
  const Control* c = Get(id);
  if (c == nullptr || index < 0 || index >= static_cast<int>(c->items.size()) || column < 0) return {};
  if (column == 0) return c->items[index];
  if (index >= static_cast<int>(c->sub_items.size())) return {};
  const auto& row = c->sub_items[index];
  return column - 1 < static_cast<int>(row.size()) ? row[column - 1] : std::u16string();
}

void Dialog::EnsureItemVisible(int id, int index) {
  Control* c = Get(id);
  if (c != nullptr && index >= 0 && index < static_cast<int>(c->items.size())) c->visible_item = index;
}

void Dialog::SetTreeImages(int id, const std::vector<int>& icon_ids) {
  Control* c = Get(id);
  if (c != nullptr && c->def.kind == ControlKind::kTreeView) c->tree_images = icon_ids;
}

int Dialog::AddTreeItemWithImage(int id, int parent, std::u16string_view text, int image) {
  const int item = AddTreeItem(id, parent, text);
  if (item > 0) Get(id)->tree[item - 1].image = image;
  return item;
}

void Dialog::ExpandTreeItem(int id, int item) {
  Control* c = Get(id);
  if (c != nullptr && item > 0 && item <= static_cast<int>(c->tree.size())) c->tree[item - 1].expanded = true;
}

void Dialog::SetTreeItemText(int id, int item, std::u16string_view text) {
  Control* c = Get(id);
  if (c != nullptr && item > 0 && item <= static_cast<int>(c->tree.size())) c->tree[item - 1].text = std::u16string(text);
}

void Dialog::ScrollTreeTo(int id, int item) {
  Control* c = Get(id);
  if (c != nullptr && item > 0 && item <= static_cast<int>(c->tree.size())) c->first_visible_tree_item = item;
}

void Dialog::ShowBitmapResource(int id, int resource_id) {
  Control* c = Get(id);
  if (c == nullptr || c->def.kind != ControlKind::kPicture) return;
  c->bitmap_resource = resource_id;
  c->bitmap = Bitmap{};
}

void Dialog::SetKeyFilter(int id, KeyFilter filter) {
  if (Control* c = Get(id)) c->key_filter = filter;
}

void Dialog::SheetUnchanged() { parent_messages_.push_back({kSheetUnchangedMessage, 0, 0, false}); }

// ---- user actions

bool Dialog::PressKey(int id, KeyPress key) {
  Control* c = Reachable(id);
  if (c == nullptr || !IsEdit(*c) || c->def.Has(kReadOnly)) return false;
  MoveFocus(id);  // the key goes to the edit, which has the focus first
  if ((c = Reachable(id)) == nullptr) return false;
  KeyAction action = c->key_filter != nullptr ? c->key_filter(key) : KeyAction::kPass;
  // A Tab the edit lets through is the dialog's: it moves the focus on.
  if (key.tab && action == KeyAction::kPass) action = key.shift ? KeyAction::kPreviousControl : KeyAction::kNextControl;
  if (action == KeyAction::kNextControl || action == KeyAction::kPreviousControl) {
    // The next (or previous) enabled, visible tab stop, wrapping round.
    const int n = static_cast<int>(controls_.size());
    int at = 0;
    while (at < n && controls_[at].def.id != id) ++at;
    const int step = action == KeyAction::kNextControl ? 1 : n - 1;
    for (int k = 1; k < n; ++k) {
      const Control& next = controls_[(at + k * step) % n];
      if (next.enabled && next.visible && next.def.Has(kTabStop)) {
        MoveFocus(next.def.id);
        break;
      }
    }
    return true;
  }
  if (action == KeyAction::kDrop) return true;
  // Control characters are edit keys (Backspace removes the last one).
  if (key.character == u'\b') {
    if (!c->text.empty()) c->text.pop_back();
  } else if (key.character >= 0x20 && !key.ctrl) {
    if (c->filter != nullptr && !c->filter(key.character)) return true;
    if (c->def.Has(kNumber) && (key.character < u'0' || key.character > u'9')) return true;
    if (c->def.text_limit > 0 && static_cast<int>(c->text.size()) >= c->def.text_limit) return true;
    c->text.push_back(key.character);
  } else {
    return true;
  }
  Command(id, ui::Notify::kChanged);
  return true;
}

bool Dialog::Paste(int id, std::u16string_view text) {
  Control* c = Reachable(id);
  if (c == nullptr || !IsEdit(*c) || c->def.Has(kReadOnly)) return false;
  MoveFocus(id);
  if ((c = Reachable(id)) == nullptr) return false;
  constexpr char16_t kCtrlV = 0x16;
  if (c->key_filter != nullptr && c->key_filter(KeyPress{kCtrlV, true}) != KeyAction::kPass) return true;
  std::u16string joined = c->text + std::u16string(text);
  if (c->def.text_limit > 0) joined = kit::CopyCapped(std::u16string_view{joined}, c->def.text_limit + 1);
  if (joined == c->text) return true;
  c->text = std::move(joined);
  Command(id, ui::Notify::kChanged);
  return true;
}

bool Dialog::DoubleClickItem(int id, int index) {
  Control* c = Reachable(id);
  if (c == nullptr || !IsList(*c) || index < 0 || index >= static_cast<int>(c->items.size())) return false;
  MoveFocus(id);
  if (Reachable(id) == nullptr || index >= static_cast<int>(c->items.size())) return false;
  if (c->selection != index) {
    c->selection = index;
    Command(id, ui::Notify::kSelChanged);
  }
  if (!ended_) Command(id, ui::Notify::kDoubleClicked);
  return true;
}

bool Dialog::SendCommand(int id) {
  if (ended_ || Get(id) == nullptr) return false;
  Command(id, ui::Notify::kClicked);
  return true;
}

bool Dialog::Focus(int id) {
  const Control* c = Reachable(id);
  if (c == nullptr || !TakesFocus(c->def.kind)) return false;
  MoveFocus(id);
  return true;
}

void Dialog::FocusLeaves() { MoveFocus(0); }

void Dialog::MoveFocus(int id) {
  // One window's focus: a page and the child pages inside it share it, so
  // the control left may be in any of them.
  Dialog* top = this;
  while (top->parent_ != nullptr &&
         std::any_of(top->parent_->children_.begin(), top->parent_->children_.end(),
                     [&](const auto& child) { return child.get() == top; }))
    top = top->parent_;
  std::vector<Dialog*> group{top};
  for (std::size_t i = 0; i < group.size(); ++i)
    for (auto& child : group[i]->children_) group.push_back(child.get());
  for (Dialog* d : group) {
    for (Control& c : d->controls_) {
      if (!c.focused || (d == this && c.def.id == id)) continue;
      c.focused = false;
      // The edit left tells its page (EN_KILLFOCUS).
      if (c.def.kind == ControlKind::kEdit && !d->ended_) d->Command(c.def.id, ui::Notify::kKillFocus);
    }
  }
  if (id == 0 || ended_) return;
  if (Control* c = Get(id)) c->focused = true;
}

int Dialog::FocusedControl() const {
  for (const auto& c : controls_)
    if (c.focused) return c.def.id;
  return 0;
}

}  // namespace kit::ui::headless
