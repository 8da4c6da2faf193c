// This file is OS-independent.
#include "plugin/core/sheets/sheet_page.h"

#include <array>

#include "ui/fonts.h"

namespace kit::plugin::sheets {
namespace {

std::array<ui::Window*, kPageSlotCount>& Slots() {
  static std::array<ui::Window*, kPageSlotCount> slots{};
  return slots;
}

}  // namespace

void SheetPage::OnInit(ui::Window& window) {
  LoadTexts(window, CurrentTexts(context_.language()));
  ShowValues(window);
}

void SheetPage::OnPaint(ui::Window& window, ui::Painter& painter) {
  (void)painter;
  LoadTexts(window, CurrentTexts(context_.language()));
}

ui::SheetReply SheetPage::OnSheet(ui::Window& window, ui::SheetEvent event) {
  if (event == ui::SheetEvent::kApply) {
    ApplyValues(window);
    context_.ReportApplied();
  }
  return ui::SheetReply::kAccept;
}

void SheetPage::SetTooltips(ui::Window& window, const CurrentTexts& texts, std::u16string_view section,
                            const std::vector<TooltipKey>& tooltips) {
  for (const TooltipKey& tip : tooltips)
    window.SetTooltip(tip.control_id, texts.Get(section, tip.key, tip.builtin, kTooltipCapacity));
}

ui::DialogTemplate PageTemplate(int id, std::u16string caption) {
  ui::DialogTemplate t;
  t.id = id;
  t.caption = std::move(caption);
  t.cx = kPageWidth;
  t.cy = kPageHeight;
  t.font = ui::DialogFont();
  t.kind = ui::DialogKind::kChild;
  t.centered = false;
  return t;
}

void RememberPageWindow(PageSlot slot, ui::Window* window) { Slots()[static_cast<int>(slot)] = window; }

void ForgetPageWindow(PageSlot slot, const ui::Window* window) {
  ui::Window*& held = Slots()[static_cast<int>(slot)];
  if (held == window) held = nullptr;
}

ui::Window* PageWindow(PageSlot slot) { return Slots()[static_cast<int>(slot)]; }

void RepaintOpenPages() {
  for (ui::Window* window : Slots())
    if (window != nullptr) window->Invalidate();
}

}  // namespace kit::plugin::sheets
