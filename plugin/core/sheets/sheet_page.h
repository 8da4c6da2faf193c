// The base of every page the plug-in adds to the printer's sheets, and the
// contract they keep:
//  - the page keeps its sheet's context (given with its page record);
//  - any user change tells the sheet (Changed), so that Apply becomes
//    available;
//  - on apply the page writes its remaining values (ApplyValues) and then
//    reports CPSUI_OK for the sheet's result page;
//  - its texts come from the current language when it starts and again at
//    every repaint (LoadTexts), so that a language change shows at the next
//    repaint;
//  - a control with a tooltip text gets its tip (SetTooltips).
// This file is OS-independent.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "plugin/core/sheets/current_texts.h"
#include "plugin/core/sheets/message_texts.h"
#include "plugin/core/sheets/page_context.h"
#include "ui/page.h"

namespace kit::plugin::sheets {

// A control's tooltip: its "CTEXT_…" key in the page's section.
struct TooltipKey {
  int control_id;
  const char16_t* key;
  const char16_t* builtin;
};
inline constexpr std::size_t kTooltipCapacity = 1024;

// A control's text: its "RC_…" key in the page's section, the built-in
// text and the capacity it is cut to.
struct PageText {
  int control_id;
  const char16_t* key;
  const char16_t* builtin;
  std::size_t capacity;
};

// Size of the plug-in's property pages, in dialog units.
inline constexpr int kPageWidth = 252;
inline constexpr int kPageHeight = 218;
// A page template of that size with the dialog font, controls to be added.
ui::DialogTemplate PageTemplate(int dialog_id, std::u16string caption);

// The pages that are repainted after a language change, each remembered by
// its window while it is open.
enum class PageSlot { kUtility, kDownload, kFont, kDocumentVersion, kDeviceVersion };
inline constexpr int kPageSlotCount = 5;

class SheetPage : public ui::Page {
 public:
  explicit SheetPage(PageContext context) : context_(context) {}
  ~SheetPage() override;
  const PageContext& context() const { return context_; }

  // The slot a page of the device sheet (and the document sheet's Version
  // page) is remembered in while it is open, so that a language change
  // repaints it and reaches its sheet's tabs; none for the other pages.
  virtual std::optional<PageSlot> Slot() const { return std::nullopt; }

  // Start: the page is remembered in its slot, then its texts, then its
  // values (ShowValues).
  void OnInit(ui::Window& window) override;
  // End: the page leaves its slot.
  void OnDestroy(ui::Window& window) override;
  // Repaint: the current language again, and the page's texts with it.
  void OnPaint(ui::Window& window, ui::Painter& painter) override;
  // Apply: ApplyValues, then CPSUI_OK to the sheet; the other notifications
  // are accepted.
  ui::SheetReply OnSheet(ui::Window& window, ui::SheetEvent event) override;

 protected:
  // Sets every text of the page from `texts`.
  virtual void LoadTexts(ui::Window& window, const CurrentTexts& texts) = 0;
  virtual void ShowValues(ui::Window& window) { (void)window; }
  virtual void ApplyValues(ui::Window& window) { (void)window; }

  // Tells the sheet that a value changed (PSM_CHANGED).
  static void Changed(ui::Window& window) { window.SheetChanged(); }
  // Sets each listed control's text from `section`.
  static void SetTexts(ui::Window& window, const CurrentTexts& texts, std::u16string_view section,
                       const std::vector<PageText>& page_texts);
  // Gives each listed control its tooltip text from `section`.
  static void SetTooltips(ui::Window& window, const CurrentTexts& texts, std::u16string_view section,
                          const std::vector<TooltipKey>& tooltips);
  static int ShowMessage(ui::Window& window, Message message, MessageTitle title, std::uint32_t style) {
    return sheets::ShowMessage(window, message, title, style);
  }

 private:
  PageContext context_;
  // Where this page is remembered, while it is open.
  std::optional<PageSlot> remembered_slot_;
  ui::Window* remembered_window_ = nullptr;
};

// Gives a combo these items, keeping its selection; a combo that already
// holds them is left alone, so a repaint does not rebuild it.
void SetComboItems(ui::Window& window, int id, const std::vector<std::u16string>& items);

void RememberPageWindow(PageSlot slot, ui::Window* window);
// Forgets the slot if it still holds `window`.
void ForgetPageWindow(PageSlot slot, const ui::Window* window);
ui::Window* PageWindow(PageSlot slot);
// Asks every remembered page to repaint, which reloads its texts.
void RepaintOpenPages();

}  // namespace kit::plugin::sheets
