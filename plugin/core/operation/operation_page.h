// The Operation page (dialog 103) of the document sheet: four buttons, one
// for each point of a print job, each opening the operation dialog on that
// event's block of the private settings record. The values go into the
// record when the dialog is confirmed; Apply only reports them.
// This file is OS-independent.
#pragma once

#include <cstddef>

#include "plugin/core/operation/operation_dialog.h"
#include "plugin/core/sheets/sheet_page.h"

namespace kit::plugin::operation {

inline constexpr int kOperationPageId = 103;
inline constexpr char16_t kOperationSection[] = u"OPERATION";
inline constexpr std::size_t kOperationButtonCapacity = 20;
inline constexpr std::size_t kOperationCaptionCapacity = 50;

// Buttons by event (Start of Document first), and their captions.
inline constexpr int kEventButtonIds[kEventCount] = {1101, 1102, 1103, 1104};
inline constexpr int kEventCaptionIds[kEventCount] = {1105, 1106, 1107, 1108};

class OperationPage final : public sheets::SheetPage {
 public:
  explicit OperationPage(sheets::PageContext context) : SheetPage(context) {}

  const ui::DialogTemplate& Template() const override;
  bool OnCommand(ui::Window& window, int id, ui::Notify code) override;
  // Apply: CPSUI_OK, and the sheet is told nothing is pending.
  ui::SheetReply OnSheet(ui::Window& window, ui::SheetEvent event) override;

  // Opens the dialog for `event` on the working set and, on OK, copies it
  // into the record and tells the sheet. Nothing happens without a record.
  void EditEvent(ui::Window& window, int event);

 protected:
  void LoadTexts(ui::Window& window, const sheets::CurrentTexts& texts) override;
};

}  // namespace kit::plugin::operation
