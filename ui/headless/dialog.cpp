#include "ui/headless/dialog.h"

#include <algorithm>

#include "common/strings/capacity.h"
#include "ui/headless/control_kinds.h"
#include "ui/headless/sheet.h"

namespace kit::ui::headless {
namespace {

// Windows raises timer periods below 10 ms to 10 ms.
constexpr int kMinimumTimerMs = 10;
// Dialog-unit to pixel factors of an 8-point dialog font at 96 dpi
// (horizontal base 6 pixels per 4 units, vertical 13 pixels per 8 units).
constexpr int kBaseUnitX = 6;
constexpr int kBaseUnitY = 13;
// An IP address control holds four fields of 0 to 255.
constexpr int kIpFields = 4;
constexpr int kIpFieldMax = 255;

std::u16string Visible(std::u16string_view s) {
  std::u16string out;
  for (char16_t c : s)
    if (c != u'&') out.push_back(Fold(c));
  return out;
}

bool TakesText(const ControlTemplate& c) {
  return c.kind == ControlKind::kEdit || c.kind == ControlKind::kIpAddress ||
         (c.kind == ControlKind::kComboBox && !c.Has(kDropDownList));
}

class RecordingPainter final : public Painter {
 public:
  explicit RecordingPainter(Rect client) : client_(client) {}
  Rect ClientRect() const override { return client_; }
  void DrawText(const Rect& box, std::u16string_view text, const FontSpec& font, Color color,
                TextAlign align) override {
    ops.push_back({PaintOp::Kind::kText, box, std::u16string(text), font, color, align});
  }
  void FillRect(const Rect& box, Color color) override {
    ops.push_back({PaintOp::Kind::kFill, box, {}, {}, color, TextAlign::kLeft});
  }
  std::vector<PaintOp> ops;

