// This file is OS-independent.
#include "plugin/pages/barcode/barcode_1d_page.h"

#include <algorithm>
#include <string>

#include "plugin/pages/barcode/barcode_data.h"
#include "plugin/pages/barcode/font_height.h"
#include "plugin/pages/barcode/page_controls.h"

namespace kit::plugin::barcode {

const char16_t* const kSampleData1D[print::commands::kBarcodeTypeCount] = {
    u"123456789012", u"023456789012", u"12345678", u"1234567890123", u"123ABC*",
    u"123456789",    u"A123456789A",  u"123ABC",   u"{A1234"};

namespace {

constexpr int kFontCount = static_cast<int>(kBarcode1DCount);
constexpr char16_t kFontNamePrefix[] = u"1D Code";
constexpr const char16_t* kTypeNames[print::commands::kBarcodeTypeCount] = {
    u"UPC-A", u"UPC-E", u"EAN8", u"EAN13", u"Code39", u"ITF", u"Codabar", u"Code93", u"Code128"};
constexpr std::uint8_t kDefaultModuleWidth = 3;
constexpr std::uint32_t kDefaultBarHeight = 163;

const PageText kLabels[] = {
    {kFontNameLabelId, u"RC_STATIC_1DCODE_FONTNAME", u"Font Name:"},
    {kTypeLabelId, u"RC_STATIC_1DCODE_TYPE", u"Type:"},
    {kWidthLabelId, u"RC_STATIC_1DCODE_WIDTH", u"Element Width:"},
    {kHeightLabelId, u"RC_STATIC_1DCODE_HEIGHT", u"Element Height:"},
    {kPointLabelId, u"RC_STATIC_1DCODE_POINT", u"point"},
    {kNoticeLabelId, u"RC_STATIC_1DCODE_NOTICE", u"Select this font size in the application."},
    {kHriPositionLabelId, u"RC_STATIC_1DCODE_POSITION", u"HRI Position:"},
    {kHriFontLabelId, u"RC_STATIC_1DCODE_HRIFONT", u"HRI Font:"},
    {kGeneralGroupId, u"RC_STATIC_GENERALBARCODE", u"General Bar Code"},
    {kTestPrintGroupId, u"RC_STATIC_1DCODE_PRINT", u"Test Print"},
    {kDataLabelId, u"RC_STATIC_1DCODE_DATA", u"Data:"},
    {kPrint1DButtonId, u"RC_BUTTON_PRINT", u"Print"},
};
const PageText kPositions[kHriPositionCount] = {
    {0, u"RC_STATIC_1DCODE_POSITION1", u"Not printed"},
    {1, u"RC_STATIC_1DCODE_POSITION2", u"Above the barcode"},
    {2, u"RC_STATIC_1DCODE_POSITION3", u"Below the barcode"},
    {3, u"RC_STATIC_1DCODE_POSITION4", u"Both above and below the barcode"},
};
const std::vector<sheets::TooltipKey> kTooltips = {
    {kFontComboId, u"CTEXT_FONTNAME", u"Select the barcode font from the drop-down list."},
    {kTypeComboId, u"CTEXT_BARCODETYPE", u"Select the barcode type from the drop-down list."},
    {kWidthEditId, u"CTEXT_EDIT_WIDTH1D",
     u"Specify the element width of barcode. The unit of width is dot, available range is 2-6."},
    {kHeightEditId, u"CTEXT_EDIT_HEIGHT1D",
     u"Specify the element height of barcode. The unit of height is dot, available range is 1-255."},
    {kHriPositionComboId, u"CTEXT_HRIPOSITION",
     u"Select the print position of HRI characters from the drop-down list."},
    {kFontARadioId, u"CTEXT_FONTA", u"Print the HRI characters in Font A."},
    {kFontBRadioId, u"CTEXT_FONTB", u"Print the HRI characters in Font B."},
    {kData1DEditId, u"CTEXT_EDIT_PRINT", u"Input the data used for print test."},
    {kPrint1DButtonId, u"CTEXT_BUTTON_PRINT", u"Print the test data."},
};

ui::DialogTemplate MakeTemplate() {
  using namespace ui;
  DialogTemplate t = sheets::PageTemplate(kBarcode1DDialogId, u"1D Code");
  const auto combo = kDropDownList | kVScroll | kTabStop;
  t.controls = {
      {kGeneralGroupId, ControlKind::kGroupBox, u"General Bar Code", {7, 4, 238, 134}, kNone},
      {kFontNameLabelId, ControlKind::kStatic, u"Font Name:", {14, 18, 70, 10}, kNone},
      {kFontComboId, ControlKind::kComboBox, u"", {90, 16, 100, 100}, combo},
      {kTypeLabelId, ControlKind::kStatic, u"Type:", {14, 34, 70, 10}, kNone},
      {kTypeComboId, ControlKind::kComboBox, u"", {90, 32, 100, 120}, combo},
      {kWidthLabelId, ControlKind::kStatic, u"Element Width:", {14, 50, 70, 10}, kNone},
      {kWidthEditId, ControlKind::kEdit, u"", {90, 48, 40, 12}, kBorder | kNumber | kTabStop, 1},
      {kWidthSpinId, ControlKind::kUpDown, u"", {130, 48, 10, 12}, kNone, 0, kWidthEditId},
      {-1, ControlKind::kStatic, u"[ 2. . 6 ]", {146, 50, 60, 10}, kNone},
      {kHeightLabelId, ControlKind::kStatic, u"Element Height:", {14, 66, 70, 10}, kNone},
      {kHeightEditId, ControlKind::kEdit, u"", {90, 64, 40, 12}, kBorder | kNumber | kTabStop, 3},
      {kHeightSpinId, ControlKind::kUpDown, u"", {130, 64, 10, 12}, kNone, 0, kHeightEditId},
      {-1, ControlKind::kStatic, u"[ 1 . . 255 ]", {146, 66, 60, 10}, kNone},
      {kMillimetreDisplayId, ControlKind::kEdit, u"", {90, 80, 30, 12}, kBorder | kReadOnly},
      {-1, ControlKind::kStatic, u"mm", {124, 82, 20, 10}, kNone},
      {kPointDisplayId, ControlKind::kEdit, u"", {150, 80, 30, 12}, kBorder | kReadOnly},
      {kPointLabelId, ControlKind::kStatic, u"point", {184, 82, 40, 10}, kNone},
      {kNoticeLabelId, ControlKind::kStatic, u"Select this font size in the application.", {14, 96, 224, 10}, kNone},
      {kHriPositionLabelId, ControlKind::kStatic, u"HRI Position:", {14, 110, 70, 10}, kNone},
      {kHriPositionComboId, ControlKind::kComboBox, u"", {90, 108, 148, 80}, combo},
      {kHriFontLabelId, ControlKind::kStatic, u"HRI Font:", {14, 124, 70, 10}, kNone},
      {kFontARadioId, ControlKind::kRadioButton, u"Font A", {90, 123, 50, 10}, kGroup | kTabStop},
      {kFontBRadioId, ControlKind::kRadioButton, u"Font B", {150, 123, 50, 10}, kNone},
      {kGs1GroupId, ControlKind::kGroupBox, u"GS1 DataBar", {7, 142, 238, 20}, kHidden},
      {kTestPrintGroupId, ControlKind::kGroupBox, u"Test Print", {7, 164, 238, 48}, kNone},
      {kDataLabelId, ControlKind::kStatic, u"Data:", {14, 180, 40, 10}, kNone},
      {kData1DEditId, ControlKind::kEdit, u"", {56, 178, 130, 12}, kBorder | kTabStop, 399},
      {kPrint1DButtonId, ControlKind::kPushButton, u"Print", {192, 177, 46, 14}, kTabStop},
  };
  return t;
}

Barcode1DSettings* RecordOf(const std::optional<PrivateDevModeSpan>& bytes, PrivateDevMode& decoded,
                            std::size_t font) {
  if (!bytes) return nullptr;
  decoded = Decode(*bytes);
  return &decoded.Barcode1D[font];
}

}  // namespace


const ui::DialogTemplate& Barcode1DPage::Template() const {
  static const ui::DialogTemplate t = MakeTemplate();
  return t;
}

void Barcode1DPage::OnInit(ui::Window& window) {
  loading_ = true;
  for (int i = 0; i < kFontCount; ++i) window.AddItem(kFontComboId, kFontNamePrefix + std::u16string(1, u'1' + i));
  for (const char16_t* name : kTypeNames) window.AddItem(kTypeComboId, name);
  window.SetRange(kWidthSpinId, kMinModuleWidth, kMaxModuleWidth);
  window.SetRange(kHeightSpinId, kMinBarHeight, kMaxBarHeight);
  loading_ = false;
  SheetPage::OnInit(window);  // texts (the HRI position items among them)
  window.SetSelection(kFontComboId, 0);
  LoadFont(window, 0);
}

void Barcode1DPage::LoadTexts(ui::Window& window, const sheets::CurrentTexts& texts) {
  SetPageTexts(window, texts, kBarcode1DSection, kLabels);
  std::vector<std::u16string> positions;
  for (const PageText& item : kPositions)
    positions.push_back(texts.Get(kBarcode1DSection, item.key, item.builtin, kLabelCapacity));
  const bool was_loading = loading_;
  loading_ = true;
  SetComboItems(window, kHriPositionComboId, positions);
  loading_ = was_loading;
  SetTooltips(window, texts, kBarcode1DSection, kTooltips);
}

void Barcode1DPage::LoadFont(ui::Window& window, std::size_t font) {
  font_ = font;
  Barcode1DSettings record;
  PrivateDevMode decoded;
  if (const Barcode1DSettings* stored = RecordOf(context().PrivateRecord(), decoded, font)) record = *stored;
  else record = {kDefaultSymbology[font], kDefaultModuleWidth, kDefaultBarHeight, 0, 0};
  shown_ = ShownValues(record, font);
  loading_ = true;
  window.SetSelection(kTypeComboId, static_cast<int>(shown_.type));
  window.SetText(kWidthEditId, DigitsText(shown_.module_width));
  window.SetPosition(kWidthSpinId, shown_.module_width);
  window.SetText(kHeightEditId, DigitsText(shown_.height));
  window.SetPosition(kHeightSpinId, static_cast<int>(shown_.height));
  window.SetSelection(kHriPositionComboId, shown_.hri_position);
  window.SetChecked(kFontARadioId, shown_.hri_font == 0);
  window.SetChecked(kFontBRadioId, shown_.hri_font != 0);
  EnableHriFont(window);
  // The stored size, as the printing side knows it.
  const std::uint32_t stored_height =
      record.PreviewHeight != 0 ? record.PreviewHeight : ComputeFontHeight(shown_.height, shown_.hri_position,
                                                                           shown_.hri_font).preview_height;
  window.SetText(kMillimetreDisplayId, MillimetreText(stored_height));
  window.SetText(kPointDisplayId, PointText(PointsOf(stored_height)));
  ShowSample(window);
  loading_ = false;
}

void Barcode1DPage::ShowSample(ui::Window& window) {
  const bool was_loading = loading_;
  loading_ = true;
  window.SetText(kData1DEditId, kSampleData1D[static_cast<std::size_t>(shown_.type)]);
  loading_ = was_loading;
}

void Barcode1DPage::EnableHriFont(ui::Window& window) {
  window.Enable(kFontARadioId, shown_.hri_position != 0);
  window.Enable(kFontBRadioId, shown_.hri_position != 0);
}

template <typename Change>
void Barcode1DPage::Store(ui::Window& window, Change change) {
  EditRecord(context(), window, [&](PrivateDevMode& record) { change(record.Barcode1D[font_]); });
}

void Barcode1DPage::Recompute(ui::Window& window) {
  const FontHeight h = ComputeFontHeight(shown_.height, shown_.hri_position, shown_.hri_font);
  Store(window, [&](Barcode1DSettings& r) { r.PreviewHeight = h.preview_height; });
  window.SetText(kMillimetreDisplayId, MillimetreText(h.preview_height));
  window.SetText(kPointDisplayId, PointText(h.points));
}

void Barcode1DPage::OnWidth(ui::Window& window) {
  loading_ = true;
  const auto width =
      static_cast<std::uint8_t>(ClampEdit(window, kWidthEditId, kWidthSpinId, kMinModuleWidth, kMaxModuleWidth));
  loading_ = false;
  shown_.module_width = width;
  Store(window, [&](Barcode1DSettings& r) {
    r.ModuleWidth = width;
    r.ModuleWidthX8 = width * 8u;
  });
}

void Barcode1DPage::OnHeight(ui::Window& window) {
  loading_ = true;
  shown_.height = ClampEdit(window, kHeightEditId, kHeightSpinId, kMinBarHeight, kMaxBarHeight);
  loading_ = false;
  Store(window, [&](Barcode1DSettings& r) { r.Height = shown_.height; });
  Recompute(window);
}

bool Barcode1DPage::OnCommand(ui::Window& window, int id, ui::Notify code) {
  if (loading_) return false;
  switch (id) {
    case kFontComboId:
      if (code != ui::Notify::kSelChanged) return false;
      if (const int font = window.Selection(kFontComboId); font >= 0 && font < kFontCount)
        LoadFont(window, static_cast<std::size_t>(font));
      return true;
    case kTypeComboId:
      if (code != ui::Notify::kSelChanged) return false;
      if (const auto type = print::commands::BarcodeTypeAt(static_cast<std::size_t>(window.Selection(kTypeComboId)))) {
        shown_.type = *type;
        Store(window, [&](Barcode1DSettings& r) { r.Symbology = static_cast<std::uint8_t>(*type); });
        ShowSample(window);
      }
      return true;
    // A spin click has already written its position into the edit.
    case kWidthEditId:
    case kWidthSpinId:
      if (code != (id == kWidthEditId ? ui::Notify::kChanged : ui::Notify::kScrolled)) return false;
      OnWidth(window);
      return true;
    case kHeightEditId:
    case kHeightSpinId:
      if (code != (id == kHeightEditId ? ui::Notify::kChanged : ui::Notify::kScrolled)) return false;
      OnHeight(window);
      return true;
    case kHriPositionComboId: {
      const int position = window.Selection(kHriPositionComboId);
      if (code != ui::Notify::kSelChanged || position < 0 || position >= kHriPositionCount) return false;
      shown_.hri_position = static_cast<std::uint8_t>(position);
      Store(window, [&](Barcode1DSettings& r) { r.HriPosition = shown_.hri_position; });
      EnableHriFont(window);
      Recompute(window);
      return true;
    }
    case kFontARadioId:
    case kFontBRadioId:
      if (code != ui::Notify::kClicked) return false;
      shown_.hri_font = id == kFontARadioId ? 0 : 1;
      Store(window, [&](Barcode1DSettings& r) { r.HriFont = shown_.hri_font; });
      Recompute(window);
      return true;
    case kPrint1DButtonId:
      if (code != ui::Notify::kClicked) return false;
      Print(window);
      return true;
    default:
      return false;
  }
}

void Barcode1DPage::Print(ui::Window& window) {
  const std::string bytes = TestPrintData(print_, window.Text(kData1DEditId));
  const auto data = Check1DData(shown_.type, bytes);
  if (!data) {
    ShowMessage(window, sheets::Message::k1DCodeError1, sheets::MessageTitle::kError,
                ui::kMbOk | ui::kMbIconError);
    return;
  }
  const print::commands::BarcodeParameters parameters = BarcodeParametersOf(shown_);
  const auto* first = reinterpret_cast<const std::uint8_t*>(data->data());
  if (print_.send) print_.send(print::commands::BarcodeJob(parameters, std::span(first, data->size())));
}

}  // namespace kit::plugin::barcode
