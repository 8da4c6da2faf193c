// The per-event operation dialog: edits the module's working set (one
// event block of the private settings record) and ends with 1 (OK, values
// taken) or 2 (Cancel, nothing stored). On this printer the user edits the
// raw command, the cash drawer, the paper feed and the logo with its
// alignment; the herald choice, buzzer list, feed-to-cut box, cut list and
// both logo positions are shown, reset by Default and written back, but
// never enabled.
// This file is OS-independent.
#pragma once

#include <cstddef>

#include "plugin/core/language/language_files.h"
#include "plugin/core/operation/operation_rules.h"
#include "plugin/core/sheets/current_texts.h"
#include "ui/page.h"

namespace kit::plugin::operation {

// The dialog's template id (a number no other dialog, icon or bitmap of the
// module uses).
inline constexpr int kOperationDialogId = 104;

inline constexpr char16_t kDocumentSection[] = u"DOCUMENT";
inline constexpr std::size_t kDocumentLabelCapacity = 50;
inline constexpr std::size_t kDocumentButtonCapacity = 20;
// Longest command text the command box holds; what is converted is what is
// shown.
inline constexpr int kCommandBoxLimit = 399;
inline constexpr int kNumberBoxLimit = 3;

// Controls.
inline constexpr int kSendCommandId = 1001;
inline constexpr int kCommandId = 1002;
inline constexpr int kOpenDrawerId = 1003;
inline constexpr int kHeraldId = 1004;
inline constexpr int kDrawerListId = 1005;
inline constexpr int kHeraldListId = 1006;
inline constexpr int kBuzzerLabelId = 1007;
inline constexpr int kBuzzerListId = 1008;
inline constexpr int kVolumeLabelId = 1009;
inline constexpr int kVolumeId = 1010;
inline constexpr int kVolumeSpinId = 1011;
inline constexpr int kVolumeUnitId = 1012;
inline constexpr int kFeedLabelId = 1013;
inline constexpr int kFeedId = 1014;
inline constexpr int kFeedSpinId = 1015;
inline constexpr int kFeedUnitId = 1016;
inline constexpr int kFeedToCutId = 1017;
inline constexpr int kCutLabelId = 1018;
inline constexpr int kCutListId = 1019;
inline constexpr int kLogoLabelId = 1020;
inline constexpr int kLogoListId = 1021;
inline constexpr int kAlignLabelId = 1022;
inline constexpr int kLeftId = 1023;
inline constexpr int kCenteredId = 1024;
inline constexpr int kRightId = 1025;
inline constexpr int kPositionLabelId = 1026;
inline constexpr int kBeforeCutId = 1027;
inline constexpr int kAfterCutId = 1028;
inline constexpr int kPreviewId = 1029;
inline constexpr int kDefaultId = 1030;

// The controls the dialog never enables.
inline constexpr int kNeverEnabled[] = {kHeraldId, kBuzzerListId, kFeedToCutId, kCutListId, kBeforeCutId,
                                        kAfterCutId};

class OperationDialog final : public ui::Page {
 public:
  // `language`: where the texts come from (null: the built-in ones).
  OperationDialog(LanguageFiles* language, WorkingSet& working) : language_(language), working_(working) {}

  const ui::DialogTemplate& Template() const override;
  void OnInit(ui::Window& window) override;
  bool OnCommand(ui::Window& window, int id, ui::Notify code) override;

 private:
  void LoadTexts(ui::Window& window, const sheets::CurrentTexts& texts);
  void Show(ui::Window& window, const EventOperation& values);
  void ShowPreview(ui::Window& window);
  // A list's selection, or the value the dialog showed in it when it has
  // none (a stored value outside the list).
  std::uint8_t ListValue(ui::Window& window, int id, std::uint8_t shown) const;
  bool TakeValues(ui::Window& window);

  LanguageFiles* language_;
  WorkingSet& working_;
  // The values last shown (at start or by Default).
  EventOperation shown_;
};

}  // namespace kit::plugin::operation
