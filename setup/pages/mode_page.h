// The mode page (dialog 137): Typical or Advanced install, with notes that
// explain the choice. The frame disables Advanced for models that do not
// allow it. This file is OS-independent.
#pragma once

#include "setup/pages/wizard_page.h"

namespace kit::setup {

inline constexpr int kModeDialogId = 137;
inline constexpr int kModeGroupId = 1103;
inline constexpr int kModeTypicalId = 1066;
inline constexpr int kModeAdvancedId = 1067;
inline constexpr int kModeRemarksId = 1104;
inline constexpr int kModeNote1Id = 1068;
inline constexpr int kModeNote2Id = 1069;
inline constexpr int kModeNote3Id = 1070;

// Install modes as the wizard numbers them.
inline constexpr int kModeTypical = 1;
inline constexpr int kModeAdvanced = 0;

class CSetupModeSelect final : public WizardPage {
 public:
  explicit CSetupModeSelect(const WizardContext& context) : WizardPage(context) {}

  const ui::DialogTemplate& Template() const override;
  void OnInit(ui::Window& window) override;
  bool OnCommand(ui::Window& window, int id, ui::Notify code) override;

  // Whether the chosen model allows Advanced; when it does not, Typical is
  // chosen and the note says why.
  void AllowAdvanced(bool allowed);

  int mode() const { return mode_; }

 private:
  void ShowTypical(ui::Window& window);
  int mode_ = kModeTypical;
};

}  // namespace kit::setup
