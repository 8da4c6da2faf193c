// This file is OS-independent.
#include "plugin/core/operation/operation_page.h"


namespace kit::plugin::operation {
namespace {

struct EventTexts {
  const char16_t* button_key;
  const char16_t* button;
  const char16_t* caption_key;
  const char16_t* caption;
};
constexpr EventTexts kEventTexts[kEventCount] = {
    {u"RC_STARTDOC", u"Start of Document", u"RC_STATIC_SDOC", u"Operation when document starts"},
    {u"RC_STARTPAGE", u"Start of Page", u"RC_STATIC_SPAGE", u"Operation when page starts"},
    {u"RC_ENDPAGE", u"End of Page", u"RC_STATIC_ENDPAGE", u"Operation when page ends"},
    {u"RC_ENDDOC", u"End of Document", u"RC_STATIC_ENDDOC", u"Operation when document ends"},
};

ui::DialogTemplate MakeTemplate() {
  using namespace ui;
  DialogTemplate t = sheets::PageTemplate(kOperationPageId, u"Operation");
  for (int e = 0; e < kEventCount; ++e) {
    const int y = 20 + 44 * e;
    t.controls.push_back({kEventButtonIds[e], ControlKind::kPushButton, kEventTexts[e].button, {20, y, 90, 16}, kTabStop});
    t.controls.push_back({kEventCaptionIds[e], ControlKind::kStatic, kEventTexts[e].caption, {120, y + 4, 120, 10}, kNone});
  }
  return t;
}

}  // namespace

const ui::DialogTemplate& OperationPage::Template() const {
  static const ui::DialogTemplate t = MakeTemplate();
  return t;
}

void OperationPage::LoadTexts(ui::Window& window, const sheets::CurrentTexts& texts) {
  for (int e = 0; e < kEventCount; ++e) {
    const EventTexts& t = kEventTexts[e];
    window.SetText(kEventButtonIds[e], texts.Get(kOperationSection, t.button_key, t.button, kOperationButtonCapacity));
    window.SetText(kEventCaptionIds[e],
                   texts.Get(kOperationSection, t.caption_key, t.caption, kOperationCaptionCapacity));
  }
}

bool OperationPage::OnCommand(ui::Window& window, int id, ui::Notify code) {
  for (int e = 0; e < kEventCount; ++e) {
    if (id != kEventButtonIds[e]) continue;
    if (code == ui::Notify::kClicked) EditEvent(window, e);
    return true;
  }
  return false;
}

void OperationPage::EditEvent(ui::Window& window, int event) {
  const auto record = context().PrivateRecord();
  if (!record) return;
  const PrivateDevModeSpan bytes = *record;
  WorkingSet& working = ModuleWorkingSet();
  working.event = event;
  working.values = *EventByIndex(Decode(bytes), event);
  OperationDialog dialog(context().language(), working);
  if (window.RunModal(dialog) != ui::kIdOk) return;
  // Only this event's block changes; every other byte stays as it was.
  PrivateDevMode current = Decode(bytes);
  *EventByIndex(current, event) = working.values;
  Encode(current, bytes);
  Changed(window);
}

ui::SheetReply OperationPage::OnSheet(ui::Window& window, ui::SheetEvent event) {
  const ui::SheetReply reply = SheetPage::OnSheet(window, event);
  if (event == ui::SheetEvent::kApply) window.SheetUnchanged();
  return reply;
}

}  // namespace kit::plugin::operation
