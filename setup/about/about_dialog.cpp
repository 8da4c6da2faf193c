#include "setup/about/about_dialog.h"

#include "ui/fonts.h"
#include "ui/text.h"

namespace kit::setup {
namespace {

constexpr char kSection[] = "About";

ui::DialogTemplate MakeTemplate() {
  using namespace ui;
  DialogTemplate t;
  t.id = kAboutDialogId;
  t.caption = u"About";
  t.cx = 235;
  t.cy = 55;
  t.font = DialogFont();
  t.kind = DialogKind::kPopup;
  t.controls = {
      {kAboutVersionId, ControlKind::kStatic, u"Version", {10, 10, 215, 8}, kNone},
      {kAboutCopyrightId, ControlKind::kStatic, u"Copyright", {10, 24, 215, 8}, kNone},
      {kIdOk, ControlKind::kPushButton, u"OK", {178, 36, 50, 14}, kDefault | kGroup | kTabStop},
  };
  return t;
}

}  // namespace

const ui::DialogTemplate& AboutDialog::Template() const {
  static const ui::DialogTemplate t = MakeTemplate();
  return t;
}

void AboutDialog::OnInit(ui::Window& window) {
  if (chinese_font_) window.SetFont(ui::ChineseSharedFont());
  window.SetCaption(ui::FromAnsi(texts_.Get(kSection, "Caption")));
  window.SetText(kAboutVersionId, ui::FromAnsi(texts_.Get(kSection, "Version")));
  window.SetText(kAboutCopyrightId, ui::FromAnsi(texts_.Get(kSection, "Copyright")));
  window.SetText(ui::kIdOk, ui::FromAnsi(texts_.Get(kSection, "OK")));
}

}  // namespace kit::setup
