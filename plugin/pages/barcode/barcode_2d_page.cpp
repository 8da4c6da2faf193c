// This file is OS-independent.
#include "plugin/pages/barcode/barcode_2d_page.h"

#include <algorithm>
#include <string>

#include "plugin/pages/barcode/barcode_data.h"
#include "plugin/pages/barcode/page_controls.h"

namespace kit::plugin::barcode {
namespace {

constexpr std::size_t kQrRecord = 0;
constexpr std::uint32_t kPdf417LevelCount = 9;

const PageText kLabels[] = {
    {kFont2DLabelId, u"RC_STATIC_2DCODE_FONTNAME", u"Font Name:"},
    {kType2DLabelId, u"RC_STATIC_2DCODE_TYPE", u"Type:"},
    {kPoint2DLabelId, u"RC_STATIC_2DCODE_POINT", u"point"},
    {kNotice2DLabelId, u"RC_STATIC_2DCODE_NOTICE", u"Select this font size in the application."},
    {kQrGroupId, u"RC_STATIC_2DCODE_QR", u"QR"},
    {kQrWidthLabelId, u"RC_STATIC_2DCODE_QREWIDTH", u"Element Width:"},
    {kLanguageModeLabelId, u"RC_STATIC_2DCODE_QRLMODE", u"Language mode:"},
    {kModelLabelId, u"RC_STATIC_2DCODE_QRMODE", u"Model:"},
    {kErrorLevelLabelId, u"RC_STATIC_2DCODE_QRECORRECTION", u"Error Correction:"},
    {kTestPrint2DGroupId, u"RC_STATIC_2DCODE_PRINT", u"Test Print"},
    {kData2DLabelId, u"RC_STATIC_2DCODE_DATA", u"Data:"},
    {kPrint2DButtonId, u"RC_BUTTON_PRINT2D", u"Print"},
    {kPdf417GroupId, u"RC_STATIC_2DCODE_PDF417", u"PDF417"},
};
const PageText kLanguageModes[kLanguageModeCount] = {
    {0, u"RC_CMB_FONTMODE1", u"Chinese"},
    {1, u"RC_CMB_FONTMODE2", u"Japanese"},
};
const std::vector<sheets::TooltipKey> kTooltips = {
    {kFont2DComboId, u"CTEXT_FONTNAME2D", u"Select the barcode font from the drop-down list."},
    {kType2DComboId, u"CTEXT_BARCODETYPE2D", u"Select the barcode type from the drop-down list."},
    {kQrWidthEditId, u"CTEXT_EDIT_QRWIDTH",
     u"Specify the element width of barcode. The unit of width is dot, available range is 1-24."},
    {kLanguageModeComboId, u"CTEXT_CMB_FONTMODE", u"Select language pattern from the drop-down list."},
    {kModelComboId, u"CTEXT_CMB_TYPE", u"Select the barcode mode from the drop-down list."},
    {kErrorLevelComboId, u"CTEXT_CMB_ERROR", u"Select the error correction level from the drop-down list."},
    {kData2DEditId, u"CTEXT_EDIT_PRINT2D", u"Input the data used for print test."},
    {kPrint2DButtonId, u"CTEXT_BUTTON_PRINT2D", u"Print the test data."},
};

ui::DialogTemplate MakeTemplate() {
  using namespace ui;
  DialogTemplate t = sheets::PageTemplate(kBarcode2DDialogId, u"2D Code");
  const auto combo = kDropDownList | kVScroll | kTabStop;
  t.controls = {
      {kFont2DLabelId, ControlKind::kStatic, u"Font Name:", {14, 12, 70, 10}, kNone},
      {kFont2DComboId, ControlKind::kComboBox, u"", {90, 10, 100, 60}, combo},
      {kType2DLabelId, ControlKind::kStatic, u"Type:", {14, 28, 70, 10}, kNone},
      {kType2DComboId, ControlKind::kComboBox, u"", {90, 26, 100, 60}, combo},
      {kPoint2DDisplayId, ControlKind::kEdit, u"9.5", {90, 42, 30, 12}, kBorder | kReadOnly | kDisabled},
      {kPoint2DLabelId, ControlKind::kStatic, u"point", {124, 44, 40, 10}, kNone},
      {kNotice2DLabelId, ControlKind::kStatic, u"Select this font size in the application.", {14, 58, 224, 10},
       kNone},
      {kQrGroupId, ControlKind::kGroupBox, u"QR", {7, 70, 238, 84}, kNone},
      {kQrWidthLabelId, ControlKind::kStatic, u"Element Width:", {14, 84, 70, 10}, kNone},
      {kQrWidthEditId, ControlKind::kEdit, u"", {90, 82, 40, 12}, kBorder | kNumber | kTabStop, 2},
      {kQrWidthSpinId, ControlKind::kUpDown, u"", {130, 82, 10, 12}, kNone, 0, kQrWidthEditId},
      {-1, ControlKind::kStatic, u"[ 1 . . 24 ]", {146, 84, 60, 10}, kNone},
      {kLanguageModeLabelId, ControlKind::kStatic, u"Language mode:", {14, 100, 70, 10}, kNone},
      {kLanguageModeComboId, ControlKind::kComboBox, u"", {90, 98, 100, 60}, combo},
      {kModelLabelId, ControlKind::kStatic, u"Model:", {14, 116, 70, 10}, kNone},
      {kModelComboId, ControlKind::kComboBox, u"", {90, 114, 100, 60}, combo},
      {kErrorLevelLabelId, ControlKind::kStatic, u"Error Correction:", {14, 132, 70, 10}, kNone},
      {kErrorLevelComboId, ControlKind::kComboBox, u"", {90, 130, 100, 80}, combo},
      {kPdf417GroupId, ControlKind::kGroupBox, u"PDF417", {7, 70, 238, 84}, kHidden},
      {kPdf417ErrorComboId, ControlKind::kComboBox, u"", {90, 82, 140, 100}, combo | kHidden},
      {kGs12DGroupId, ControlKind::kGroupBox, u"GS1 DataBar", {7, 70, 238, 84}, kHidden},
      {kTestPrint2DGroupId, ControlKind::kGroupBox, u"Test Print", {7, 162, 238, 48}, kNone},
      {kData2DLabelId, ControlKind::kStatic, u"Data:", {14, 180, 40, 10}, kNone},
      {kData2DEditId, ControlKind::kEdit, u"", {56, 178, 130, 12}, kBorder | kTabStop, 399},
      {kPrint2DButtonId, ControlKind::kPushButton, u"Print", {192, 177, 46, 14}, kTabStop},
  };
  return t;
}

}  // namespace


const ui::DialogTemplate& Barcode2DPage::Template() const {
  static const ui::DialogTemplate t = MakeTemplate();
  return t;
}

void Barcode2DPage::OnInit(ui::Window& window) {
  loading_ = true;
  window.AddItem(kFont2DComboId, u"2D Code1");
  window.AddItem(kType2DComboId, u"QR Code");
  for (std::uint32_t model = 1; model <= kModelCount; ++model) window.AddItem(kModelComboId, DigitsText(model));
  for (std::uint8_t letter : print::commands::kQrErrorLetters)
    window.AddItem(kErrorLevelComboId, std::u16string(1, static_cast<char16_t>(letter)));
  window.SetRange(kQrWidthSpinId, kMinQrModuleSize, kMaxQrModuleSize);
  loading_ = false;
  SheetPage::OnInit(window);  // texts (the language modes among them)
  LoadRecord(window);
}

void Barcode2DPage::LoadTexts(ui::Window& window, const sheets::CurrentTexts& texts) {
  SetPageTexts(window, texts, kBarcode2DSection, kLabels);
  std::vector<std::u16string> modes;
  for (const PageText& item : kLanguageModes)
    modes.push_back(texts.Get(kBarcode2DSection, item.key, item.builtin, kLabelCapacity));
  // The hidden PDF417 levels take their texts too.
  std::vector<std::u16string> levels;
  for (std::uint32_t i = 1; i <= kPdf417LevelCount; ++i)
    levels.push_back(texts.Get(kBarcode2DSection, u"RC_STATIC_2DCODE_ERRORCOR" + DigitsText(i),
                               u"Error Correction Level " + DigitsText(i - 1), kLabelCapacity));
  const bool was_loading = loading_;
  loading_ = true;
  SetComboItems(window, kLanguageModeComboId, modes);
  SetComboItems(window, kPdf417ErrorComboId, levels);
  loading_ = was_loading;
  SetTooltips(window, texts, kBarcode2DSection, kTooltips);
}

void Barcode2DPage::LoadRecord(ui::Window& window) {
  Barcode2DSettings record{};
  record.QrModuleSize = kQrDefaults.module_size;
  record.QrModel = kQrDefaults.model;
  record.QrErrorLevel = kQrDefaults.error_level;
  if (const auto bytes = context().PrivateRecord()) record = Decode(*bytes).Barcode2D[kQrRecord];
  shown_ = ShownQrValues(record);
  loading_ = true;
  window.SetSelection(kFont2DComboId, 0);
  window.SetSelection(kType2DComboId, 0);
  window.SetText(kPoint2DDisplayId, kQrPointSize);
  window.SetText(kQrWidthEditId, DigitsText(shown_.module_size));
  window.SetPosition(kQrWidthSpinId, shown_.module_size);
  window.SetSelection(kLanguageModeComboId, shown_.language_mode);
  window.SetSelection(kModelComboId, shown_.model - 1);
  window.SetSelection(kErrorLevelComboId, shown_.error_level);
  window.SetText(kData2DEditId, kQrSampleData);
  window.Enable(kPrint2DButtonId, true);
  loading_ = false;
}

template <typename Change>
void Barcode2DPage::Store(ui::Window& window, Change change) {
  EditRecord(context(), window, [&](PrivateDevMode& record) { change(record.Barcode2D[kQrRecord]); });
}

void Barcode2DPage::OnWidth(ui::Window& window) {
  loading_ = true;
  shown_.module_size =
      static_cast<std::uint8_t>(ClampEdit(window, kQrWidthEditId, kQrWidthSpinId, kMinQrModuleSize, kMaxQrModuleSize));
  loading_ = false;
  Store(window, [&](Barcode2DSettings& r) { r.QrModuleSize = shown_.module_size; });
}

bool Barcode2DPage::OnCommand(ui::Window& window, int id, ui::Notify code) {
  if (loading_) return false;
  const int selection = window.Selection(id);
  switch (id) {
    case kFont2DComboId:
    case kType2DComboId:
      if (code != ui::Notify::kSelChanged) return false;
      LoadRecord(window);
      return true;
    // A spin click has already written its position into the edit.
    case kQrWidthEditId:
    case kQrWidthSpinId:
      if (code != (id == kQrWidthEditId ? ui::Notify::kChanged : ui::Notify::kScrolled)) return false;
      OnWidth(window);
      return true;
    case kLanguageModeComboId:
      if (code != ui::Notify::kSelChanged || selection < 0 || selection >= kLanguageModeCount) return false;
      shown_.language_mode = static_cast<std::uint8_t>(selection);
      Store(window, [&](Barcode2DSettings& r) { r.QrLanguageMode = shown_.language_mode; });
      return true;
    case kModelComboId:
      if (code != ui::Notify::kSelChanged || selection < 0 || selection >= static_cast<int>(kModelCount)) return false;
      shown_.model = static_cast<std::uint8_t>(selection + 1);
      Store(window, [&](Barcode2DSettings& r) { r.QrModel = shown_.model; });
      return true;
    case kErrorLevelComboId:
      if (code != ui::Notify::kSelChanged || selection < 0 ||
          selection >= static_cast<int>(print::commands::kQrErrorLetters.size()))
        return false;
      shown_.error_level = static_cast<std::uint8_t>(selection);
      Store(window, [&](Barcode2DSettings& r) { r.QrErrorLevel = shown_.error_level; });
      return true;
    case kData2DEditId:
      if (code != ui::Notify::kChanged) return false;
      window.Enable(kPrint2DButtonId, !window.Text(kData2DEditId).empty());
      return true;
    case kPrint2DButtonId:
      if (code != ui::Notify::kClicked) return false;
      Print(window);
      return true;
    default:
      return false;
  }
}

void Barcode2DPage::Print(ui::Window& window) {
  const std::string bytes = TestPrintData(print_, window.Text(kData2DEditId));
  if (!CheckQrData(bytes)) {
    ShowMessage(window, sheets::Message::k2DCodeError1, sheets::MessageTitle::kError, ui::kMbOk | ui::kMbIconError);
    return;
  }
  const auto* first = reinterpret_cast<const std::uint8_t*>(bytes.data());
  const auto job = print::commands::QrJob(shown_, std::span(first, bytes.size()));
  if (job && print_.send) print_.send(*job);
}

}  // namespace kit::plugin::barcode
