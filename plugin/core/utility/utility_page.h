// The Utility page (dialog 114), the first plug-in tab of the device sheet:
// the printer's self-test page through a raw job, and the user-defined paper
// sizes ("Custom Paper-..." forms) the Main page then offers. It keeps
// nothing in the private settings record; it works on the sheet's printer.
//
// Form errors show "Set custom paper size failed!"; enumeration and delete
// failures leave the list as it is; the self-test reports nothing.
// This file is OS-independent.
#pragma once

#include <string>
#include <vector>

#include "plugin/core/sheets/sheet_page.h"
#include "plugin/core/utility/custom_forms.h"

namespace kit::plugin::utility {

inline constexpr int kUtilityDialogId = 114;
inline constexpr char16_t kUtilitySection[] = u"UTILITY";

// Controls of the template.
inline constexpr int kSelfTestButtonId = 1401;     // "RC_SELFTEST"
inline constexpr int kSelfTestLabelId = 1402;      // "RC_STATIC_SELFTEST"
inline constexpr int kCheckCommLabelId = 1403;     // "RC_STATIC_CHECKCOMM"
inline constexpr int kCustomSizeGroupId = 1404;    // "RC_STATIC_CUSTOMSIZE"
inline constexpr int kFormListId = 1405;
inline constexpr int kDeleteButtonId = 1406;       // "RC_BUTTON_DELETE"
inline constexpr int kFormNameLabelId = 1407;      // "RC_STATIC_FORMNAME"
inline constexpr int kFormNameEditId = 1408;
inline constexpr int kWidthLabelId = 1409;         // "RC_STATIC_FORMWIDTH"
inline constexpr int kWidthEditId = 1410;
inline constexpr int kWidthSpinId = 1411;
inline constexpr int kWidthHintId = 1412;
inline constexpr int kHeightLabelId = 1413;        // "RC_STATIC_FORMHEIGHT"
inline constexpr int kHeightEditId = 1414;
inline constexpr int kHeightSpinId = 1415;
inline constexpr int kHeightHintId = 1416;
inline constexpr int kSaveButtonId = 1417;         // "RC_BUTTON_SAVE"
inline constexpr int kControlFontButtonId = 1418;  // hidden

// Box limits in characters.
inline constexpr int kFormNameLimit = 18;
inline constexpr int kWidthLimit = 3;
inline constexpr int kHeightLimit = 5;
// The name box is read with this capacity (characters, terminator included).
inline constexpr std::size_t kTypedNameCapacity = 256;

inline constexpr char16_t kWidthHint[] = u"[ 287 - 558 (0.1mm) ]";
inline constexpr char16_t kHeightHint[] = u"[ 225 - 40958 (0.1mm) ]";

class UtilityPage final : public sheets::SheetPage {
 public:
  explicit UtilityPage(sheets::PageContext context) : SheetPage(context) {}

  const ui::DialogTemplate& Template() const override;
  std::optional<sheets::PageSlot> Slot() const override { return sheets::PageSlot::kUtility; }
  bool OnCommand(ui::Window& window, int id, ui::Notify code) override;

 protected:
  void LoadTexts(ui::Window& window, const sheets::CurrentTexts& texts) override;
  void ShowValues(ui::Window& window) override;

 private:
  // The forms as the printer lists them now; nullopt without a printer or
  // when the spooler refuses.
  std::optional<std::vector<FormInfo1>> Forms() const;
  void ShowSize(ui::Window& window, FormSize size);
  // The selected entry: its shown name, the Delete button, and its size
  // from a fresh enumeration.
  void ShowSelected(ui::Window& window);
  void UpdateDelete(ui::Window& window);
  void OpenControlFontTable(ui::Window& window);
  void Save(ui::Window& window);
  void Delete(ui::Window& window);
  void SelfTest();
};

}  // namespace kit::plugin::utility
