// The "Water Mark" page's template: the three kinds on the left, one below
// the other with their controls, placement below them, and the preview
// frame, tall and narrow like a receipt, on the right.
// This file is OS-independent.
#include "plugin/pages/watermark/watermark_page.h"

namespace kit::plugin::watermark {
namespace {

// The dialog font's base units (MS Shell Dlg, 8 points).
constexpr int kBaseUnitX = 6;
constexpr int kBaseUnitY = 13;
constexpr ui::Rect kPreviewRect{176, 52, 70, 156};

ui::DialogTemplate MakeTemplate() {
  using namespace ui;
  DialogTemplate t = sheets::PageTemplate(kWatermarkDialogId, u"Water Mark");
  const auto list = kDropDownList | kVScroll | kTabStop;
  t.controls = {
      {kNoWatermarkRadioId, ControlKind::kRadioButton, u"No Water Mark", {7, 6, 120, 10}, kGroup | kTabStop},
      {kImageRadioId, ControlKind::kRadioButton, u"Image Water Mark", {7, 19, 120, 10}, kNone},
      {kBitmapLabelId, ControlKind::kStatic, u"Bitmap:", {18, 35, 40, 10}, kNone},
      {kPathEditId, ControlKind::kEdit, u"", {60, 33, 130, 12}, kBorder | kReadOnly | kTabStop},
      {kBrowseButtonId, ControlKind::kPushButton, u"Browse...", {194, 32, 52, 14}, kTabStop},
      {kTextRadioId, ControlKind::kRadioButton, u"Text Water Mark", {7, 52, 120, 10}, kNone},
      {kTextLabelId, ControlKind::kStatic, u"Text:", {18, 68, 50, 10}, kNone},
      {kTextComboId, ControlKind::kComboBox, u"", {72, 66, 98, 100}, kVScroll | kTabStop, kTextLimit},
      {kFontTypeLabelId, ControlKind::kStatic, u"Font Type:", {18, 84, 50, 10}, kNone},
      {kFontComboId, ControlKind::kComboBox, u"", {72, 82, 98, 100}, list},
      {kFontStyleLabelId, ControlKind::kStatic, u"Font Style:", {18, 100, 50, 10}, kNone},
      {kStyleComboId, ControlKind::kComboBox, u"", {72, 98, 98, 80}, list},
      {kFontSizeLabelId, ControlKind::kStatic, u"Font Size:", {18, 116, 50, 10}, kNone},
      {kFontSizeEditId, ControlKind::kEdit, u"", {72, 114, 36, 12}, kBorder | kNumber | kTabStop, 2},
      {kFontSizeSpinId, ControlKind::kUpDown, u"", {108, 114, 10, 12}, kNone, 0, kFontSizeEditId},
      {kAngleLabelId, ControlKind::kStatic, u"Angle:", {18, 132, 50, 10}, kNone},
      {kAngleTrackbarId, ControlKind::kTrackbar, u"", {68, 129, 82, 16}, kTabStop},
      {kAngleValueId, ControlKind::kStatic, u"", {150, 132, 24, 10}, kNone},
      {kPositionLabelId, ControlKind::kStatic, u"Print Position:", {7, 154, 62, 10}, kNone},
      {kPositionComboId, ControlKind::kComboBox, u"", {72, 152, 98, 120}, list},
      {kSizeLabelId, ControlKind::kStatic, u"Size:", {7, 174, 60, 10}, kNone},
      {kSizeTrackbarId, ControlKind::kTrackbar, u"", {68, 171, 82, 16}, kTabStop},
      {kSizeValueId, ControlKind::kStatic, u"", {150, 174, 24, 10}, kNone},
      {kBrightnessLabelId, ControlKind::kStatic, u"Brightness:", {7, 194, 60, 10}, kNone},
      {kBrightnessTrackbarId, ControlKind::kTrackbar, u"", {68, 191, 82, 16}, kTabStop},
      {kBrightnessValueId, ControlKind::kStatic, u"", {150, 194, 24, 10}, kNone},
      {kPreviewFrameId, ControlKind::kPicture, u"", kPreviewRect, kSingleBorder},
  };
  return t;
}

}  // namespace

const ui::DialogTemplate& WatermarkPage::Template() const {
  static const ui::DialogTemplate t = MakeTemplate();
  return t;
}

ui::Rect PreviewFrameSize() {
  return {0, 0, kPreviewRect.cx * kBaseUnitX / 4, kPreviewRect.cy * kBaseUnitY / 8};
}

}  // namespace kit::plugin::watermark
