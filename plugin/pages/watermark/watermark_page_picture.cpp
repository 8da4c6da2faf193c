// The Water Mark page's picture for the printing side: where it goes, the
// bitmap Browse chooses (converted at once, written only at Apply), and
// Apply, which puts the picture in place before the record names it.
// This file is OS-independent.
#include <algorithm>

#include "common/strings/capacity.h"
#include "plugin/core/watermark/picture_place.h"
#include "plugin/pages/watermark/watermark_page.h"
#include "plugin/pages/watermark/watermark_page_shared.h"
#include "plugin/pages/watermark/watermark_text.h"

namespace kit::plugin::watermark {

using page_parts::kImageMode;
using page_parts::kTextMode;
using page_parts::MessageOf;
using page_parts::ParseNumber;
using page_parts::ReadSource;
using sheets::Message;
using sheets::MessageTitle;

WatermarkPage::PictureTarget WatermarkPage::Target() const {
  SystemFacts* system = context().platform().system;
  if (system == nullptr) return {};
  // The printer as the document sheet names it (OEMUIPSPARAM.pPrinterName).
  std::u16string printer;
  if (const com::DocumentSheetContext* doc = context().document(); doc != nullptr && doc->lParamInit != 0) {
    const auto* param = reinterpret_cast<const com::OEMUIPSPARAM*>(doc->lParamInit);
    if (param->pPrinterName != nullptr) printer = param->pPrinterName;
  }
  if (printer.empty()) printer = context().PrinterName();
  // The user's own folder under the common application data, where the
  // spooler finds it too; without a user or that folder, the temporary
  // folder, which serves a job the user's own program renders.
  std::u16string common;
  const std::u16string user = system->GetUserName();
  const std::u16string folder = system->SHGetSpecialFolderPath(kCsidlCommonAppData, false, &common)
                                    ? watermark_place::OwnerFolder(common, user)
                                    : std::u16string();
  if (!folder.empty()) return {watermark_place::PictureIn(folder, printer), user};
  return {watermark_place::PictureIn(system->GetTempPath(), printer), {}};
}

PictureError WatermarkPage::WritePicture(const std::vector<std::uint8_t>& file, bool archive, std::u16string* owner) {
  Files* files = context().platform().files;
  const PictureTarget target = Target();
  if (files == nullptr || target.path.empty()) return PictureError::kNotWritten;
  // The folders down to the picture's (those that exist stay as they are).
  for (std::size_t at = target.path.find(u'\\', 3); at != std::u16string::npos; at = target.path.find(u'\\', at + 1))
    files->CreateDirectory(target.path.substr(0, at));
  if (!ReplacePicture(*files, target.path, file, archive)) return PictureError::kNotWritten;
  *owner = target.owner;
  return PictureError::kNone;
}

PictureError WatermarkPage::Convert(const Bytes& source, Converted* converted, std::optional<ui::Bitmap>* picture) {
  *converted = ConvertSource(source);
  if (converted->error != PictureError::kNone) return converted->error;
  bool too_big = false;
  *picture = ReadPicture(converted->file, &too_big);
  if (!*picture) converted->error = too_big ? PictureError::kTooBig : PictureError::kNotUsable;
  return converted->error;
}

PictureError WatermarkPage::PlacePicture(const Shown& now, std::u16string* owner) {
  if (now.mode == kTextMode) {
    const ui::Bitmap picture = TextPicture(now);
    if (picture.Empty()) return PictureError::kNotWritten;
    return WritePicture(PictureFile(picture), false, owner);
  }
  if (now.mode != kImageMode || now.path.empty()) return PictureError::kNone;
  if (staged_) return WritePicture(staged_->file, staged_->copied, owner);
  // Nothing chosen since the sheet opened: the record's bitmap converted
  // anew, as the picture in place may be another's (a text picture, another
  // sheet's bitmap, or, for a record of an older page, none where the
  // spooler looks).
  Files* files = context().platform().files;
  if (files == nullptr) return PictureError::kNotWritten;
  Bytes source;
  Converted converted;
  std::optional<ui::Bitmap> picture;
  PictureError error = ReadSource(*files, now.path, &source);
  if (error == PictureError::kNone) error = Convert(source, &converted, &picture);
  if (error == PictureError::kNone) return WritePicture(converted.file, converted.copied, owner);
  // A bitmap gone since it was applied: its picture, still in place, serves.
  const PictureTarget target = Target();
  if (applied_.WatermarkMode == kImageMode && TextOf(applied_.WatermarkBitmapPath) == now.path &&
      TextOf(applied_.WatermarkOwner) == target.owner && !target.path.empty() &&
      files->GetFileAttributes(target.path) != kInvalidFileAttributes) {
    *owner = target.owner;
    return PictureError::kNone;
  }
  return error;
}

void WatermarkPage::Browse(ui::Window& window) {
  ui::OpenFileRequest request;
  request.filter = {{kBitmapPattern, kBitmapPattern}};
  request.flags = kBrowseFlags;
  request.path_capacity = kBrowsePathCapacity;
  const std::optional<std::u16string> chosen = window.OpenFile(request);
  if (!chosen) return;
  auto fail = [&](Message message) { ShowMessage(window, message, MessageTitle::kError, ui::kMbIconError); };
  if (chosen->empty()) return fail(Message::kWatermarkError6);
  // A path the record cannot hold whole would name another file.
  if (chosen->size() >= kWatermarkBitmapPathCapacity) return fail(Message::kWatermarkError5);
  Files* files = context().platform().files;
  Bytes source;
  if (files == nullptr) return fail(MessageOf(PictureError::kNotUsable));
  if (const PictureError error = ReadSource(*files, *chosen, &source); error != PictureError::kNone)
    return fail(MessageOf(error));
  Converted converted;
  std::optional<ui::Bitmap> picture;
  if (const PictureError error = Convert(source, &converted, &picture); error != PictureError::kNone)
    return fail(MessageOf(error));
  window.SetText(kPathEditId, *chosen);
  Store(window, [&](PrivateDevMode& r) { SetText(r.WatermarkBitmapPath, *chosen); });
  staged_ = std::move(converted);
  image_ = std::move(picture);
  reload_image_ = false;
  RedrawPreview(window);
}

bool WatermarkPage::Apply(ui::Window& window) {
  // The font size is raised to its least when it is applied.
  if (ParseNumber(window.Text(kFontSizeEditId)).value_or(0) < kMinFontSize) OnFontSize(window, ui::Notify::kKillFocus);
  const Shown now = Current(window);
  // The picture first: the record names the new watermark only once the
  // picture the printing side reads for it is in place, so a failed write
  // leaves record and picture agreeing (the old ones).
  std::u16string owner;
  const bool places = now.mode == kTextMode || (now.mode == kImageMode && !now.path.empty());
  if (const PictureError error = places ? PlacePicture(now, &owner) : PictureError::kNone; error != PictureError::kNone) {
    // The page stores its controls as they change: the watermark's fields
    // go back to what the picture in place was made from.
    if (const auto span = context().PrivateRecord()) {
      PrivateDevMode r = Decode(*span);
      r.WatermarkMode = applied_.WatermarkMode;
      r.WatermarkBitmapPath = applied_.WatermarkBitmapPath;
      r.WatermarkText = applied_.WatermarkText;
      r.WatermarkFontName = applied_.WatermarkFontName;
      r.WatermarkFontStyle = applied_.WatermarkFontStyle;
      r.WatermarkFontSize = applied_.WatermarkFontSize;
      r.WatermarkAngle = applied_.WatermarkAngle;
      r.WatermarkOwner = applied_.WatermarkOwner;
      Encode(r, *span);
    }
    ShowMessage(window, error == PictureError::kNotWritten ? Message::kWatermarkError2 : MessageOf(error),
                MessageTitle::kError, ui::kMbIconError);
    canvas_.reset();  // its drawing objects go
    return false;
  }
  staged_.reset();
  if (const auto span = context().PrivateRecord()) {
    // Every control into the record; a value the page only showed clamped
    // stays as stored until the user changes it.
    PrivateDevMode r = Decode(*span);
    r.WatermarkMode = static_cast<std::uint8_t>(now.mode);
    if (now.style != shown_.style) r.WatermarkFontStyle = static_cast<std::uint8_t>(now.style);
    if (now.font_size != shown_.font_size) r.WatermarkFontSize = static_cast<std::uint8_t>(now.font_size);
    if (now.angle != shown_.angle) r.WatermarkAngle = static_cast<std::uint32_t>(now.angle);
    if (now.position != shown_.position) r.WatermarkPosition = static_cast<std::uint8_t>(now.position);
    if (now.size != shown_.size) r.WatermarkSize = static_cast<std::uint8_t>(now.size);
    if (now.brightness != shown_.brightness) r.WatermarkBrightness = static_cast<std::uint8_t>(now.brightness);
    if (now.mode == kImageMode && now.path != shown_.path) SetText(r.WatermarkBitmapPath, now.path);
    if (now.mode == kTextMode) {
      if (now.text != shown_.text) SetText(r.WatermarkText, now.text);
      if (now.font != shown_.font) SetText(r.WatermarkFontName, CopyCapped(std::u16string_view{now.font}, kWatermarkFontNameCapacity));
    }
    if (places) SetText(r.WatermarkOwner, owner);
    Encode(r, *span);
    applied_ = r;
  }
  shown_ = now;
  return true;
}

ui::SheetReply WatermarkPage::OnSheet(ui::Window& window, ui::SheetEvent event) {
  // Cancel closes the sheet and its host drops the record's changes; the
  // bitmap Browse chose goes with the page, never written. (A Cancel another
  // page refuses keeps the sheet, and the chosen bitmap, open.)
  if (event == ui::SheetEvent::kQueryCancel) reload_image_ = true;
  if (event != ui::SheetEvent::kApply) return ui::SheetReply::kAccept;
  if (Apply(window)) {
    context().ReportApplied();
    window.SheetUnchanged();
  }
  return ui::SheetReply::kAccept;
}

}  // namespace kit::plugin::watermark
