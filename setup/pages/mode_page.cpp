#include "setup/pages/mode_page.h"

#include "ui/fonts.h"

namespace kit::setup {
namespace {

constexpr char kSection[] = "Mode";

ui::DialogTemplate MakeTemplate() {
  using namespace ui;
  DialogTemplate t;
  t.id = kModeDialogId;
  t.cx = kPageWidth;
  t.cy = kPageHeight;
  t.font = DialogFont();
  t.kind = DialogKind::kChild;
  t.centered = false;
  t.controls = {
      {kModeGroupId, ControlKind::kGroupBox, u"Type", {4, 2, 262, 60}, kNone},
      {kModeTypicalId, ControlKind::kRadioButton, u"Typical", {14, 18, 240, 10}, kGroup | kTabStop},
      {kModeAdvancedId, ControlKind::kRadioButton, u"Advanced", {14, 38, 240, 10}, kNone},
      {kModeRemarksId, ControlKind::kStatic, u"Remarks", {8, 72, 254, 10}, kNone},
      {kModeNote1Id, ControlKind::kStatic, u"", {8, 86, 254, 26}, kNone},
      {kModeNote2Id, ControlKind::kStatic, u"", {8, 114, 254, 26}, kHidden},
      {kModeNote3Id, ControlKind::kStatic, u"", {8, 142, 254, 26}, kHidden},
  };
  return t;
}

}  // namespace

const ui::DialogTemplate& CSetupModeSelect::Template() const {
  static const ui::DialogTemplate t = MakeTemplate();
  return t;
}

void CSetupModeSelect::OnInit(ui::Window& window) {
  AttachWindow(window);
  window.SetText(kModeGroupId, Text(kSection, "Type"));
  window.SetText(kModeTypicalId, Text(kSection, "Typical"));
  window.SetText(kModeAdvancedId, Text(kSection, "Advanced"));
  window.SetText(kModeRemarksId, Text(kSection, "Remarks"));
  window.SetChecked(kModeTypicalId, true);
  ShowTypical(window);
}

void CSetupModeSelect::ShowTypical(ui::Window& window) {
  window.SetText(kModeNote1Id, Text(kSection, "Note1"));
  window.Show(kModeNote2Id, false);
  window.Show(kModeNote3Id, false);
  mode_ = kModeTypical;
}

bool CSetupModeSelect::OnCommand(ui::Window& window, int id, ui::Notify code) {
  if (code != ui::Notify::kClicked) return false;
  if (id == kModeTypicalId) {
    ShowTypical(window);
    return true;
  }
  if (id == kModeAdvancedId) {
    window.SetText(kModeNote1Id, Text(kSection, "Note2"));
    window.SetText(kModeNote2Id, Text(kSection, "Note3"));
    window.Show(kModeNote2Id, true);
    window.Show(kModeNote3Id, false);
    mode_ = kModeAdvanced;
    return true;
  }
  return false;
}

void CSetupModeSelect::AllowAdvanced(bool allowed) {
  if (window_ == nullptr) return;
  window_->Enable(kModeAdvancedId, allowed);
  if (allowed) return;
  window_->SetChecked(kModeAdvancedId, false);
  window_->SetChecked(kModeTypicalId, true);
  window_->SetText(kModeNote1Id, Text("Message", "IDS_TYPICAL_NOTES"));
  window_->Show(kModeNote2Id, false);
  window_->Show(kModeNote3Id, false);
  mode_ = kModeTypical;
}

}  // namespace kit::setup
