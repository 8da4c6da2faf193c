// The Main page (dialog 128), the first plug-in tab of the document sheet:
// layout settings of the private settings record (text as graphics, reduced
// printing with its scale, rotation), the paper size through the universal
// driver's own option, the language of every page, and the driver log.
//
// Graphics printing is forced while reduced printing, rotation or a
// watermark is on: "Yes" is then checked and disabled, and the record holds
// PrintAsGraphics = 1 wherever the page shows it so.
// This file is OS-independent.
#pragma once

#include <string>

#include "plugin/core/devmode/private_devmode.h"
#include "plugin/core/main/paper_option.h"
#include "plugin/core/sheets/sheet_page.h"

namespace kit::plugin::main {

inline constexpr int kMainDialogId = 128;
inline constexpr char16_t kLayoutSection[] = u"LAYOUT";

// Controls of the template.
inline constexpr int kDocSettingGroupId = 1501;   // "RC_DOCSETTING"
inline constexpr int kPrintAsImageLabelId = 1502; // "RC_PRINT_AS_IMAGE"
inline constexpr int kGraphicsYesId = 1503;       // "RC_RADIO_ASGRAPHICSYES"
inline constexpr int kGraphicsNoId = 1504;        // "RC_RADIO_ASGRAPHICSNO"
inline constexpr int kZoomCheckId = 1505;         // "RC_CHECK_ZOOM"
inline constexpr int kScaleLabelId = 1506;        // "RC_SCALE"
inline constexpr int kScaleEditId = 1507;
inline constexpr int kScaleSpinId = 1508;
inline constexpr int kPercentLabelId = 1509;      // "%"
inline constexpr int kRotateGroupId = 1510;       // "RC_ROTATE", hidden
inline constexpr int kRotateNormalId = 1511;      // "RC_RADIO_ROTATENOMAL", hidden
inline constexpr int kRotate180Id = 1512;         // "RC_RADIO_ROTATE180", hidden
inline constexpr int kRotatePictureNormalId = 1513;  // hidden
inline constexpr int kRotatePicture180Id = 1514;     // hidden
inline constexpr int kPaperLabelId = 1515;        // "RC_PAPERSIZE"
inline constexpr int kPaperListId = 1516;
inline constexpr int kLanguageLabelId = 1517;     // "RC_LANGUAGE"
inline constexpr int kLanguageListId = 1518;
inline constexpr int kUpdateButtonId = 1519;      // "RC_BUTTON_UPDATE", hidden, no action
inline constexpr int kLogGroupId = 1520;          // "RC_STATIC_LOG"
inline constexpr int kLogCheckId = 1521;          // "RC_CHECK_LOG"
inline constexpr int kLogFolderId = 1522;         // read-only
inline constexpr int kLogBrowseId = 1523;         // "RC_BUTTON_LOG"
inline constexpr int kLogViewerId = 1524;         // "RC_BUTTON_VIEWER"

// The scale: the box takes 3 characters, its spin runs 10..200, stored
// values stay within 10..100.
inline constexpr int kScaleLimit = 3;
inline constexpr int kScaleSpinLow = 10;
inline constexpr int kScaleSpinHigh = 200;
inline constexpr int kMinZoomPercent = 10;
inline constexpr int kMaxZoomPercent = 100;

// The log folder the record can hold (characters, without the terminator).
inline constexpr std::size_t kMaxLogDirectoryLength = kLogDirectoryCapacity - 1;

class MainPage final : public sheets::SheetPage {
 public:
  explicit MainPage(sheets::PageContext context) : SheetPage(context) {}

  const ui::DialogTemplate& Template() const override;
  bool OnCommand(ui::Window& window, int id, ui::Notify code) override;
  ui::SheetReply OnSheet(ui::Window& window, ui::SheetEvent event) override;
  void OnPaint(ui::Window& window, ui::Painter& painter) override;

 protected:
  void LoadTexts(ui::Window& window, const sheets::CurrentTexts& texts) override;
  void ShowValues(ui::Window& window) override;
  void ApplyValues(ui::Window& window) override;

 private:
  // The record the host passed, read and written whole; a page without
  // one works on a record of its own.
  PrivateDevMode Read() const;
  void Write(const PrivateDevMode& record);
  template <typename F>
  void Edit(F&& change) {
    PrivateDevMode record = Read();
    change(record);
    Write(record);
  }

  void FillLanguages(ui::Window& window);
  void FillPaper(ui::Window& window);
  // The graphics rule: choices enabled only without zoom, rotation and
  // watermark; otherwise "Yes" checked, disabled and stored.
  void ShowGraphicsRule(ui::Window& window, bool from_activation);
  void EnableScale(ui::Window& window, bool enabled);
  void EnableLog(ui::Window& window, bool enabled);
  void ForceGraphics(ui::Window& window);
  void StoreScale(ui::Window& window);
  void ChoosePaperEntry(ui::Window& window);
  void Browse(ui::Window& window);
  void View(ui::Window& window);
  void ApplyLanguage(ui::Window& window);

  PaperOptions paper_;
  std::u16string printer_name_;
  PrivateDevModeBytes own_record_{};
  bool own_record_ready_ = false;
};

}  // namespace kit::plugin::main
