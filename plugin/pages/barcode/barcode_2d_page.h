// The "2D Code" page of the document sheet (dialog 118): the QR parameters
// of the printer-resident font "2D Code1", the point size to use (always
// 9.5) and a test print of typed data. The PDF417 and GS1 DataBar groups
// stay hidden: QR Code is the only type offered.
//
// Values come from Barcode2D record 0. Loading it stores nothing; a value
// outside its range is shown (and printed) as its default or clamped, and
// written only when the user changes it. Every stored change tells the
// sheet.
// This file is OS-independent.
#pragma once

#include <cstdint>

#include "plugin/core/devmode/private_devmode.h"
#include "plugin/core/sheets/sheet_page.h"
#include "plugin/pages/barcode/barcode_records.h"
#include "plugin/pages/barcode/test_print.h"
#include "print/commands/printer_commands.h"

namespace kit::plugin::barcode {

inline constexpr int kBarcode2DDialogId = 118;
inline constexpr char16_t kBarcode2DSection[] = u"2DCODE";

// Controls.
inline constexpr int kFont2DComboId = 1201;
inline constexpr int kType2DComboId = 1202;
inline constexpr int kPoint2DDisplayId = 1055;
inline constexpr int kQrWidthEditId = 1071;
inline constexpr int kQrWidthSpinId = 1072;
inline constexpr int kLanguageModeComboId = 1026;
inline constexpr int kModelComboId = 1027;
inline constexpr int kErrorLevelComboId = 1028;
inline constexpr int kData2DEditId = 1107;
inline constexpr int kPrint2DButtonId = 1106;
// Labels that take language texts, and the hidden groups.
inline constexpr int kFont2DLabelId = 2101;
inline constexpr int kType2DLabelId = 2102;
inline constexpr int kPoint2DLabelId = 2103;
inline constexpr int kNotice2DLabelId = 2104;
inline constexpr int kQrGroupId = 2105;
inline constexpr int kQrWidthLabelId = 2106;
inline constexpr int kLanguageModeLabelId = 2107;
inline constexpr int kModelLabelId = 2108;
inline constexpr int kErrorLevelLabelId = 2109;
inline constexpr int kTestPrint2DGroupId = 2110;
inline constexpr int kData2DLabelId = 2111;
inline constexpr int kPdf417GroupId = 2112;
inline constexpr int kPdf417ErrorComboId = 2113;
inline constexpr int kGs12DGroupId = 2114;

inline constexpr char16_t kQrPointSize[] = u"9.5";
inline constexpr char16_t kQrSampleData[] = u"01234567890123";


class Barcode2DPage final : public sheets::SheetPage {
 public:
  Barcode2DPage(sheets::PageContext context, TestPrint print) : SheetPage(context), print_(std::move(print)) {}

  const ui::DialogTemplate& Template() const override;
  void OnInit(ui::Window& window) override;
  bool OnCommand(ui::Window& window, int id, ui::Notify code) override;

 protected:
  void LoadTexts(ui::Window& window, const sheets::CurrentTexts& texts) override;

 private:
  void LoadRecord(ui::Window& window);
  template <typename Change>
  void Store(ui::Window& window, Change change);
  void OnWidth(ui::Window& window);
  void Print(ui::Window& window);

  TestPrint print_;
  print::commands::QrParameters shown_;
  bool loading_ = false;
};

}  // namespace kit::plugin::barcode
