// The OS page (dialog 130): the detected Windows, one radio button per
// version, all but the detected one disabled. The frame passes it on the
// way forward. This file is OS-independent.
#pragma once

#include <array>

#include "setup/pages/wizard_page.h"

namespace kit::setup {

inline constexpr int kSystemDialogId = 130;
inline constexpr int kSystemGroupId = 1094;
// The version buttons by display code 0..9.
inline constexpr std::array<int, 10> kSystemButtonIds = {1026, 1027, 1028, 1029, 1075,
                                                         1076, 1077, 1078, 1079, 1080};

class CSystemPage final : public WizardPage {
 public:
  explicit CSystemPage(const WizardContext& context) : WizardPage(context) {}

  const ui::DialogTemplate& Template() const override;
  void OnInit(ui::Window& window) override;

  // The OS code kept for the install (display codes above 7 become 7).
  int os_code() const { return os_code_; }
  int display_code() const { return display_code_; }

 private:
  int os_code_ = 0;
  int display_code_ = 0;
};

}  // namespace kit::setup
