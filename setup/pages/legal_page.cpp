#include "setup/pages/legal_page.h"

#include "setup/app/system_detection.h"
#include "ui/fonts.h"
#include "ui/text.h"

namespace kit::setup {
namespace {

constexpr char kSection[] = "Legal";
// The largest licence text read (the kit's are a few kilobytes).
constexpr std::uint64_t kMaxLicenceBytes = 8u << 20;

ui::DialogTemplate MakeTemplate() {
  using namespace ui;
  DialogTemplate t;
  t.id = kLegalDialogId;
  t.cx = kPageWidth;
  t.cy = kPageHeight;
  t.font = DialogFont();
  t.kind = DialogKind::kChild;
  t.centered = false;
  t.controls = {
      {kLegalGroupId, ControlKind::kGroupBox, u"Agreement", {4, 2, 262, 170}, kNone},
      {kLegalTextId, ControlKind::kEdit, u"", {12, 14, 246, 124},
       kMultiLine | kReadOnly | kVScroll | kAutoVScroll | kBorder | kTabStop},
      {kLegalAcceptId, ControlKind::kRadioButton, u"Accept", {12, 144, 200, 10}, kGroup | kTabStop},
      {kLegalRejectId, ControlKind::kRadioButton, u"Reject", {12, 156, 200, 10}, kNone},
  };
  return t;
}

}  // namespace

const ui::DialogTemplate& CLegalDlg::Template() const {
  static const ui::DialogTemplate t = MakeTemplate();
  return t;
}

void CLegalDlg::OnInit(ui::Window& window) {
  AttachWindow(window);
  window.SetText(kLegalGroupId, Text(kSection, "Agreement"));
  window.SetText(kLegalAcceptId, Text(kSection, "Accept"));
  window.SetText(kLegalRejectId, Text(kSection, "Reject"));
  window.SetChecked(kLegalRejectId, true);
  if (!load_licence_) return;

  const std::string path = ctx_.package_folder + "\\" + LicenceFileName(ctx_.language_id);
  Bytes content;
  if (!ctx_.files.ReadFile(ui::FromAnsi(path), kMaxLicenceBytes, &content)) {
    const bool plain = !IsChineseLanguage(ctx_.language_id) && language_setting_ == 0;
    window.MessageBox(plain ? kNoLicenceNotSupported : kNoLicenceFile, kMessageCaption, 0);
    if (frame_ != nullptr) frame_->CancelFrame();
    return;
  }
  // The text is shown as the file holds it: its own line breaks and code
  // page. A zero byte ends it, as it ends the text handed to the edit.
  std::string text(content.begin(), content.end());
  if (const auto nul = text.find('\0'); nul != std::string::npos) text.resize(nul);
  window.SetText(kLegalTextId, ui::FromAnsi(text));
}

bool CLegalDlg::OnCommand(ui::Window&, int id, ui::Notify code) {
  if (code != ui::Notify::kClicked || frame_ == nullptr) return false;
  if (id == kLegalAcceptId) frame_->EnableNext(true);
  else if (id == kLegalRejectId) frame_->EnableNext(false);
  else return false;
  return true;
}

}  // namespace kit::setup
