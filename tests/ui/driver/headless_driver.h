// DialogDriver over a headless dialog.
#pragma once

#include "tests/ui/driver/driver.h"
#include "ui/headless/dialog.h"

namespace kit::ui::testing {

class HeadlessDriver final : public DialogDriver {
 public:
  explicit HeadlessDriver(headless::Dialog& dialog) : d_(dialog) {}
  std::u16string Caption() override { return d_.Caption(); }
  std::u16string Text(int id) override { return d_.Text(id); }
  bool Enabled(int id) override { return d_.IsEnabled(id); }
  bool Visible(int id) override { return d_.IsVisible(id); }
  int Position(int id) override { return d_.Ended() ? 0 : d_.Position(id); }
  bool Click(int id) override { return d_.Click(id); }
  void Key(int command) override {
    if (command == 2)
      d_.Close();
    else
      d_.PostCommand(command);
  }
  void Wait(int ms) override { d_.env().Advance(ms); }
  bool Ended() override { return d_.Ended(); }

 private:
  headless::Dialog& d_;
};

}  // namespace kit::ui::testing