 private:
  Rect client_;
};

}  // namespace

bool SameVisibleText(std::u16string_view a, std::u16string_view b) { return Visible(a) == Visible(b); }

bool ValidIpText(std::u16string_view text) {
  if (text.empty()) return true;
  int fields = 0;
  std::size_t start = 0;
  while (true) {
    const std::size_t dot = text.find(u'.', start);
    const auto field = text.substr(start, dot == std::u16string_view::npos ? text.size() - start : dot - start);
    if (field.empty() || field.size() > 3) return false;
    int value = 0;
    for (char16_t c : field) {
      if (c < u'0' || c > u'9') return false;
      value = value * 10 + (c - u'0');
    }
    if (value > kIpFieldMax) return false;
    ++fields;
    if (dot == std::u16string_view::npos) break;
    start = dot + 1;
  }
  return fields == kIpFields;
}

// ---------------------------------------------------------------- Environment

void Environment::Advance(std::int64_t milliseconds) {
  const std::int64_t until = now_ + std::max<std::int64_t>(milliseconds, 0);
  while (true) {
    Dialog* next = nullptr;
    std::int64_t when = 0;
    int timer_id = 0;
    for (Dialog* d : dialogs_) {
      std::int64_t w = 0;
      int id = 0;
      if (d->NextDue(until, &w, &id) && (next == nullptr || w < when)) next = d, when = w, timer_id = id;
    }
    if (next == nullptr) break;
    now_ = std::max(now_, when);
    next->RunTimer(timer_id, when);
  }
  now_ = until;
}

int Environment::ShowMessageBox(ShownMessageBox box) {
  if (!answers_.empty()) {
    box.answer = answers_.front();
    answers_.pop_front();
  } else if (responder) {
    box.answer = responder(box);
  } else {
    box.answer = DefaultAnswer(box.style);
    ++unanswered_;
  }
  boxes_.push_back(box);
  return box.answer;
}

void Environment::Register(Dialog* dialog) { dialogs_.push_back(dialog); }
void Environment::Unregister(Dialog* dialog) { std::erase(dialogs_, dialog); }

// ---------------------------------------------------------------- Dialog

Dialog::Dialog(Page& page, Environment& env, Dialog* parent, Sheet* sheet)
    : page_(page), env_(env), parent_(parent), sheet_(sheet) {
  env_.Register(this);
}

Dialog::~Dialog() {
  children_.clear();
  env_.Unregister(this);
}

void Dialog::Create() {
  const DialogTemplate& t = page_.Template();
  caption_ = t.caption;
  controls_.clear();
  for (const auto& def : t.controls) {
    Control c;
    c.def = def;
    if (def.kind != ControlKind::kPicture && def.kind != ControlKind::kIcon) c.text = def.text;
    c.enabled = !def.Has(kDisabled);
    c.visible = !def.Has(kHidden);
    if (def.kind == ControlKind::kUpDown) c.low = 0, c.high = 100;  // the system's defaults
    controls_.push_back(std::move(c));
  }
  created_ = true;
  ++depth_;
  page_.OnInit(*this);
  --depth_;
  DrainPosted();
}

Control* Dialog::Get(int id) {
  for (auto& c : controls_)
    if (c.def.id == id) return &c;
  return nullptr;
}
const Control* Dialog::Get(int id) const { return const_cast<Dialog*>(this)->Get(id); }
const Control* Dialog::Find(int id) const { return Get(id); }

const Control* Dialog::FindByText(std::u16string_view text) const {
  for (const auto& c : controls_)
    if (c.visible && !c.text.empty() && SameVisibleText(c.text, text)) return &c;
  return nullptr;
}

Control* Dialog::Reachable(int id) {
  if (ended_) return nullptr;
  Control* c = Get(id);
  if (c == nullptr || !c->enabled || !c->visible) return nullptr;
  return c;
}

std::vector<Dialog*> Dialog::Children() {
  std::vector<Dialog*> out;
  for (auto& c : children_) out.push_back(c.get());
  return out;
}

// ---- handlers

void Dialog::Command(int id, ui::Notify code) {
  ++depth_;
  const bool handled = page_.OnCommand(*this, id, code);
  if (!handled && code == ui::Notify::kClicked) DefaultCommand(id);
  --depth_;
  DrainPosted();
}

void Dialog::DefaultCommand(int id) {
  // A dialog box ends on an unhandled OK or Cancel.
  if (id == kIdOk || id == kIdCancel) EndDialog(id);
}

void Dialog::DrainPosted() {
  if (depth_ != 0) return;
  while (!posted_.empty() && !ended_) {
    const int id = posted_.front();
    posted_.pop_front();
    Command(id, ui::Notify::kClicked);
  }
}

// ---- user actions

bool Dialog::Click(int id) {
  Control* c = Reachable(id);
  if (c == nullptr) return false;
  // A button takes the focus as the mouse goes down, before it is clicked.
  if (TakesFocus(c->def.kind)) {
    MoveFocus(id);
    if ((c = Reachable(id)) == nullptr) return false;
  }
  switch (c->def.kind) {
    case ControlKind::kCheckBox: c->checked = !c->checked; break;
    case ControlKind::kRadioButton: {
      // Automatic radio buttons: the clicked one is checked, the others of
      // its group cleared. A group runs from a kGroup control to the next.
      const auto self = static_cast<std::size_t>(c - controls_.data());
      std::size_t first = self;
      while (first > 0 && !controls_[first].def.Has(kGroup)) --first;
      for (std::size_t i = first; i < controls_.size(); ++i) {
        if (i > first && controls_[i].def.Has(kGroup)) break;
        if (controls_[i].def.kind == ControlKind::kRadioButton) controls_[i].checked = (i == self);
      }
      break;
    }
    case ControlKind::kPushButton: break;
    case ControlKind::kStatic:
    case ControlKind::kPicture:
      if (!c->def.Has(kNotify)) return false;
      break;
    default: return false;
  }
  Command(id, ui::Notify::kClicked);
  return true;
}

bool Dialog::Type(int id, std::u16string_view text) {
  Control* c = Reachable(id);
  if (c == nullptr || !TakesText(c->def) || c->def.Has(kReadOnly)) return false;
  MoveFocus(id);
  if (Reachable(id) == nullptr) return false;
  std::u16string kept;
  for (char16_t ch : text) {
    if (c->key_filter != nullptr && c->key_filter(KeyPress{ch}) != KeyAction::kPass) continue;
    if (c->filter != nullptr && !c->filter(ch)) continue;
    if (c->def.Has(kNumber) && (ch < u'0' || ch > u'9')) continue;
    kept.push_back(ch);
  }
  if (c->def.kind == ControlKind::kIpAddress && !ValidIpText(kept)) return false;
  if (c->def.text_limit > 0) kept = kit::CopyCapped(std::u16string_view{kept}, c->def.text_limit + 1);
  c->text = std::move(kept);
  Command(id, ui::Notify::kChanged);
  return true;
}

bool Dialog::Select(int id, int index) {
  Control* c = Reachable(id);
  if (c == nullptr || !HasItems(c->def.kind) || index < 0 || index >= static_cast<int>(c->items.size()))
    return false;
  MoveFocus(id);
  if (Reachable(id) == nullptr || index >= static_cast<int>(c->items.size())) return false;
  c->selection = index;
  if (c->def.kind == ControlKind::kComboBox) c->text = c->items[index];
  Command(id, ui::Notify::kSelChanged);
  return true;
}

bool Dialog::SelectText(int id, std::u16string_view item) {
  const Control* c = Get(id);
  if (c == nullptr) return false;
  for (std::size_t i = 0; i < c->items.size(); ++i)
    if (SameVisibleText(c->items[i], item)) return Select(id, static_cast<int>(i));
  return false;
}

bool Dialog::Check(int id, bool checked) {
  const Control* c = Get(id);
  if (c == nullptr || c->def.kind != ControlKind::kCheckBox) return false;
  if (c->checked == checked) return Reachable(id) != nullptr;
  return Click(id);
}

bool Dialog::CheckItem(int id, int index, bool checked) {
  Control* c = Reachable(id);
  if (c == nullptr || c->def.kind != ControlKind::kListView || !c->def.Has(kCheckBoxes) || index < 0 ||
      index >= static_cast<int>(c->items.size()))
    return false;
  MoveFocus(id);
  if (Reachable(id) == nullptr || index >= static_cast<int>(c->items.size())) return false;
  c->item_checked[index] = checked;
  Command(id, ui::Notify::kChanged);
  return true;
}

bool Dialog::MoveTo(int id, int position) {
  Control* c = Reachable(id);
  if (c == nullptr || (c->def.kind != ControlKind::kTrackbar && c->def.kind != ControlKind::kUpDown)) return false;
  if (c->def.kind == ControlKind::kTrackbar) {
    MoveFocus(id);
    if (Reachable(id) == nullptr) return false;
  }
  // A spin control writes its position into the edit it drives, which tells
  // the page that its text changed (EN_CHANGE), as the system's does.
  Control* buddy = c->def.kind == ControlKind::kUpDown && c->def.buddy != 0 ? Get(c->def.buddy) : nullptr;
  const std::u16string buddy_text = buddy != nullptr ? buddy->text : std::u16string();
  SetPosition(id, position);
  if (buddy != nullptr && buddy->text != buddy_text) Command(buddy->def.id, ui::Notify::kChanged);
  Command(id, ui::Notify::kScrolled);
  if (c->def.kind == ControlKind::kTrackbar) {
    Command(id, ui::Notify::kScrollEnded);
    Command(id, ui::Notify::kCaptureReleased);
  }
  return true;
}

bool Dialog::SelectTree(int id, int item) {
  Control* c = Reachable(id);
  if (c == nullptr || c->def.kind != ControlKind::kTreeView || item < 1 ||
      item > static_cast<int>(c->tree.size()))
    return false;
  MoveFocus(id);
  if (Reachable(id) == nullptr || item > static_cast<int>(c->tree.size())) return false;
  c->tree_selection = item;
  Command(id, ui::Notify::kSelChanged);
  return true;
}

bool Dialog::ChooseSystemMenu(int command) {
  if (ended_) return false;
  for (const auto& [cmd, text] : system_menu_) {
    if (cmd == command) {
      Command(command, ui::Notify::kMenu);
      return true;
    }
  }
  return false;
}

bool Dialog::PressHelp() {
  if (ended_) return false;
  ++depth_;
  const bool handled = page_.OnHelp(*this);
  --depth_;
  DrainPosted();
  return handled;
}

void Dialog::Close() {
  if (ended_) return;
  // The close box sends Cancel, which a dialog box ends on unless the page handles it.
  Command(kIdCancel, ui::Notify::kClicked);
}

void Dialog::FireTimer(int timer_id) {
  if (HasTimer(timer_id)) RunTimer(timer_id, env_.Now());
}

std::vector<PaintOp> Dialog::Paint() {
  const DialogTemplate& t = page_.Template();
  RecordingPainter painter({0, 0, t.cx * kBaseUnitX / 4, t.cy * kBaseUnitY / 8});
  ++depth_;
  page_.OnPaint(*this, painter);
  --depth_;
  needs_paint_ = false;
  DrainPosted();
  return std::move(painter.ops);
}

SheetReply Dialog::Notify(SheetEvent event) {
  ++depth_;
  const SheetReply reply = page_.OnSheet(*this, event);
  --depth_;
  DrainPosted();
  return reply;
}

// ---- timers

bool Dialog::HasTimer(int timer_id) const {
  return std::any_of(timers_.begin(), timers_.end(), [&](const Timer& t) { return t.id == timer_id; });
}

bool Dialog::NextDue(std::int64_t until, std::int64_t* when, int* timer_id) const {
  bool found = false;
  for (const auto& t : timers_) {
    if (t.due <= until && (!found || t.due < *when)) {
      *when = t.due;
      *timer_id = t.id;
      found = true;
    }
  }
  return found && !ended_;
}

void Dialog::RunTimer(int timer_id, std::int64_t when) {
  for (auto& t : timers_)
    if (t.id == timer_id) t.due = when + t.period;
  ++depth_;
  page_.OnTimer(*this, timer_id);
  --depth_;
  DrainPosted();
}

void Dialog::SetTimer(int timer_id, int milliseconds) {
  const int period = std::max(milliseconds, kMinimumTimerMs);
  // Setting an existing timer again restarts it with the new period.
  for (auto& t : timers_) {
    if (t.id == timer_id) {
      t.period = period;
      t.due = env_.Now() + period;
      return;
    }
  }
  timers_.push_back({timer_id, period, env_.Now() + period});
}

void Dialog::KillTimer(int timer_id) {
  std::erase_if(timers_, [&](const Timer& t) { return t.id == timer_id; });
}

void Dialog::EndDialog(int result) {
  if (ended_) return;
  ended_ = true;
  result_ = result;
  timers_.clear();
  posted_.clear();
  page_.OnDestroy(*this);
}

// ---- Window: texts and states

void Dialog::SetText(int id, std::u16string_view text) {
  // A program may set more than the text limit lets a person type, as on Windows.
  if (Control* c = Get(id)) c->text = std::u16string(text);
}

std::u16string Dialog::Text(int id) const {
  const Control* c = Get(id);
  return c != nullptr ? c->text : std::u16string{};
}

void Dialog::AppendText(int id, std::u16string_view text) {
  if (Control* c = Get(id)) c->text += text;
}

void Dialog::Enable(int id, bool enabled) {
  if (Control* c = Get(id)) c->enabled = enabled;
}
bool Dialog::IsEnabled(int id) const {
  const Control* c = Get(id);
  return c != nullptr && c->enabled;
}
void Dialog::Show(int id, bool visible) {
  if (Control* c = Get(id)) c->visible = visible;
}
bool Dialog::IsVisible(int id) const {
  const Control* c = Get(id);
  return c != nullptr && c->visible;
}
void Dialog::SetChecked(int id, bool checked) {
  if (Control* c = Get(id)) c->checked = checked;
}
bool Dialog::IsChecked(int id) const {
  const Control* c = Get(id);
  return c != nullptr && c->checked;
}
void Dialog::SetFocus(int id) {
  for (auto& c : controls_) c.focused = (c.def.id == id);
}

// ---- Window: the rest

void Dialog::SetTrackbarSteps(int id, int page_size, int line_size) {
  Control* c = Get(id);
  if (c == nullptr || c->def.kind != ControlKind::kTrackbar) return;
  c->page_size = page_size;
  c->line_size = line_size;
}

void Dialog::DrawBitmap(int id, const Bitmap& bitmap) {
  if (Control* c = Get(id)) c->bitmap = bitmap;
}

void Dialog::SetFont(const FontSpec& font) {
  font_ = font;
  font_set_ = true;
}

void Dialog::SetTooltip(int id, std::u16string_view text) {
  if (Control* c = Get(id)) c->tooltip = std::u16string(text);
}

void Dialog::SetInputFilter(int id, bool (*accept)(char16_t)) {
  if (Control* c = Get(id)) c->filter = accept;
}

void Dialog::AddSystemMenuItem(int command, std::u16string_view text) {
  system_menu_.emplace_back(command, std::u16string(text));
}

int Dialog::MessageBox(std::u16string_view text, std::u16string_view caption, std::uint32_t style) {
  return env_.ShowMessageBox({std::u16string(text), std::u16string(caption), style, 0});
}

int Dialog::RunModal(Page& page) {
  Dialog nested(page, env_, this);
  nested.Create();
  if (!nested.Ended()) {
    if (env_.modal_driver) env_.modal_driver(nested);
    // A driver that gave up leaves the dialog as the close box would.
    if (!nested.Ended()) nested.EndDialog(kIdCancel);
  }
  return nested.Result();
}

Window* Dialog::CreateChild(Page& page, int frame_id) {
  if (Get(frame_id) == nullptr) return nullptr;
  auto child = std::make_unique<Dialog>(page, env_, this, sheet_);
  child->shown_ = false;
  Dialog* raw = child.get();
  children_.push_back(std::move(child));
  raw->Create();
  return raw;
}

void Dialog::ShowChild(Window& child, bool visible) {
  for (auto& c : children_)
    if (c.get() == &child) c->shown_ = visible;
}

void Dialog::FitHorizontalExtent(int id) {
  Control* c = Get(id);
  if (c == nullptr || c->def.kind != ControlKind::kListBox) return;
  int widest = 0;
  for (const auto& item : c->items) widest = std::max(widest, static_cast<int>(item.size()));
  c->horizontal_extent = widest;
}

int Dialog::SheetTabCount() const { return sheet_ != nullptr ? sheet_->TabCount() : 0; }

void Dialog::SetSheetTabTitle(int index, std::u16string_view title) {
  if (sheet_ != nullptr && index >= 0 && index < sheet_->TabCount()) sheet_->SetTabTitle(index, std::u16string(title));
}

void Dialog::SheetChanged() {
  if (sheet_ != nullptr) sheet_->MarkChanged();
  parent_messages_.push_back({kSheetChangedMessage, 0, 0, false});
}

std::intptr_t Dialog::SendToParent(std::uint32_t message, std::uintptr_t wparam, std::intptr_t lparam) {
  parent_messages_.push_back({message, wparam, lparam, false});
  return 0;
}

void Dialog::PostToParent(std::uint32_t message, std::uintptr_t wparam, std::intptr_t lparam) {
  parent_messages_.push_back({message, wparam, lparam, true});
}

void Dialog::PostCommand(int id) {
  if (ended_) return;
  posted_.push_back(id);
  DrainPosted();
}

}  // namespace kit::ui::headless
