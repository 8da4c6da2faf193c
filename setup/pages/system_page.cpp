#include "setup/pages/system_page.h"

#include "common/oscode/os_code.h"
#include "setup/app/system_detection.h"
#include "ui/fonts.h"

namespace kit::setup {
namespace {

constexpr int kWindows2000Button = 2;  // display code of "Windows 2000"

ui::DialogTemplate MakeTemplate() {
  using namespace ui;
  DialogTemplate t;
  t.id = kSystemDialogId;
  t.cx = kPageWidth;
  t.cy = kPageHeight;
  t.font = DialogFont();
  t.kind = DialogKind::kChild;
  t.centered = false;
  t.controls.push_back({kSystemGroupId, ControlKind::kGroupBox, u"Select", {4, 2, 262, 170}, kNone});
  const std::array<const char16_t*, 10> labels = {
      u"Windows 98/Me",       u"Windows NT",    u"Windows 2000",        u"Windows XP",
      u"Windows Server 2003 ", u"Windows Vista", u"Windows Server 2008", u"Windows 7",
      u"Windows 8(Windows 8.1)", u"Windows Server 2012"};
  for (std::size_t i = 0; i < labels.size(); ++i) {
    // 98/Me and NT are never offered: the template hides them.
    const std::uint32_t hidden = i < 2 ? kHidden : kNone;
    const int y = 16 + static_cast<int>(i < 2 ? 0 : i - 2) * 18;
    t.controls.push_back({kSystemButtonIds[i], ControlKind::kRadioButton, labels[i], {16, y, 200, 10},
                          (i == 0 ? kGroup : kNone) | hidden});
  }
  return t;
}

}  // namespace

const ui::DialogTemplate& CSystemPage::Template() const {
  static const ui::DialogTemplate t = MakeTemplate();
  return t;
}

void CSystemPage::OnInit(ui::Window& window) {
  AttachWindow(window);
  window.SetText(kSystemGroupId, Text("System", "Select"));
  const OsVersion v = ReadOsVersion(ctx_.system);
  if (!IsKnownPlatform(v)) ctx_.Message(window, "IDS_ERR_SYSTEM");
  const OsPageDisplay shown = ClassifyOsForPage(v);
  display_code_ = shown.display_code;
  os_code_ = StoredOsCode(display_code_);
  for (std::size_t i = 0; i < kSystemButtonIds.size(); ++i) {
    const bool detected = shown.has_button && static_cast<int>(i) == display_code_;
    window.SetChecked(kSystemButtonIds[i], detected);
    window.Enable(kSystemButtonIds[i], detected);
  }
  if (ctx_.is_64bit) window.Show(kSystemButtonIds[kWindows2000Button], false);
}

}  // namespace kit::setup
