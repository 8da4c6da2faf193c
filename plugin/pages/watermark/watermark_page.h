// The "Water Mark" page of the document sheet (dialog 131): no watermark, a
// bitmap, or a text with font, style, size and angle; for both kinds the
// place on the page, the size and the brightness; a live preview; and the
// watermark picture the printing side takes (plugin/core/watermark/
// picture_place.h says where).
//
// The picture changes only with the record: a bitmap chosen with Browse is
// converted and shown at once but written for the printing side only when
// the sheet is applied (Apply or OK); Cancel leaves the picture as it was.
//
// Values live in the watermark fields of the private settings record. A
// value outside its range is shown clamped (or as the default) and written
// only when the user changes it. Choosing a watermark turns graphics
// printing on; choosing none turns it off again only while neither zoom nor
// rotation needs it, and then tells the Main page.
// This file is OS-independent.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "plugin/core/devmode/private_devmode.h"
#include "plugin/core/sheets/sheet_page.h"
#include "plugin/pages/watermark/watermark_picture.h"
#include "ui/canvas/canvas.h"

namespace kit::plugin::watermark {

inline constexpr int kWatermarkDialogId = 131;
inline constexpr char16_t kWatermarkSection[] = u"WATERMARK";

// Controls.
inline constexpr int kNoWatermarkRadioId = 1077;
inline constexpr int kImageRadioId = 1061;
inline constexpr int kTextRadioId = 1078;
inline constexpr int kPathEditId = 1047;
inline constexpr int kBrowseButtonId = 1049;
inline constexpr int kTextComboId = 1020;
inline constexpr int kFontComboId = 1021;
inline constexpr int kStyleComboId = 1022;
inline constexpr int kFontSizeEditId = 1052;
inline constexpr int kFontSizeSpinId = 1080;
inline constexpr int kAngleTrackbarId = 1018;
inline constexpr int kAngleValueId = 1081;
inline constexpr int kPositionComboId = 1023;
inline constexpr int kSizeTrackbarId = 1082;
inline constexpr int kSizeValueId = 1084;
inline constexpr int kBrightnessTrackbarId = 1083;
inline constexpr int kBrightnessValueId = 1086;
inline constexpr int kPreviewFrameId = 1085;
// Labels that take language texts.
inline constexpr int kBitmapLabelId = 2001;
inline constexpr int kTextLabelId = 2002;
inline constexpr int kFontTypeLabelId = 2003;
inline constexpr int kFontStyleLabelId = 2004;
inline constexpr int kFontSizeLabelId = 2005;
inline constexpr int kAngleLabelId = 2006;
inline constexpr int kPositionLabelId = 2007;
inline constexpr int kSizeLabelId = 2008;
inline constexpr int kBrightnessLabelId = 2009;

inline constexpr int kMinFontSize = 8;
inline constexpr int kMaxFontSize = 72;
inline constexpr int kMaxAngle = 360;
inline constexpr int kMaxSize = 100;
inline constexpr int kMaxBrightness = 255;
// Characters the text combo takes: its field holds 16 units with the
// terminator.
inline constexpr int kTextLimit = static_cast<int>(kWatermarkTextCapacity) - 1;
// The open-file dialog of Browse.
inline constexpr char16_t kBitmapPattern[] = u"*.bmp";
inline constexpr std::uint32_t kBrowseFlags = 0x00202C06;
inline constexpr std::size_t kBrowsePathCapacity = 510;

// The texts of the text combo.
extern const char16_t* const kWatermarkTexts[8];

// What the page shows of a record: every value made valid.
struct Shown {
  int mode = 0;
  std::u16string path;
  std::u16string text;
  std::u16string font;
  int font_size = 50;
  int style = 0;
  int angle = 45;
  int position = 4;
  int size = 100;
  int brightness = 50;
  bool operator==(const Shown&) const = default;
};
Shown ShownValues(const PrivateDevMode& record);

// The page's own frame size, in pixels: its template rectangle in the
// dialog font's base units.
ui::Rect PreviewFrameSize();

// Preview errors are shown once in the life of the process; this forgets
// which were shown (a new process, for tests).
void ForgetShownPreviewErrors();

class WatermarkPage final : public sheets::SheetPage {
 public:
  explicit WatermarkPage(sheets::PageContext context) : SheetPage(context) {}

  const ui::DialogTemplate& Template() const override;
  void OnInit(ui::Window& window) override;
  bool OnCommand(ui::Window& window, int id, ui::Notify code) override;
  ui::SheetReply OnSheet(ui::Window& window, ui::SheetEvent event) override;
  void OnPaint(ui::Window& window, ui::Painter& painter) override;

  // Where this user's watermark picture for this sheet's printer goes, and
  // the owner the record then names (empty: the temporary folder's picture,
  // when the user or the common folder cannot be named). An empty path: no
  // picture can be made.
  struct PictureTarget {
    std::u16string path;
    std::u16string owner;
  };
  PictureTarget Target() const;
  // The preview as last drawn into the frame.
  const ui::Bitmap& Preview() const { return preview_; }

 protected:
  void LoadTexts(ui::Window& window, const sheets::CurrentTexts& texts) override;
  void ShowValues(ui::Window& window) override;

 private:
  template <typename Change>
  void Store(ui::Window& window, Change change);
  void EnableForMode(ui::Window& window, int mode);
  void ChooseMode(ui::Window& window, int mode);
  void Browse(ui::Window& window);
  void OnFontSize(ui::Window& window, ui::Notify code);
  void OnTrackbar(ui::Window& window, int id, ui::Notify code);
  void SetSize(ui::Window& window, int size);
  bool Apply(ui::Window& window);
  // The picture of the record's watermark put in place for the printing
  // side (*owner: whose it is then): the text rendered, or the bitmap
  // Browse converted, or else the bitmap at `now.path` converted anew (the
  // picture in place kept when that bitmap is gone since it was applied).
  PictureError PlacePicture(const Shown& now, std::u16string* owner);
  // Writes a picture file whole to Target(), its folders made first.
  PictureError WritePicture(const std::vector<std::uint8_t>& file, bool archive, std::u16string* owner);
  // Converts a source bitmap, as read once by the caller, in memory; its
  // pixels for the preview.
  static PictureError Convert(const Bytes& source, Converted* converted, std::optional<ui::Bitmap>* picture);
  ui::Canvas& Canvas();
  ui::Bitmap TextPicture(const Shown& shown);
  void RedrawPreview(ui::Window& window);
  void ShowPreviewError(ui::Window& window, sheets::Message message);
  Shown Current(ui::Window& window) const;

  Shown shown_;         // as loaded from the record
  // The record's watermark as it stood when the page opened or was last
  // applied: a text picture that cannot be written puts the record back to
  // it, so record and picture agree.
  PrivateDevMode applied_{};
  bool loading_ = false;
  bool reload_image_ = true;
  std::optional<ui::Bitmap> image_;  // the image watermark, as converted
  // The bitmap Browse chose and converted, written at Apply.
  std::optional<Converted> staged_;
  std::unique_ptr<ui::Canvas> canvas_;
  // The system's font families, read when the page opens.
  std::vector<std::u16string> families_;
  ui::Bitmap preview_;
};

}  // namespace kit::plugin::watermark
