// The "1D Code" page of the document sheet (dialog 117): the eight
// printer-resident 1D barcode fonts "1D Code1".."1D Code8", each with its
// symbology, element width and height and HRI line, the point size to pick
// in an application, and a test print of typed data.
//
// Values come from the Barcode1D records of the private settings record.
// Loading a record into the controls stores nothing; a value outside its
// range is shown (and printed) clamped or as the font's default, and written
// only when the user changes it. Every stored change tells the sheet.
// This file is OS-independent.
#pragma once

#include <cstdint>

#include "plugin/core/devmode/private_devmode.h"
#include "plugin/core/sheets/sheet_page.h"
#include "plugin/pages/barcode/barcode_records.h"
#include "plugin/pages/barcode/test_print.h"
#include "print/commands/printer_commands.h"

namespace kit::plugin::barcode {

inline constexpr int kBarcode1DDialogId = 117;
inline constexpr char16_t kBarcode1DSection[] = u"1DCODE";

// Controls.
inline constexpr int kFontComboId = 1020;
inline constexpr int kTypeComboId = 1022;
inline constexpr int kHriPositionComboId = 1023;
inline constexpr int kHeightEditId = 1205;
inline constexpr int kWidthEditId = 1206;
inline constexpr int kMillimetreDisplayId = 1052;
inline constexpr int kWidthSpinId = 1053;
inline constexpr int kHeightSpinId = 1054;
inline constexpr int kPointDisplayId = 1055;
inline constexpr int kFontARadioId = 1060;
inline constexpr int kFontBRadioId = 1061;
inline constexpr int kData1DEditId = 1104;
inline constexpr int kPrint1DButtonId = 1036;
inline constexpr int kGs1GroupId = 1173;
// Labels that take language texts.
inline constexpr int kFontNameLabelId = 2001;
inline constexpr int kTypeLabelId = 2002;
inline constexpr int kWidthLabelId = 2003;
inline constexpr int kHeightLabelId = 2004;
inline constexpr int kPointLabelId = 2005;
inline constexpr int kNoticeLabelId = 2006;
inline constexpr int kHriPositionLabelId = 2007;
inline constexpr int kHriFontLabelId = 2008;
inline constexpr int kGeneralGroupId = 2009;
inline constexpr int kTestPrintGroupId = 2010;
inline constexpr int kDataLabelId = 2011;

// The sample data put into the data edit for each type.
extern const char16_t* const kSampleData1D[print::commands::kBarcodeTypeCount];

class Barcode1DPage final : public sheets::SheetPage {
 public:
  Barcode1DPage(sheets::PageContext context, TestPrint print) : SheetPage(context), print_(std::move(print)) {}

  const ui::DialogTemplate& Template() const override;
  void OnInit(ui::Window& window) override;
  bool OnCommand(ui::Window& window, int id, ui::Notify code) override;

 protected:
  void LoadTexts(ui::Window& window, const sheets::CurrentTexts& texts) override;

 private:
  void LoadFont(ui::Window& window, std::size_t font);
  void ShowSample(ui::Window& window);
  void EnableHriFont(ui::Window& window);
  void Recompute(ui::Window& window);
  // Applies `change` to the current font's record and tells the sheet.
  template <typename Change>
  void Store(ui::Window& window, Change change);
  void OnWidth(ui::Window& window);
  void OnHeight(ui::Window& window);
  void Print(ui::Window& window);

  TestPrint print_;
  std::size_t font_ = 0;
  Shown1D shown_;
  bool loading_ = false;
};

}  // namespace kit::plugin::barcode
