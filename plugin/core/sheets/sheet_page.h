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

class SheetPage : public ui::Page {
 public:
  explicit SheetPage(PageContext context) : context_(context) {}
  const PageContext& context() const { return context_; }

  // Start: the page's texts, then its values (ShowValues).
  void OnInit(ui::Window& window) override;
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
  // Gives each listed control its tooltip text from `section`.
  static void SetTooltips(ui::Window& window, const CurrentTexts& texts, std::u16string_view section,
                          const std::vector<TooltipKey>& tooltips);
  static int ShowMessage(ui::Window& window, Message message, MessageTitle title, std::uint32_t style) {
    return sheets::ShowMessage(window, message, title, style);
  }

 private:
  PageContext context_;
};

// Size of the plug-in's property pages, in dialog units.
inline constexpr int kPageWidth = 252;
inline constexpr int kPageHeight = 218;
// The frame every page's template starts from: its id, caption (the tab's
// built-in title), the page size and font, as a child page; the caller adds
// the controls.
ui::DialogTemplate PageTemplate(int id, std::u16string caption);

// The pages that are repainted after a language change, each remembered by
// its window while it is open.
enum class PageSlot { kUtility, kDownload, kFont, kDocumentVersion, kDeviceVersion };
inline constexpr int kPageSlotCount = 5;

void RememberPageWindow(PageSlot slot, ui::Window* window);
// Forgets the slot if it still holds `window`.
void ForgetPageWindow(PageSlot slot, const ui::Window* window);
ui::Window* PageWindow(PageSlot slot);
// Asks every remembered page to repaint, which reloads its texts.
void RepaintOpenPages();

}  // namespace kit::plugin::sheets
