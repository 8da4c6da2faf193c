#include "ui/headless/sheet.h"

namespace kit::ui::headless {

void Sheet::AddPage(Page& page, std::u16string title) { tabs_.push_back({&page, std::move(title), nullptr}); }

Dialog& Sheet::Ensure(int index) {
  Tab& tab = tabs_[index];
  if (!tab.dialog) {
    tab.dialog = std::make_unique<Dialog>(*tab.page, env_, nullptr, this);
    tab.dialog->Create();
  }
  return *tab.dialog;
}

void Sheet::Open(int start) {
  if (tabs_.empty() || current_ >= 0) return;
  current_ = start >= 0 && start < TabCount() ? start : 0;
  Ensure(current_).Notify(SheetEvent::kSetActive);
}

void Sheet::TakeFocus() {
  if (current_ >= 0) Ensure(current_).FocusLeaves();
}

bool Sheet::SelectTab(int index) {
  if (closed_ || index < 0 || index >= TabCount() || index == current_) return false;
  TakeFocus();
  if (current_ >= 0 && Ensure(current_).Notify(SheetEvent::kKillActive) == SheetReply::kRefuse) return false;
  if (Ensure(index).Notify(SheetEvent::kSetActive) == SheetReply::kRefuse) return false;
  current_ = index;
  return true;
}

bool Sheet::Apply() {
  if (closed_) return false;
  TakeFocus();
  if (current_ >= 0 && Ensure(current_).Notify(SheetEvent::kKillActive) == SheetReply::kRefuse) return false;
  for (auto& tab : tabs_) {
    if (tab.dialog && tab.dialog->Notify(SheetEvent::kApply) == SheetReply::kRefuse) return false;
  }
  changed_ = false;
  if (applied) applied();
  return true;
}

bool Sheet::Ok() {
  if (!Apply()) return false;
  closed_ = true;
  return true;
}

bool Sheet::Cancel() {
  if (closed_) return false;
  TakeFocus();
  if (current_ >= 0 && Ensure(current_).Notify(SheetEvent::kQueryCancel) == SheetReply::kRefuse) return false;
  closed_ = true;
  return true;
}

}  // namespace kit::ui::headless
