// The setup wizard's About box (dialog 100), opened from the system menu of
// the wizard frame. Its four texts come from the language file's "About"
// section. This file is OS-independent.
#pragma once

#include "setup/about/language_texts.h"
#include "ui/page.h"

namespace kit::setup {

inline constexpr int kAboutDialogId = 100;
inline constexpr int kAboutVersionId = 1017;
inline constexpr int kAboutCopyrightId = 1018;

class AboutDialog final : public ui::Page {
 public:
  // `chinese_font`: give the box the shared font of Chinese systems.
  explicit AboutDialog(const LanguageTexts& texts, bool chinese_font = false)
      : texts_(texts), chinese_font_(chinese_font) {}

  const ui::DialogTemplate& Template() const override;
  void OnInit(ui::Window& window) override;

 private:
  const LanguageTexts& texts_;
  bool chinese_font_;
};

}  // namespace kit::setup
