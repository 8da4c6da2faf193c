// Drives a running dialog from another thread or process by control id, as
// a person would: for tests of the real windows (under Wine or Windows).
#pragma once

#include <windows.h>

#include <string>

namespace kit::ui::win32 {

// Waits up to `timeout_ms` for a visible dialog window (class "#32770") of
// thread `thread_id`; with `caption`, only one with that caption. Returns
// nullptr on time-out.
HWND WaitForDialog(DWORD thread_id, int timeout_ms, const wchar_t* caption = nullptr);
// Waits for a message box of thread `thread_id` other than `except`.
HWND WaitForMessageBox(DWORD thread_id, HWND except, int timeout_ms);

class RemoteDialog {
 public:
  explicit RemoteDialog(HWND dialog) : dialog_(dialog) {}
  HWND hwnd() const { return dialog_; }
  bool Exists() const { return IsWindow(dialog_) != FALSE; }
  // Waits until the window is gone; false on time-out.
  bool WaitClosed(int timeout_ms) const;

  std::u16string Caption() const;
  std::u16string Text(int id) const;
  bool Enabled(int id) const;
  bool Visible(int id) const;
  bool Checked(int id) const;
  // Position of a progress bar, trackbar or up-down (by its class).
  int Position(int id) const;
  // The text of a message box (its static text control).
  std::u16string MessageText() const;

  // Clicks a button (posted, so a click that opens a modal box does not
  // block the caller). False when the control is missing or disabled.
  bool Click(int id) const;
  // Replaces an edit's text, as typing does (the edit reports the change).
  bool Type(int id, std::u16string_view text) const;
  // Chooses item `index` of a combo box, as a person picking it from the
  // list does (the dialog is told CBN_SELCHANGE). False when the control is
  // missing, disabled, or has no such item.
  bool SelectComboItem(int id, int index) const;
  // The selected item's index of a combo box (-1 none), and its text.
  int ComboSelection(int id) const;
  std::u16string ComboText(int id) const;
  // Sends a command with no control, as Enter (1) or Escape (2) do.
  void Command(int id) const;

 private:
  HWND Item(int id) const { return GetDlgItem(dialog_, id); }
  HWND dialog_;
};

}  // namespace kit::ui::win32
