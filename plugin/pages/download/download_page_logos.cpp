// The Download page's logo group: the list, the preview, the conversion
// records and "Download all". This file is OS-independent.
#include <algorithm>

#include "common/bmp/bitmap_decode.h"
#include "common/strings/decimal.h"
#include "print/commands/printer_commands.h"
#include "plugin/pages/download/download_page.h"
#include "print/logo/logo_files.h"

namespace kit::plugin::download {
namespace {

using sheets::Message;

constexpr int kNameColumn = 1;
constexpr int kPathColumn = 2;

std::u16string FileName(std::u16string_view path) {
  const std::size_t slash = path.find_last_of(u"\\/");
  return std::u16string(slash == std::u16string_view::npos ? path : path.substr(slash + 1));
}

}  // namespace

void DownloadPage::AddLogo(ui::Window& window) {
  const int count = Count(window);
  if (count >= static_cast<int>(kMaxLogos)) {
    Tell(window, Message::kDownloadError4, /*information=*/true);
    return;
  }
  ui::OpenFileRequest request;
  request.title = Label(kBrowseTitleKey, kBrowseTitle);
  request.filter = {{kLogoPattern, kLogoPattern}};
  request.flags = kFileDialogFlags;
  request.path_capacity = kFileDialogPathCapacity;
  const auto path = window.OpenFile(request);
  if (!path) return;

  // The headers first: their sizes decide before anything more is read.
  Files* files = context().platform().files;
  Bytes head;
  if (files == nullptr || !files->ReadFileHead(*path, kLogoHeadLength, &head)) {
    Tell(window, Message::kDownloadError1);
    return;
  }
  switch (CheckLogoToAdd(head)) {
    case AddCheck::kOk: break;
    case AddCheck::kShort: Tell(window, Message::kDownloadError2); return;
    case AddCheck::kTooLarge: Tell(window, Message::kDownloadError3); return;
  }
  // Then, once, what the header can need; a file shorter than that gives
  // what it has (the converter and the preview refuse rows it lacks).
  Bytes file;
  if (!files->ReadFileHead(*path, LogoBytesNeeded(head), &file) || file.size() < kLogoHeadLength) {
    Tell(window, Message::kDownloadError2);
    return;
  }
  const bool bitmap = file[0] == 'B' && file[1] == 'M';
  // Transformation shows converted logos only: a file that is no bitmap is
  // not listed. Original lists it as it is.
  if (logos_.mode == PreviewMode::kTransformation && !bitmap) return;

  const std::size_t index = static_cast<std::size_t>(count);
  const logo::LogoSettings settings{DefaultHalftone(logos_.mode), 0, 0};
  paths_.resize(index);
  paths_.push_back(*path);
  sources_.resize(index);
  sources_.push_back(std::move(file));
  const int item = window.AddItem(kLogoListId, DecimalText(count + 1));
  window.SetSubItemText(kLogoListId, item, kNameColumn, FileName(*path));
  window.SetSubItemText(kLogoListId, item, kPathColumn, *path);
  logos_.records[index] = settings;
  if (IsConvertible(sources_[index])) Convert(window, index, settings);
  EnableModeRadios(window, Selected(window).has_value());
}

void DownloadPage::DeleteLogo(ui::Window& window) {
  const auto selected = Selected(window);
  if (!selected) return;
  const std::size_t count = static_cast<std::size_t>(Count(window));
  // The converted files of this logo and of those after it, whose positions
  // change; they are made again when needed.
  DeleteConvertedFiles(*selected);
  window.DeleteItem(kLogoListId, static_cast<int>(*selected));
  paths_.erase(paths_.begin() + static_cast<std::ptrdiff_t>(*selected));
  if (*selected < sources_.size()) sources_.erase(sources_.begin() + static_cast<std::ptrdiff_t>(*selected));
  for (int i = 0; i < Count(window); ++i) window.SetSubItemText(kLogoListId, i, 0, DecimalText(i + 1));
  RemoveRecord(logos_, *selected, count);
  // Deleting the selected item leaves none selected, as the system's list does.
  window.SetSelection(kLogoListId, -1);
  window.DrawBitmap(kPreviewFrameId, ui::Bitmap{});
  EnableModeRadios(window, false);
}

void DownloadPage::ChooseOriginal(ui::Window& window) {
  window.Enable(kDownloadAllButtonId, false);
  logos_.mode = PreviewMode::kOriginal;
  if (Selected(window)) {
    const int none = static_cast<int>(logo::HalftoneMethod::kNone);
    ResetRecords(logos_, static_cast<std::size_t>(Count(window)), none);
    ShowLevels(window, logo::LogoSettings{});
    CheckHalftone(window, none);
  }
  window.Invalidate();
}

void DownloadPage::ChooseTransformation(ui::Window& window) {
  DeleteConvertedFiles();
  logos_.mode = PreviewMode::kTransformation;
  const int count = Count(window);
  if (count > 0) window.Enable(kDownloadAllButtonId, true);
  if (Selected(window)) {
    const int m3 = static_cast<int>(logo::HalftoneMethod::kDitherM3);
    ResetRecords(logos_, static_cast<std::size_t>(count), m3);
    for (int i = 0; i < count; ++i) Convert(window, static_cast<std::size_t>(i), logos_.records[i]);
    ShowLevels(window, logo::LogoSettings{});
    CheckHalftone(window, m3);
  }
  window.Invalidate();
}

void DownloadPage::ChooseHalftone(ui::Window& window, int halftone) {
  const auto selected = Selected(window);
  if (!selected) return;
  logos_.records[*selected].halftone = halftone;
  window.Invalidate();
}

void DownloadPage::LevelsMoved(ui::Window& window, bool released) {
  const auto selected = Selected(window);
  if (!selected) return;
  logo::LogoSettings& record = logos_.records[*selected];
  record.contrast = window.Position(kContrastBarId);
  record.brightness = window.Position(kBrightnessBarId);
  window.SetText(kContrastValueId, DecimalText(record.contrast));
  window.SetText(kBrightnessValueId, DecimalText(record.brightness));
  window.Invalidate();
  if (released) Changed(window);
}

void DownloadPage::ShowSelectedLogo(ui::Window& window) {
  const auto selected = Selected(window);
  if (selected) {
    EnableModeRadios(window, true);
    ShowLevels(window, logos_.records[*selected]);
    CheckHalftone(window, logos_.records[*selected].halftone);
  }
  window.Invalidate();
}

void DownloadPage::ShowLevels(ui::Window& window, const logo::LogoSettings& settings) {
  window.SetPosition(kContrastBarId, settings.contrast);
  window.SetPosition(kBrightnessBarId, settings.brightness);
  window.SetText(kContrastValueId, DecimalText(settings.contrast));
  window.SetText(kBrightnessValueId, DecimalText(settings.brightness));
}

void DownloadPage::CheckHalftone(ui::Window& window, int halftone) {
  for (int i = 0; i < static_cast<int>(std::size(kHalftoneRadioIds)); ++i)
    window.SetChecked(kHalftoneRadioIds[i], i == halftone);
}

void DownloadPage::EnableModeRadios(ui::Window& window, bool enabled) {
  window.Enable(kOriginalRadioId, enabled);
  window.Enable(kTransformRadioId, enabled);
}

// The selected logo as the printer will print it: in Original the file
// itself; in Transformation a 24- or 8-bit logo converted with its own
// record (its halftone and levels then offered), any other file as it is.
void DownloadPage::DrawPreview(ui::Window& window) {
  const auto selected = Selected(window);
  if (!selected || *selected >= sources_.size()) {
    window.DrawBitmap(kPreviewFrameId, ui::Bitmap{});
    return;
  }
  const Bytes& source = sources_[*selected];
  const bool convert = logos_.mode == PreviewMode::kTransformation && IsConvertible(source);
  for (int id : kHalftoneRadioIds) window.Enable(id, convert);
  window.Enable(kContrastBarId, convert);
  window.Enable(kBrightnessBarId, convert);
  // The converted file is written and drawn from the same bytes.
  Bytes converted;
  if (convert && !Convert(window, *selected, logos_.records[*selected], &converted)) converted.clear();
  const Bytes& shown = convert ? converted : source;
  // A file that does not load (no bitmap, or a conversion that failed)
  // leaves the frame empty.
  window.DrawBitmap(kPreviewFrameId, bmp::DecodeBitmapFile(shown).value_or(ui::Bitmap{}));
}

// Replaces the printer's logos with the listed ones. Every logo is converted
// with its own record, checked and read before the job starts: a job that
// announces n logos and carries fewer would leave the printer reading the
// next job as image data, so a logo that fails sends nothing at all.
void DownloadPage::DownloadAll(ui::Window& window) {
  const int count = Count(window);
  if (count == 0) {
    Tell(window, Message::kDownloadError5);
    return;
  }
  Files* files = context().platform().files;
  if (files == nullptr) return;
  std::vector<std::u16string> to_send;
  std::uint64_t total = 0;
  for (int i = 0; i < count; ++i) {
    const std::size_t index = static_cast<std::size_t>(i);
    const bool convertible = index < sources_.size() && IsConvertible(sources_[index]);
    if (convertible) Convert(window, index, logos_.records[index]);
    to_send.push_back(convertible ? ConvertedPath(index) : paths_[index]);
    std::uint64_t size = 0;
    if (!files->GetFileSize(to_send.back(), &size) && !files->GetFileSize(paths_[index], &size)) {
      Tell(window, Message::kDownloadError6);
      return;
    }
    total += size;
  }
  if (total >= kMaxLogoBytes) {
    Tell(window, Message::kDownloadError7);
    return;
  }
  std::vector<print::commands::LogoImage> images;
  for (const std::u16string& path : to_send) {
    // Every file is below the job's limit, checked above. A file Windows
    // does not give (in use, access refused) is a file failure, told as the
    // other reads of the page tell it; a file that is no one-bit logo ends
    // the download without a word.
    Bytes file;
    if (!files->ReadFile(path, kMaxLogoBytes, &file)) {
      Tell(window, Message::kDownloadError2);
      return;
    }
    auto image = LogoToSend(file);
    if (!image) return;
    images.push_back(std::move(*image));
  }
  if (const auto job = print::commands::LogoDownloadJob(images)) Send(*job);
}

}  // namespace kit::plugin::download
