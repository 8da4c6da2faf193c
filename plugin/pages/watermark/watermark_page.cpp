// This file is OS-independent.
#include "plugin/pages/watermark/watermark_page.h"

#include <algorithm>
#include <array>
#include <string>

#include "common/strings/capacity.h"
#include "common/strings/decimal.h"
#include "plugin/core/sheets/watermark_signal.h"
#include "plugin/pages/watermark/watermark_page_shared.h"
#include "plugin/pages/watermark/watermark_preview.h"
#include "plugin/pages/watermark/watermark_text.h"

namespace kit::plugin::watermark {

const char16_t* const kWatermarkTexts[8] = {u"CONFIDENTIAL", u"DO NOT COPY", u"TOP SECRET", u"DRAFT",
                                            u"PROOF",        u"FINAL",       u"COPY",       u"FILE COPY"};

namespace {

using sheets::Message;
using sheets::MessageTitle;
using sheets::PageText;
using page_parts::kImageMode;
using page_parts::kModeCount;
using page_parts::kTextMode;
using page_parts::MessageOf;
using page_parts::ParseNumber;
using page_parts::ReadSource;

constexpr std::size_t kLabelCapacity = 50;
constexpr int kDefaultFontSize = 50;
constexpr int kDefaultPosition = 4;

const std::vector<PageText> kLabels = {
    {kNoWatermarkRadioId, u"RC_RADIO_NO", u"No Water Mark", kLabelCapacity},
    {kImageRadioId, u"RC_RADIO_IMAGE", u"Image Water Mark", kLabelCapacity},
    {kBitmapLabelId, u"RC_STATIC_WATERMARK_BMP", u"Bitmap:", kLabelCapacity},
    {kBrowseButtonId, u"RC_SELECT_PICTURE", u"Browse...", kLabelCapacity},
    {kTextRadioId, u"RC_RADIO_TEXT", u"Text Water Mark", kLabelCapacity},
    {kTextLabelId, u"RC_STATIC_WATERMARK_TEXT", u"Text:", kLabelCapacity},
    {kFontTypeLabelId, u"RC_STATIC_WATERMARK_FONTTYPE", u"Font Type:", kLabelCapacity},
    {kFontStyleLabelId, u"RC_STATIC_WATERMARK_FONTSTYLE", u"Font Style:", kLabelCapacity},
    {kFontSizeLabelId, u"RC_STATIC_WATERMARK_FONTSIZE", u"Font Size:", kLabelCapacity},
    {kAngleLabelId, u"RC_STATIC_WATERMARK_ANGLE", u"Angle:", kLabelCapacity},
    {kPositionLabelId, u"RC_STATIC_WATERMARK_POSITION", u"Print Position:", kLabelCapacity},
    {kSizeLabelId, u"RC_STATIC_WATERMARK_SIZE", u"Size:", kLabelCapacity},
    {kBrightnessLabelId, u"RC_STATIC_WATERMARK_BRIGHTNESS", u"Brightness:", kLabelCapacity},
};
const PageText kStyles[kStyleCount] = {
    {0, u"RC_STATIC_WATERMARK_FONTSTYLE1", u"Regular", kLabelCapacity},
    {1, u"RC_STATIC_WATERMARK_FONTSTYLE2", u"Italic", kLabelCapacity},
    {2, u"RC_STATIC_WATERMARK_FONTSTYLE3", u"Bold", kLabelCapacity},
    {3, u"RC_STATIC_WATERMARK_FONTSTYLE4", u"Bold Italic", kLabelCapacity},
};
const PageText kPositions[kPositionCount] = {
    {0, u"RC_STATIC_WATERMARK_POSITION1", u"Left-Top", kLabelCapacity},
    {1, u"RC_STATIC_WATERMARK_POSITION2", u"Center-Top", kLabelCapacity},
    {2, u"RC_STATIC_WATERMARK_POSITION3", u"Right-Top", kLabelCapacity},
    {3, u"RC_STATIC_WATERMARK_POSITION4", u"Left-Middle", kLabelCapacity},
    {4, u"RC_STATIC_WATERMARK_POSITION5", u"Center-Middle", kLabelCapacity},
    {5, u"RC_STATIC_WATERMARK_POSITION6", u"Right-Middle", kLabelCapacity},
    {6, u"RC_STATIC_WATERMARK_POSITION7", u"Left-Bottom", kLabelCapacity},
    {7, u"RC_STATIC_WATERMARK_POSITION8", u"Center-Bottom", kLabelCapacity},
    {8, u"RC_STATIC_WATERMARK_POSITION9", u"Right-Bottom", kLabelCapacity},
    {9, u"RC_STATIC_WATERMARK_POSITION10", u"Tiled", kLabelCapacity},
};
const std::vector<sheets::TooltipKey> kTooltips = {
    {kNoWatermarkRadioId, u"CTEXT_RADIO_NO", u"Print without a watermark."},
    {kImageRadioId, u"CTEXT_RADIO_IMAGE", u"Print a bitmap as the watermark."},
    {kPathEditId, u"CTEXT_PICTURE_NAME", u"Select the path of watermark bitmap."},
    {kBrowseButtonId, u"CTEXT_SELECT_PICTURE", u"Select the path of watermark bitmap."},
    {kTextRadioId, u"CTEXT_RADIO_TEXT", u"Print a text as the watermark."},
    {kTextComboId, u"CTEXT_COMBO_TEXT", u"Select or edit the text used as watermark."},
    {kFontComboId, u"CTEXT_COMBO_FONTTYPE", u"Set the font type of text used as watermark."},
    {kStyleComboId, u"CTEXT_COMBO_FONTSTYLE", u"Set the font style of text used as watermark."},
    {kFontSizeEditId, u"CTEXT_EDIT_FONTSIZE", u"Set the font size of text used as watermark."},
    {kAngleTrackbarId, u"CTEXT_SLIDER_ANGLE", u"Set the rotation angle of text used as watermark."},
    {kPositionComboId, u"CTEXT_COMBO_POSITION", u"Set the print position of watermark."},
    {kSizeTrackbarId, u"CTEXT_SLIDER_SIZE", u"Set the zoom size of watermark."},
    {kBrightnessTrackbarId, u"CTEXT_SLIDER_LIGHT", u"Set the brightness of watermark."},
};

// Controls of each kind of watermark; the placement controls serve both.
constexpr int kImageControls[] = {kPathEditId, kBrowseButtonId};
constexpr int kTextControls[] = {kTextComboId, kFontComboId,     kStyleComboId,   kFontSizeEditId,
                                 kFontSizeSpinId, kAngleTrackbarId};
constexpr int kPlacementControls[] = {kPositionComboId, kSizeTrackbarId, kBrightnessTrackbarId};

// Which preview errors this process has shown.
std::array<bool, 4>& ShownPreviewErrors() {
  static std::array<bool, 4> shown{};
  return shown;
}
int PreviewErrorSlot(Message message) {
  switch (message) {
    case Message::kWatermarkError1: return 0;
    case Message::kWatermarkError2: return 1;
    case Message::kWatermarkError4: return 2;
    default: return 3;
  }
}

}  // namespace

std::optional<int> page_parts::ParseNumber(std::u16string_view text) {
  int value = 0;
  std::size_t i = 0;
  for (; i < text.size() && text[i] >= u'0' && text[i] <= u'9' && value < 100000; ++i) value = value * 10 + (text[i] - u'0');
  if (i == 0) return std::nullopt;
  return value;
}

PictureError page_parts::ReadSource(Files& files, std::u16string_view path, Bytes* source) {
  std::uint64_t size = 0;
  if (files.GetFileSize(path, &size) && size > kMaxSourceBytes) return PictureError::kTooBig;
  if (!files.ReadFile(path, kMaxSourceBytes, source)) return PictureError::kNotUsable;
  return PictureError::kNone;
}

Message page_parts::MessageOf(PictureError error) {
  switch (error) {
    case PictureError::kTooBig: return Message::kWatermarkError4;
    case PictureError::kNotWritten: return Message::kWatermarkError2;
    default: return Message::kWatermarkError5;
  }
}

void ForgetShownPreviewErrors() { ShownPreviewErrors() = {}; }

Shown ShownValues(const PrivateDevMode& record) {
  Shown s;
  s.mode = record.WatermarkMode < kModeCount ? record.WatermarkMode : 0;
  s.path = TextOf(record.WatermarkBitmapPath);
  s.text = CopyCapped(std::u16string_view{TextOf(record.WatermarkText)}, kWatermarkTextCapacity);
  s.font = TextOf(record.WatermarkFontName);
  s.font_size = record.WatermarkFontSize == 0 ? kDefaultFontSize
                                              : std::clamp<int>(record.WatermarkFontSize, kMinFontSize, kMaxFontSize);
  s.style = record.WatermarkFontStyle < kStyleCount ? record.WatermarkFontStyle : 0;
  s.angle = static_cast<int>(std::min<std::uint32_t>(record.WatermarkAngle, kMaxAngle));
  s.position = record.WatermarkPosition < kPositionCount ? record.WatermarkPosition : kDefaultPosition;
  s.size = std::min<int>(record.WatermarkSize, kMaxSize);
  if (s.position == kTiledPosition) s.size = std::max(s.size, kMinTiledSize);
  s.brightness = record.WatermarkBrightness;
  return s;
}

template <typename Change>
void WatermarkPage::Store(ui::Window& window, Change change) {
  if (loading_) return;
  if (const auto span = context().PrivateRecord()) {
    PrivateDevMode record = Decode(*span);
    change(record);
    Encode(record, *span);
  }
  Changed(window);
}

void WatermarkPage::OnInit(ui::Window& window) {
  loading_ = true;
  for (const char16_t* text : kWatermarkTexts) window.AddItem(kTextComboId, text);
  // The families are asked for once: the font list and the text picture's
  // canvas both take them from here.
  if (SystemFacts* system = context().platform().system) families_ = system->EnumFontFamilies(ui::kCharsetAnsi);
  for (const std::u16string& family : families_) window.AddItem(kFontComboId, family);
  window.SetRange(kFontSizeSpinId, kMinFontSize, kMaxFontSize);
  window.SetRange(kAngleTrackbarId, 0, kMaxAngle);
  window.SetRange(kSizeTrackbarId, 0, kMaxSize);
  window.SetRange(kBrightnessTrackbarId, 0, kMaxBrightness);
  loading_ = false;
  SheetPage::OnInit(window);  // texts, then ShowValues
}

void WatermarkPage::LoadTexts(ui::Window& window, const sheets::CurrentTexts& texts) {
  SetTexts(window, texts, kWatermarkSection, kLabels);
  std::vector<std::u16string> styles, positions;
  for (const PageText& s : kStyles) styles.push_back(texts.Get(kWatermarkSection, s.key, s.builtin, s.capacity));
  for (const PageText& p : kPositions) positions.push_back(texts.Get(kWatermarkSection, p.key, p.builtin, p.capacity));
  const bool was_loading = loading_;
  loading_ = true;
  sheets::SetComboItems(window, kStyleComboId, styles);
  sheets::SetComboItems(window, kPositionComboId, positions);
  loading_ = was_loading;
  SetTooltips(window, texts, kWatermarkSection, kTooltips);
}

void WatermarkPage::ShowValues(ui::Window& window) {
  const auto span = context().PrivateRecord();
  applied_ = span ? Decode(*span) : PrivateDevMode{};
  shown_ = ShownValues(applied_);
  loading_ = true;
  window.SetChecked(kNoWatermarkRadioId, shown_.mode == 0);
  window.SetChecked(kImageRadioId, shown_.mode == kImageMode);
  window.SetChecked(kTextRadioId, shown_.mode == kTextMode);
  window.SetText(kPathEditId, shown_.path);
  if (shown_.text.empty()) {
    window.SetSelection(kTextComboId, 0);
    window.SetText(kTextComboId, kWatermarkTexts[0]);
  } else {
    window.SetText(kTextComboId, shown_.text);
  }
  int font = -1;
  for (int i = 0; i < window.ItemCount(kFontComboId) && font < 0; ++i)
    if (window.ItemText(kFontComboId, i) == shown_.font) font = i;
  window.SetSelection(kFontComboId, font >= 0 ? font : (window.ItemCount(kFontComboId) > 0 ? 0 : -1));
  window.SetSelection(kStyleComboId, shown_.style);
  window.SetText(kFontSizeEditId, DecimalText(shown_.font_size));
  window.SetPosition(kFontSizeSpinId, shown_.font_size);
  window.SetPosition(kAngleTrackbarId, shown_.angle);
  window.SetSelection(kPositionComboId, shown_.position);
  window.SetPosition(kSizeTrackbarId, shown_.size);
  window.SetPosition(kBrightnessTrackbarId, shown_.brightness);
  window.SetText(kAngleValueId, DecimalText(shown_.angle));
  window.SetText(kSizeValueId, DecimalText(shown_.size));
  window.SetText(kBrightnessValueId, DecimalText(shown_.brightness));
  EnableForMode(window, shown_.mode);
  loading_ = false;
  reload_image_ = true;
  image_.reset();
  staged_.reset();
  RedrawPreview(window);
}

void WatermarkPage::EnableForMode(ui::Window& window, int mode) {
  for (int id : kImageControls) window.Enable(id, mode == kImageMode);
  for (int id : kTextControls) window.Enable(id, mode == kTextMode);
  for (int id : kPlacementControls) window.Enable(id, mode != 0);
}

Shown WatermarkPage::Current(ui::Window& window) const {
  Shown s;
  s.mode = window.IsChecked(kImageRadioId) ? kImageMode : window.IsChecked(kTextRadioId) ? kTextMode : 0;
  s.path = window.Text(kPathEditId);
  s.text = CopyCapped(std::u16string_view{window.Text(kTextComboId)}, kWatermarkTextCapacity);
  const int font = window.Selection(kFontComboId);
  s.font = font >= 0 ? window.ItemText(kFontComboId, font) : shown_.font;
  s.font_size = std::clamp(ParseNumber(window.Text(kFontSizeEditId)).value_or(kMinFontSize), kMinFontSize, kMaxFontSize);
  s.style = std::clamp(window.Selection(kStyleComboId), 0, kStyleCount - 1);
  s.angle = window.Position(kAngleTrackbarId);
  s.position = std::clamp(window.Selection(kPositionComboId), 0, kPositionCount - 1);
  s.size = window.Position(kSizeTrackbarId);
  s.brightness = window.Position(kBrightnessTrackbarId);
  return s;
}

bool WatermarkPage::OnCommand(ui::Window& window, int id, ui::Notify code) {
  if (loading_) return false;
  switch (id) {
    case kNoWatermarkRadioId:
    case kImageRadioId:
    case kTextRadioId:
      if (code != ui::Notify::kClicked || !window.IsChecked(id)) return false;
      ChooseMode(window, id == kImageRadioId ? kImageMode : id == kTextRadioId ? kTextMode : 0);
      return true;
    case kBrowseButtonId:
      if (code != ui::Notify::kClicked) return false;
      Browse(window);
      return true;
    case kTextComboId: {
      if (code != ui::Notify::kChanged && code != ui::Notify::kSelChanged) return false;
      // A chosen item is not in the edit part yet when the selection changes.
      const int item = window.Selection(kTextComboId);
      std::u16string text = code == ui::Notify::kSelChanged && item >= 0 ? window.ItemText(kTextComboId, item)
                                                                         : window.Text(kTextComboId);
      if (static_cast<int>(text.size()) > kTextLimit) {
        text = CopyCapped(std::u16string_view{text}, kWatermarkTextCapacity);
        window.SetText(kTextComboId, text);
      }
      Store(window, [&](PrivateDevMode& r) { SetText(r.WatermarkText, CopyCapped(std::u16string_view{text}, kWatermarkTextCapacity)); });
      RedrawPreview(window);
      return true;
    }
    case kFontComboId: {
      if (code != ui::Notify::kSelChanged) return false;
      const int item = window.Selection(kFontComboId);
      if (item < 0) return true;
      const std::u16string font = window.ItemText(kFontComboId, item);
      Store(window, [&](PrivateDevMode& r) {
        r.WatermarkFontName.fill(u'\0');
        SetText(r.WatermarkFontName, CopyCapped(std::u16string_view{font}, kWatermarkFontNameCapacity));
      });
      RedrawPreview(window);
      return true;
    }
    case kStyleComboId: {
      if (code != ui::Notify::kSelChanged) return false;
      const int style = window.Selection(kStyleComboId);
      if (style < 0 || style >= kStyleCount) return true;
      Store(window, [&](PrivateDevMode& r) { r.WatermarkFontStyle = static_cast<std::uint8_t>(style); });
      RedrawPreview(window);
      return true;
    }
    case kFontSizeEditId:
    case kFontSizeSpinId:
      OnFontSize(window, id == kFontSizeSpinId ? ui::Notify::kChanged : code);
      return true;
    case kPositionComboId: {
      if (code != ui::Notify::kSelChanged) return false;
      const int position = window.Selection(kPositionComboId);
      if (position < 0 || position >= kPositionCount) return true;
      Store(window, [&](PrivateDevMode& r) { r.WatermarkPosition = static_cast<std::uint8_t>(position); });
      if (position == kTiledPosition && window.Position(kSizeTrackbarId) < kMinTiledSize) SetSize(window, kMinTiledSize);
      RedrawPreview(window);
      return true;
    }
    case kAngleTrackbarId:
    case kSizeTrackbarId:
    case kBrightnessTrackbarId:
      OnTrackbar(window, id, code);
      return true;
    default: return false;
  }
}

void WatermarkPage::ChooseMode(ui::Window& window, int mode) {
  Store(window, [&](PrivateDevMode& r) {
    r.WatermarkMode = static_cast<std::uint8_t>(mode);
    if (mode == 0) {
      // Graphics printing stays on while zoom or rotation needs it.
      if (r.PrintAsGraphics != 0 && r.ZoomEnabled == 0 && r.Rotate180 == 0) {
        r.PrintAsGraphics = 0;
        sheets::SignalWatermarkGraphicsOff();
      }
    } else if (r.PrintAsGraphics == 0) {
      ShowMessage(window, Message::kWatermarkInformation1, MessageTitle::kInformation, ui::kMbIconInformation);
      r.PrintAsGraphics = 1;
    }
  });
  EnableForMode(window, mode);
  RedrawPreview(window);
}

void WatermarkPage::OnFontSize(ui::Window& window, ui::Notify code) {
  if (code != ui::Notify::kChanged && code != ui::Notify::kKillFocus) return;
  const std::optional<int> typed = ParseNumber(window.Text(kFontSizeEditId));
  if (!typed && code == ui::Notify::kChanged) return;
  int size = typed.value_or(kMinFontSize);
  if (size > kMaxFontSize) size = kMaxFontSize;
  if (code == ui::Notify::kKillFocus && size < kMinFontSize) size = kMinFontSize;
  if (size != typed) {
    // The spin follows only a value the page set itself: it would rewrite a
    // number still being typed.
    loading_ = true;
    window.SetText(kFontSizeEditId, DecimalText(size));
    window.SetPosition(kFontSizeSpinId, size);
    loading_ = false;
  }
  Store(window, [&](PrivateDevMode& r) { r.WatermarkFontSize = static_cast<std::uint8_t>(size); });
  RedrawPreview(window);
}

void WatermarkPage::SetSize(ui::Window& window, int size) {
  window.SetPosition(kSizeTrackbarId, size);
  window.SetText(kSizeValueId, DecimalText(size));
  Store(window, [&](PrivateDevMode& r) { r.WatermarkSize = static_cast<std::uint8_t>(size); });
}

void WatermarkPage::OnTrackbar(ui::Window& window, int id, ui::Notify code) {
  if (code == ui::Notify::kCaptureReleased) {
    // After a release the size shows as a percentage.
    if (id != kAngleTrackbarId) window.SetText(kSizeValueId, DecimalText(window.Position(kSizeTrackbarId)) + u"%");
    return;
  }
  if (code != ui::Notify::kScrolled) return;
  const int position = window.Position(id);
  if (id == kAngleTrackbarId) {
    window.SetText(kAngleValueId, DecimalText(position));
    Store(window, [&](PrivateDevMode& r) { r.WatermarkAngle = static_cast<std::uint32_t>(position); });
  } else if (id == kSizeTrackbarId) {
    const bool tiled = window.Selection(kPositionComboId) == kTiledPosition;
    SetSize(window, tiled ? std::max(position, kMinTiledSize) : position);
  } else {
    window.SetText(kBrightnessValueId, DecimalText(position));
    Store(window, [&](PrivateDevMode& r) { r.WatermarkBrightness = static_cast<std::uint8_t>(position); });
  }
  RedrawPreview(window);
}

ui::Canvas& WatermarkPage::Canvas() {
  if (!canvas_) canvas_ = ui::CreateCanvas(families_);
  return *canvas_;
}

ui::Bitmap WatermarkPage::TextPicture(const Shown& shown) {
  TextWatermark text{shown.text, shown.font, shown.font_size, shown.style, static_cast<std::uint32_t>(shown.angle)};
  return RenderText(Canvas(), text);
}

void WatermarkPage::OnPaint(ui::Window& window, ui::Painter& painter) {
  SheetPage::OnPaint(window, painter);
  RedrawPreview(window);
}

void WatermarkPage::ShowPreviewError(ui::Window& window, Message message) {
  bool& shown = ShownPreviewErrors()[static_cast<std::size_t>(PreviewErrorSlot(message))];
  if (shown) return;
  shown = true;
  ShowMessage(window, message, MessageTitle::kError, ui::kMbIconError);
}

void WatermarkPage::RedrawPreview(ui::Window& window) {
  if (loading_) return;
  const Shown now = Current(window);
  const ui::Rect frame = PreviewFrameSize();
  ui::Bitmap picture;
  ui::StretchMode mode = ui::StretchMode::kColorOnColor;
  if (now.mode == kImageMode && !now.path.empty()) {
    if (reload_image_) {
      reload_image_ = false;
      image_.reset();
      Files* files = context().platform().files;
      Bytes source;
      const PictureError read = files == nullptr ? PictureError::kNotUsable : ReadSource(*files, now.path, &source);
      if (read != PictureError::kNone) {
        ShowPreviewError(window, read == PictureError::kTooBig ? Message::kWatermarkError4 : Message::kWatermarkError1);
      } else if (Converted converted; Convert(source, &converted, &image_) != PictureError::kNone) {
        // The preview converts in memory: the printing side's picture
        // changes only when the sheet is applied.
        image_.reset();
        ShowPreviewError(window, MessageOf(converted.error));
      }
    }
    if (!image_) return;  // the frame stays as it was
    picture = *image_;
  } else if (now.mode == kTextMode) {
    picture = TextPicture(now);
    if (picture.Empty()) return;
    mode = ui::StretchMode::kBlackOnWhite;
  }
  Brighten(picture, now.brightness);
  ui::Bitmap composed = ComposePreview(frame.cx, frame.cy, picture, now.size, now.position, mode);
  if (composed.pixels == preview_.pixels && composed.width == preview_.width) return;
  preview_ = std::move(composed);
  window.DrawBitmap(kPreviewFrameId, preview_);
}

}  // namespace kit::plugin::watermark
