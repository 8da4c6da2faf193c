// The licence page (dialog 133): the agreement text with Accept and Reject;
// only Accept lets the user go on. This file is OS-independent.
#pragma once

#include "setup/pages/wizard_page.h"

namespace kit::setup {

inline constexpr int kLegalDialogId = 133;
inline constexpr int kLegalGroupId = 1090;
inline constexpr int kLegalTextId = 1081;
inline constexpr int kLegalAcceptId = 1057;
inline constexpr int kLegalRejectId = 1058;

// Shown when the licence file cannot be read.
inline constexpr char16_t kNoLicenceNotSupported[] = u"Not suppot the installing!";
inline constexpr char16_t kNoLicenceFile[] = u"Can't load file License.txt!";

class CLegalDlg final : public WizardPage {
 public:
  // `load_licence`: LOADLICENSE is non-zero; `language_setting`: LANGUAGE.
  CLegalDlg(const WizardContext& context, bool load_licence, int language_setting)
      : WizardPage(context), load_licence_(load_licence), language_setting_(language_setting) {}

  const ui::DialogTemplate& Template() const override;
  void OnInit(ui::Window& window) override;
  bool OnCommand(ui::Window& window, int id, ui::Notify code) override;

 private:
  bool load_licence_;
  int language_setting_;
};

}  // namespace kit::setup
