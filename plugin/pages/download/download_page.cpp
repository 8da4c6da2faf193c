// This file is OS-independent.
#include "plugin/pages/download/download_page.h"

#include <algorithm>

#include "common/ini/profile_text.h"
#include "plugin/core/language/language_files.h"
#include "print/commands/printer_commands.h"
#include "print/logo/logo_files.h"
#include "plugin/pages/rawjob/raw_job_channel.h"

namespace kit::plugin::download {
namespace {

using sheets::Message;

const std::vector<sheets::PageText> kTexts = {
    {kFileGroupId, u"RC_STATIC_FWDOWNLOAD", u"File Download", kLabelCapacity},
    {kFileInfoId, u"RC_STATIC_DOWN_INFO",
     u"You can select various files to download to the printer, such as firmware files,font files", kLabelCapacity},
    {kBrowseButtonId, u"RC_BROWSE_FIREWARE", u"Browse", kLabelCapacity},
    {kDownloadButtonId, u"RC_DOWNLOAD_FIREWARE", u"Download", kLabelCapacity},
    {kLogoGroupId, u"RC_STATIC_LOGODOWNLOAD", u"Logo Download", kLabelCapacity},
    {kPreviewLabelId, u"RC_STATIC_PREVIEW", u"Preview", kLabelCapacity},
    {kHalftoneGroupId, u"RC_STATIC_HALFTONE", u"HalfTone", kLabelCapacity},
    {kLevelsGroupId, u"RC_STATIC_CONANDBRIGHT", u"Contrast and Brightness", kLabelCapacity},
    {kOriginalRadioId, u"RC_ORIGINAL", u"Original", kLabelCapacity},
    {kTransformRadioId, u"RC_MONO", u"Transformation", kLabelCapacity},
    {kNoneRadioId, u"RC_NONE", u"None", kLabelCapacity},
    {kDitherM3RadioId, u"RC_DITHERM3", u"Dither M3", kLabelCapacity},
    {kDitherM4RadioId, u"RC_DITHERM4", u"Dither M4", kLabelCapacity},
    {kDiffuseRadioId, u"RC_DIFFUSE", u"Error Diffuse", kLabelCapacity},
    {kContrastLabelId, u"RC_STATIC_CONTRA", u"Contrast:", kLabelCapacity},
    {kBrightnessLabelId, u"RC_STATIC_BRIGHT", u"Brightness:", kLabelCapacity},
    {kAddButtonId, u"RC_LOGO_ADD", u"Add", kLabelCapacity},
    {kDeleteButtonId, u"RC_LOGO_DELETE", u"Delete", kLabelCapacity},
    {kDownloadAllButtonId, u"RC_LOGO_DOWNLOAD", u"Download all", kLabelCapacity},
    {kClearLogosButtonId, u"RC_LOGO_CLEARALLLOGOS", u"Clear All Logos", kLabelCapacity},
    {kNoticeId, u"RC_STATIC_DOWNOWNLOAD_NOTICE", u"Notice: Select the type of the logos before downloading.",
     kLabelCapacity},
};

// Built-in tooltips: the English kit file's texts where the page has none
// of its own.
const std::vector<sheets::TooltipKey> kTooltips = {
    {kPathEditId, u"CTEXT_EDIT_FIREWARE", u"Select the path of file that needs to be downloaded to printer."},
    {kBrowseButtonId, u"CTEXT_BROWSE_FIREWARE", u"Select the path of file that needs to be downloaded to printer."},
    {kDownloadButtonId, u"CTEXT_DOWNLOAD_FIREWARE", u"Download the selected file to printer."},
    {kLogoListId, u"CTEXT_LIST_LOGO", u"The Logos to download, with their number in the printer, name and path."},
    {kOriginalRadioId, u"CTEXT_ORIGINAL", u"The selected Logo as it is."},
    {kTransformRadioId, u"CTEXT_MONO", u"The selected Logo converted to black and white."},
    {kNoneRadioId, u"CTEXT_NONE", u"Convert the Logo to black and white without halftone."},
    {kDitherM3RadioId, u"CTEXT_DITHERM3", u"Convert the Logo to black and white with the M3 dither pattern."},
    {kDitherM4RadioId, u"CTEXT_DITHERM4", u"Convert the Logo to black and white with the M4 dither pattern."},
    {kDiffuseRadioId, u"CTEXT_DIFFUSE", u"Convert the Logo to black and white by error diffusion."},
    {kContrastBarId, u"CTEXT_SLIDER_CONTRAST", u"Set the contrast of the converted Logo."},
    {kBrightnessBarId, u"CTEXT_SLIDER_BRIGHTNESS", u"Set the brightness of the converted Logo."},
    {kAddButtonId, u"CTEXT_LOGO_ADD", u"Add one Logo to the list."},
    {kDeleteButtonId, u"CTEXT_LOGO_DELETE", u"Delete one Logo from the list."},
    {kDownloadAllButtonId, u"CTEXT_LOGO_DOWNLOAD", u"Download all the Logos in the list to printer."},
    {kClearLogosButtonId, u"CTEXT_LOGO_CLEARALLLOGOS", u"Clear all the Logos in printer."},
};

struct Column {
  const char16_t* key;
  const char16_t* builtin;
  int width;
};
constexpr Column kColumns[] = {
    {u"RC_LOGOID", u"ID", kIdColumnWidth},
    {u"RC_LOGONAME", u"Name", kNameColumnWidth},
    {u"RC_LOGOPATH", u"Path", kPathColumnWidth},
};


// The firmware filters by text file; patterns in this order for each.
constexpr const char16_t* kFirmwarePatterns[] = {u"*.JK", u"*.DAT", u"*.FNT", u"*.ZK", u"*.EEP"};
constexpr const char16_t* kSimplifiedFilter[] = {u"*.JK(监控程序文件)", u"*.DAT(监控程序文件)", u"*.FNT(字库文件)",
                                                 u"*.ZK(字库文件)", u"*.EEP(EEPROM文件)"};
constexpr const char16_t* kTraditionalFilter[] = {u"*.JK(監控程式文件)", u"*.DAT(監控程式文件)", u"*.FNT(字庫文件)",
                                                  u"*.ZK(字庫文件)", u"*.EEP(EEPROM文件)"};
constexpr const char16_t* kEnglishFilter[] = {u"*.JK(Firmware)", u"*.DAT(Data)", u"*.FNT(Font)", u"*.ZK(Font)",
                                              u"*.EEP(EEPROM)"};

ui::DialogTemplate MakeTemplate() {
  using namespace ui;
  DialogTemplate t = sheets::PageTemplate(kDownloadDialogId, u"Download");
  t.cx = kDownloadPageWidth;
  t.cy = kDownloadPageHeight;
  t.controls = {
      {kFileGroupId, ControlKind::kGroupBox, u"File Download", {7, 5, 275, 62}, kNone},
      {kFileInfoId, ControlKind::kStatic, u"", {15, 17, 259, 18}, kNone},
      {kPathEditId, ControlKind::kEdit, u"", {15, 41, 175, 13}, kTabStop | kBorder | kReadOnly},
      {kBrowseButtonId, ControlKind::kPushButton, u"Browse", {195, 40, 38, 15}, kTabStop},
      {kDownloadButtonId, ControlKind::kPushButton, u"Download", {237, 40, 38, 15}, kTabStop | kDisabled},
      {kLogoGroupId, ControlKind::kGroupBox, u"Logo Download", {7, 72, 275, 206}, kNone},
      {kLogoListId, ControlKind::kListView, u"", {15, 84, 259, 62},
       kTabStop | kBorder | kReportView | kFullRowSelect},
      {kAddButtonId, ControlKind::kPushButton, u"Add", {15, 151, 44, 14}, kTabStop},
      {kDeleteButtonId, ControlKind::kPushButton, u"Delete", {63, 151, 44, 14}, kTabStop},
      {kDownloadAllButtonId, ControlKind::kPushButton, u"Download all", {111, 151, 70, 14}, kTabStop | kDisabled},
      {kClearLogosButtonId, ControlKind::kPushButton, u"Clear All Logos", {185, 151, 89, 14}, kTabStop},
      {kPreviewLabelId, ControlKind::kStatic, u"Preview", {15, 170, 120, 9}, kNone},
      {kOriginalRadioId, ControlKind::kRadioButton, u"Original", {15, 181, 55, 10}, kTabStop | kGroup},
      {kTransformRadioId, ControlKind::kRadioButton, u"Transformation", {72, 181, 66, 10}, kNone},
      {kPreviewFrameId, ControlKind::kPicture, u"", {15, 194, 122, 68}, kSingleBorder},
      {kHalftoneGroupId, ControlKind::kGroupBox, u"HalfTone", {142, 167, 132, 38}, kNone},
      {kNoneRadioId, ControlKind::kRadioButton, u"None", {149, 178, 58, 10}, kTabStop | kGroup},
      {kDitherM3RadioId, ControlKind::kRadioButton, u"Dither M3", {210, 178, 60, 10}, kNone},
      {kDitherM4RadioId, ControlKind::kRadioButton, u"Dither M4", {149, 190, 58, 10}, kNone},
      {kDiffuseRadioId, ControlKind::kRadioButton, u"Error Diffuse", {210, 190, 60, 10}, kNone},
      {kLevelsGroupId, ControlKind::kGroupBox, u"Contrast and Brightness", {142, 207, 132, 56}, kNone},
      {kContrastLabelId, ControlKind::kStatic, u"Contrast:", {149, 218, 60, 9}, kNone},
      {kContrastValueId, ControlKind::kStatic, u"0", {240, 218, 28, 9}, kNone},
      {kContrastBarId, ControlKind::kTrackbar, u"", {146, 227, 124, 12}, kTabStop | kGroup},
      {kBrightnessLabelId, ControlKind::kStatic, u"Brightness:", {149, 240, 60, 9}, kNone},
      {kBrightnessValueId, ControlKind::kStatic, u"0", {240, 240, 28, 9}, kNone},
      {kBrightnessBarId, ControlKind::kTrackbar, u"", {146, 249, 124, 12}, kTabStop},
      {kNoticeId, ControlKind::kStatic, u"", {15, 266, 259, 9}, kNone},
  };
  return t;
}

}  // namespace

ui::OpenFileRequest FirmwareFileRequest(std::u16string_view title, std::u16string_view text_file) {
  const char16_t* const* descriptions = kEnglishFilter;
  if (ini::EqualsIgnoringCase(text_file, kSimplifiedChineseTextFile)) descriptions = kSimplifiedFilter;
  if (ini::EqualsIgnoringCase(text_file, kTraditionalChineseTextFile)) descriptions = kTraditionalFilter;
  ui::OpenFileRequest request;
  request.title = std::u16string(title);
  for (std::size_t i = 0; i < std::size(kFirmwarePatterns); ++i)
    request.filter.emplace_back(descriptions[i], kFirmwarePatterns[i]);
  request.flags = kFileDialogFlags;
  request.path_capacity = kFileDialogPathCapacity;
  return request;
}

const ui::DialogTemplate& DownloadPage::Template() const {
  static const ui::DialogTemplate t = MakeTemplate();
  return t;
}

void DownloadPage::LoadTexts(ui::Window& window, const sheets::CurrentTexts& texts) {
  SetTexts(window, texts, kDownloadSection, kTexts);
  int column = 0;
  for (const Column& c : kColumns)
    window.SetColumn(kLogoListId, column++, texts.Get(kDownloadSection, c.key, c.builtin, kLabelCapacity), c.width);
  SetTooltips(window, texts, kDownloadSection, kTooltips);
}

std::u16string DownloadPage::Label(std::u16string_view key, std::u16string_view builtin) const {
  return sheets::CurrentTexts(context().language()).Get(kDownloadSection, key, builtin, kLabelCapacity);
}

void DownloadPage::ShowValues(ui::Window& window) {
  // A sheet opened earlier in this process may have left the shared mode at
  // Transformation; this page starts showing Original, so it works so too.
  logos_.mode = PreviewMode::kOriginal;
  paths_.clear();
  sources_.clear();
  window.ClearItems(kLogoListId);
  window.Enable(kBrowseButtonId, true);
  window.Enable(kDownloadButtonId, false);
  window.Enable(kDownloadAllButtonId, false);
  window.SetChecked(kOriginalRadioId, true);
  window.SetChecked(kTransformRadioId, false);
  CheckHalftone(window, static_cast<int>(logo::HalftoneMethod::kNone));
  for (int bar : {kContrastBarId, kBrightnessBarId}) {
    window.SetRange(bar, kLevelMin, kLevelMax);
    window.SetTrackbarSteps(bar, kLevelPageSize, kLevelLineSize);
  }
  ShowLevels(window, logo::LogoSettings{});
}

void DownloadPage::ApplyValues(ui::Window& window) {
  (void)window;
  DeleteConvertedFiles();
}

ui::SheetReply DownloadPage::OnSheet(ui::Window& window, ui::SheetEvent event) {
  if (event == ui::SheetEvent::kQueryCancel) DeleteConvertedFiles();
  return SheetPage::OnSheet(window, event);
}

void DownloadPage::OnPaint(ui::Window& window, ui::Painter& painter) {
  SheetPage::OnPaint(window, painter);
  DrawPreview(window);
}

bool DownloadPage::OnCommand(ui::Window& window, int id, ui::Notify code) {
  if (id == kLogoListId) {
    if (code == ui::Notify::kSelChanged) ShowSelectedLogo(window);
    return true;
  }
  if (id == kContrastBarId || id == kBrightnessBarId) {
    // The end of a movement changes nothing; the release of the mouse
    // stores like a move and makes Apply available.
    if (code == ui::Notify::kScrolled) LevelsMoved(window, false);
    if (code == ui::Notify::kCaptureReleased) LevelsMoved(window, true);
    return true;
  }
  if (code != ui::Notify::kClicked) return false;
  for (int halftone = 0; halftone < static_cast<int>(std::size(kHalftoneRadioIds)); ++halftone)
    if (id == kHalftoneRadioIds[halftone]) {
      ChooseHalftone(window, halftone);
      return true;
    }
  switch (id) {
    case kBrowseButtonId: Browse(window); return true;
    case kDownloadButtonId: DownloadFile(window); return true;
    case kAddButtonId: AddLogo(window); return true;
    case kDeleteButtonId: DeleteLogo(window); return true;
    case kOriginalRadioId: ChooseOriginal(window); return true;
    case kTransformRadioId: ChooseTransformation(window); return true;
    case kDownloadAllButtonId: DownloadAll(window); return true;
    case kClearLogosButtonId: Send(print::commands::ClearLogosJob()); return true;
    default: return false;
  }
}

// ---- helpers

std::u16string DownloadPage::TempFolder() const {
  SystemFacts* system = context().platform().system;
  return system != nullptr ? system->GetTempPath() : std::u16string();
}

std::u16string DownloadPage::ConvertedPath(std::size_t index) const {
  return ConvertedLogoPath(TempFolder(), index + 1);
}

int DownloadPage::Count(ui::Window& window) const {
  return std::min(window.ItemCount(kLogoListId), static_cast<int>(paths_.size()));
}

std::optional<std::size_t> DownloadPage::Selected(ui::Window& window) const {
  const int selected = window.Selection(kLogoListId);
  if (selected < 0 || selected >= Count(window)) return std::nullopt;
  return static_cast<std::size_t>(selected);
}

bool DownloadPage::Convert(ui::Window& window, std::size_t index, const logo::LogoSettings& settings, Bytes* result) {
  Files* files = context().platform().files;
  if (files == nullptr || index >= static_cast<std::size_t>(Count(window)) || index >= sources_.size()) return false;
  logo::LogoResult converted = logo::ConvertLogoBytes(sources_[index], settings);
  if (converted.status != logo::LogoStatus::kOk) return false;
  logo::PlatformLogoFiles logo_files(*files, kMaxLogoSourceBytes);
  if (!logo_files.Write(ConvertedPath(index), converted.file)) return false;
  if (result != nullptr) *result = std::move(converted.file);
  return true;
}

void DownloadPage::DeleteConvertedFiles(std::size_t from_index) {
  Files* files = context().platform().files;
  if (files == nullptr || TempFolder().empty()) return;
  for (std::size_t i = from_index; i < kMaxLogos; ++i) {
    const std::u16string path = ConvertedPath(i);
    if (files->GetFileAttributes(path) != kInvalidFileAttributes) files->DeleteFile(path);
  }
}

void DownloadPage::Send(const print::rawjob::RawJob& job) { rawjob::SendRawJob(context(), job); }

void DownloadPage::Tell(ui::Window& window, Message message, bool information) {
  ShowMessage(window, message, information ? sheets::MessageTitle::kInformation : sheets::MessageTitle::kError,
              ui::kMbOk | (information ? ui::kMbIconInformation : ui::kMbIconError));
}

// ---- file download

void DownloadPage::Browse(ui::Window& window) {
  LanguageFiles* language = context().language();
  const std::u16string text_file = language != nullptr ? language->state().current_file : std::u16string();
  const auto path = window.OpenFile(FirmwareFileRequest(Label(kBrowseTitleKey, kBrowseTitle), text_file));
  if (!path) return;
  window.SetText(kPathEditId, *path);
  window.Enable(kDownloadButtonId, true);
}

void DownloadPage::DownloadFile(ui::Window& window) {
  const std::u16string path = window.Text(kPathEditId);
  if (path.empty()) return;
  // A path that does not fit the buffer is refused: a shortened path may
  // name another file.
  if (path.size() >= kDownloadPathCapacity) {
    Tell(window, Message::kDownloadError1);
    return;
  }
  Files* files = context().platform().files;
  if (files == nullptr) return;
  Bytes content;
  switch (files->ReadFileExclusive(path, kMaxDownloadBytes, &content)) {
    case ExclusiveReadStep::kDone: break;
    case ExclusiveReadStep::kOpen: Tell(window, Message::kDownloadError1); return;
    case ExclusiveReadStep::kSize: Tell(window, Message::kDownloadError8); return;
    case ExclusiveReadStep::kTooLarge: Tell(window, Message::kDownloadError9); return;
    case ExclusiveReadStep::kSeek: Tell(window, Message::kDownloadError10); return;
    case ExclusiveReadStep::kRead: Tell(window, Message::kDownloadError2); return;
  }
  // An empty file has nothing to send.
  if (content.empty()) {
    Tell(window, Message::kDownloadError2);
    return;
  }
  Send(print::commands::FileDownloadJob(content));
}

}  // namespace kit::plugin::download
