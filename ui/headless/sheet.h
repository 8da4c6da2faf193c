// A headless property sheet: tabs of pages, created when first shown, with
// the sheet's notifications delivered the way the system delivers them.
// This file is OS-independent.
#pragma once

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "ui/headless/dialog.h"

namespace kit::ui::headless {

class Sheet {
 public:
  // The sheet is known to `env` (other sheets' relabelling finds it by its
  // caption) while it exists.
  Sheet(std::u16string caption, Environment& env) : caption_(std::move(caption)), env_(env) {
    env_.RegisterSheet(this);
  }
  ~Sheet() { env_.UnregisterSheet(this); }
  Sheet(const Sheet&) = delete;
  Sheet& operator=(const Sheet&) = delete;

  // Adds a tab; the caller keeps `page` alive as long as the sheet.
  void AddPage(Page& page, std::u16string title);
  // Shows tab `start` (the first by default), creating its page and sending
  // set-active.
  void Open(int start = 0);

  // The sheet's tabs and buttons take the focus from the current page's
  // controls before they act (the edit left gets its kill-focus).
  // Switches to tab `index`: kill-active on the current page may keep it;
  // set-active on the new one may refuse it (the sheet then stays).
  bool SelectTab(int index);
  // Apply button: kill-active on the current page, then apply to every page
  // created so far. False when a page refused; Apply stays available. When
  // every page took it, `applied` runs (the host keeps what was applied).
  bool Apply();
  // OK: Apply, then close. Cancel: query-cancel on the current page, close
  // unless it refuses.
  bool Ok();
  bool Cancel();
  std::function<void()> applied;

  const std::u16string& Caption() const { return caption_; }
  int TabCount() const { return static_cast<int>(tabs_.size()); }
  const std::u16string& TabTitle(int index) const { return tabs_[index].title; }
  void SetTabTitle(int index, std::u16string title) { tabs_[index].title = std::move(title); }
  int Current() const { return current_; }
  // The page of tab `index`, or nullptr before that tab was first shown.
  Dialog* PageAt(int index) { return tabs_[index].dialog.get(); }
  Dialog* CurrentPage() { return current_ >= 0 ? PageAt(current_) : nullptr; }
  bool Changed() const { return changed_; }
  bool Closed() const { return closed_; }
  void MarkChanged() { changed_ = true; }

 private:
  struct Tab {
    Page* page;
    std::u16string title;
    std::unique_ptr<Dialog> dialog;
  };
  Dialog& Ensure(int index);
  // The current page's focus moves to the sheet's own tab or button.
  void TakeFocus();

  std::u16string caption_;
  Environment& env_;
  std::vector<Tab> tabs_;
  int current_ = -1;
  bool changed_ = false;
  bool closed_ = false;
};

}  // namespace kit::ui::headless
