// DialogDriver over a real window, used from a thread other than the one
// that runs the dialog.
#pragma once

#include "tests/ui/driver/driver.h"
#include "ui/win32/remote.h"

namespace kit::ui::testing {

class Win32Driver final : public DialogDriver {
 public:
  explicit Win32Driver(HWND dialog) : r_(dialog) {}
  HWND hwnd() const { return r_.hwnd(); }
  std::u16string Caption() override { return r_.Caption(); }
  std::u16string Text(int id) override { return r_.Text(id); }
  bool Enabled(int id) override { return r_.Enabled(id); }
  bool Visible(int id) override { return r_.Visible(id); }
  int Position(int id) override { return r_.Position(id); }
  bool Click(int id) override {
    const bool ok = r_.Click(id);
    Sleep(kSettleMs);
    return ok;
  }
  void Key(int command) override {
    r_.Command(command);
    Sleep(kSettleMs);
  }
  void Wait(int ms) override { Sleep(static_cast<DWORD>(ms)); }
  // A dialog that has ended is hidden at once and destroyed afterwards
  // (under Xvfb, Wine waits up to a second for the window to be unmapped).
  bool Ended() override { return !r_.Exists() || !IsWindowVisible(r_.hwnd()); }

 private:
  // Time for a posted click to be handled by the dialog's thread.
  static constexpr DWORD kSettleMs = 100;
  win32::RemoteDialog r_;
};

}  // namespace kit::ui::testing
