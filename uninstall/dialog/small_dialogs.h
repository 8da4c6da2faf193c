// The uninstaller's restart question (dialog 129) and about box (dialog 100),
// with their texts from sections "Reboot" and "About" of the language file.
// This file is OS-independent.
#pragma once

#include "common/text/uninstall_string.h"
#include "ui/page.h"

namespace kit::uninstall {

inline constexpr int kRebootDialogId = 129;
inline constexpr int kRebootNote1Id = 1014;
inline constexpr int kRebootNote2Id = 1015;
inline constexpr int kRebootNote3Id = 1016;
// The program's icon resources: the program icon (main window, about box)
// and the restart question's icon.
inline constexpr int kProgramIconId = 128;
inline constexpr int kRestartIconId = 130;
inline constexpr int kAboutDialogId = 100;
inline constexpr int kAboutVersionId = 1017;
inline constexpr int kAboutCopyrightId = 1018;

// Ends with the id of the button pressed: 1 (Yes, the default) or 2 (No).
class CRebootDlg final : public ui::Page {
 public:
  // `texts` is bound to section "Reboot".
  CRebootDlg(const CMyString& texts, bool chinese_font) : texts_(texts), chinese_font_(chinese_font) {}
  const ui::DialogTemplate& Template() const override;
  void OnInit(ui::Window& window) override;

 private:
  const CMyString& texts_;
  bool chinese_font_;
};

class CAboutDlg final : public ui::Page {
 public:
  // `texts` is bound to section "About".
  CAboutDlg(const CMyString& texts, bool chinese_font) : texts_(texts), chinese_font_(chinese_font) {}
  const ui::DialogTemplate& Template() const override;
  void OnInit(ui::Window& window) override;

 private:
  const CMyString& texts_;
  bool chinese_font_;
};

}  // namespace kit::uninstall
