// This file is OS-independent.
#include "plugin/core/version/version_page.h"


namespace kit::plugin::version {

const VersionText kVersionTexts[8] = {
    {kDriverNameId, u"RC_STATIC_VER1", u"Printer Driver"},
    {kOwnershipId, u"RC_STATIC_VER2", u"Copyright (C) VELDRAN"},
    {kRightsId, u"RC_STATIC_VER3", u"All rights reserved."},
    {kProductInfoId, u"RC_STATIC_VER4", u"Product information:"},
    {kVersionLinesId, u"RC_STATIC_VER5", u"Install version: v1.0\nUI version: v1.0"},
    {kAdditionalId, u"RC_STATIC_VER6", u"Additional information:"},
    {kWebAddressId, u"RC_STATIC_VER7", u"See the documentation shipped with the printer."},
    {kNoticeId, u"RC_STATIC_VER9",
     u"This program is protected by copyright law. Unauthorized copying or distribution may result in civil and "
     u"criminal penalties."},
};

namespace {

constexpr char16_t kSeparator[] = u"________________________________________________________________";

ui::DialogTemplate MakeTemplate() {
  using namespace ui;
  DialogTemplate t = sheets::PageTemplate(kVersionDialogId, u"Version");
  t.controls = {
      {kDriverNameId, ControlKind::kStatic, u"Printer Driver", {14, 14, 224, 10}, kNone},
      {kOwnershipId, ControlKind::kStatic, u"", {14, 28, 224, 10}, kNone},
      {kProductInfoId, ControlKind::kStatic, u"Product information:", {14, 54, 224, 10}, kNone},
      {kVersionLinesId, ControlKind::kStatic, u"", {24, 68, 214, 20}, kNone},
      {kSeparatorId, ControlKind::kStatic, kSeparator, {14, 150, 224, 10}, kNone},
      {kNoticeId, ControlKind::kStatic, u"", {14, 166, 224, 40}, kNone},
  };
  return t;
}

}  // namespace

const ui::DialogTemplate& VersionPage::Template() const {
  static const ui::DialogTemplate t = MakeTemplate();
  return t;
}

sheets::PageSlot VersionPage::Slot() const {
  return context().kind() == sheets::SheetKind::kDocument ? sheets::PageSlot::kDocumentVersion
                                                          : sheets::PageSlot::kDeviceVersion;
}

VersionPage::~VersionPage() { sheets::ForgetPageWindow(Slot(), window_); }

void VersionPage::OnInit(ui::Window& window) {
  window_ = &window;
  sheets::RememberPageWindow(Slot(), &window);
  SheetPage::OnInit(window);
}

void VersionPage::OnDestroy(ui::Window& window) {
  sheets::ForgetPageWindow(Slot(), &window);
  window_ = nullptr;
}

ui::SheetReply VersionPage::OnSheet(ui::Window& window, ui::SheetEvent event) {
  (void)window, (void)event;
  return ui::SheetReply::kAccept;
}

void VersionPage::LoadTexts(ui::Window& window, const sheets::CurrentTexts& texts) {
  for (const VersionText& text : kVersionTexts)
    window.SetText(text.control_id, texts.Get(kVersionSection, text.key, text.builtin, kVersionTextCapacity));
}

}  // namespace kit::plugin::version
