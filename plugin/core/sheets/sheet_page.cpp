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

void SetComboItems(ui::Window& window, int id, const std::vector<std::u16string>& items) {
  bool same = window.ItemCount(id) == static_cast<int>(items.size());
  for (std::size_t i = 0; same && i < items.size(); ++i) same = window.ItemText(id, static_cast<int>(i)) == items[i];
  if (same) return;
  const int selected = window.Selection(id);
  window.ClearItems(id);
  for (const std::u16string& item : items) window.AddItem(id, item);
  if (selected >= 0 && selected < static_cast<int>(items.size())) window.SetSelection(id, selected);
}

ui::DialogTemplate PageTemplate(int dialog_id, std::u16string caption) {
  ui::DialogTemplate t;
  t.id = dialog_id;
  t.caption = std::move(caption);
  t.cx = kPageWidth;
  t.cy = kPageHeight;
  t.font = ui::DialogFont();
  t.kind = ui::DialogKind::kChild;
  t.centered = false;
  return t;
}

void SheetPage::SetTexts(ui::Window& window, const CurrentTexts& texts, std::u16string_view section,
                         const std::vector<PageText>& page_texts) {
  for (const PageText& text : page_texts)
    window.SetText(text.control_id, texts.Get(section, text.key, text.builtin, text.capacity));
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
