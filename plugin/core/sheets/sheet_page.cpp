// This file is OS-independent.
#include "plugin/core/sheets/sheet_page.h"

#include <array>

namespace kit::plugin::sheets {
namespace {

std::array<ui::Window*, kPageSlotCount>& Slots() {
  static std::array<ui::Window*, kPageSlotCount> slots{};
  return slots;
}

}  // namespace

SheetPage::~SheetPage() {
  if (remembered_slot_) ForgetPageWindow(*remembered_slot_, remembered_window_);
}

void SheetPage::OnInit(ui::Window& window) {
  remembered_slot_ = Slot();
  if (remembered_slot_) {
    remembered_window_ = &window;
    RememberPageWindow(*remembered_slot_, &window);
  }
  LoadTexts(window, CurrentTexts(context_.language()));
  ShowValues(window);
}

void SheetPage::OnDestroy(ui::Window& window) {
  if (remembered_slot_) ForgetPageWindow(*remembered_slot_, &window);
  remembered_slot_.reset();
  remembered_window_ = nullptr;
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
