// This file is OS-independent.
#include "uninstall/dialog/small_dialogs.h"

#include "ui/fonts.h"
#include "ui/text.h"

namespace kit::uninstall {
namespace {

ui::DialogTemplate MakeRebootTemplate() {
  using namespace ui;
  DialogTemplate t;
  t.id = kRebootDialogId;
  t.caption = u"Restart";
  t.cx = 193;
  t.cy = 65;
  t.font = DialogFont();
  t.controls = {
      {kIdStatic, ControlKind::kIcon, u"", {8, 8, 21, 20}, kNone, 0, 0, kRestartIconId},
      {kRebootNote1Id, ControlKind::kStatic, u"", {36, 7, 150, 9}, kNone},
      {kRebootNote2Id, ControlKind::kStatic, u"", {36, 18, 150, 9}, kNone},
      {kRebootNote3Id, ControlKind::kStatic, u"", {36, 29, 150, 9}, kNone},
      {kIdOk, ControlKind::kPushButton, u"Yes", {40, 44, 50, 14}, kDefault | kGroup | kTabStop},
      {kIdCancel, ControlKind::kPushButton, u"No", {103, 44, 50, 14}, kTabStop},
  };
  return t;
}

ui::DialogTemplate MakeAboutTemplate() {
  using namespace ui;
  DialogTemplate t;
  t.id = kAboutDialogId;
  t.caption = u"About Uninstall";
  t.cx = 235;
  t.cy = 55;
  t.font = DialogFont();
  t.controls = {
      {kIdStatic, ControlKind::kIcon, u"", {10, 10, 21, 20}, kNone, 0, 0, kProgramIconId},
      {kAboutVersionId, ControlKind::kStatic, u"", {40, 10, 185, 8}, kNone},
      {kAboutCopyrightId, ControlKind::kStatic, u"", {40, 24, 185, 8}, kNone},
      {kIdOk, ControlKind::kPushButton, u"OK", {178, 36, 50, 14}, kDefault | kGroup | kTabStop},
  };
  return t;
}

}  // namespace

const ui::DialogTemplate& CRebootDlg::Template() const {
  static const ui::DialogTemplate t = MakeRebootTemplate();
  return t;
}

void CRebootDlg::OnInit(ui::Window& window) {
  if (chinese_font_) window.SetFont(ui::ChineseSharedFont());
  window.SetCaption(ui::FromAnsi(texts_.Get("Title")));
  window.SetText(kRebootNote1Id, ui::FromAnsi(texts_.Get("Note1")));
  window.SetText(kRebootNote2Id, ui::FromAnsi(texts_.Get("Note2")));
  window.SetText(kRebootNote3Id, ui::FromAnsi(texts_.Get("Note3")));
  window.SetText(ui::kIdOk, ui::FromAnsi(texts_.Get("Yes")));
  window.SetText(ui::kIdCancel, ui::FromAnsi(texts_.Get("No")));
}

const ui::DialogTemplate& CAboutDlg::Template() const {
  static const ui::DialogTemplate t = MakeAboutTemplate();
  return t;
}

void CAboutDlg::OnInit(ui::Window& window) {
  if (chinese_font_) window.SetFont(ui::ChineseSharedFont());
  window.SetCaption(ui::FromAnsi(texts_.Get("Title")));
  window.SetText(kAboutVersionId, ui::FromAnsi(texts_.Get("Version")));
  window.SetText(kAboutCopyrightId, ui::FromAnsi(texts_.Get("Copyright")));
  window.SetText(ui::kIdOk, ui::FromAnsi(texts_.Get("OK")));
}

}  // namespace kit::uninstall
