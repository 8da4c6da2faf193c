// The Download page (dialog 113) of the device sheet. Its upper group sends
// a firmware, data, font or EEPROM file to the printer byte for byte; its
// lower group keeps a list of up to nine bitmap logos, previews each as the
// printer will print it (the halftone method, contrast and brightness of
// each logo), replaces the printer's stored logos with the listed ones and
// can clear them. Everything reaches the printer through the raw job
// channel; nothing is kept in the private settings record.
//
// The logos' conversion records and the preview mode are process-wide
// (logo_list.h); the list itself starts empty with every page. Converted
// logos go to files the page owns in the user's temporary folder, deleted at
// Apply and at Cancel.
// This file is OS-independent.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "plugin/core/sheets/sheet_page.h"
#include "plugin/pages/download/logo_list.h"
#include "print/rawjob/raw_job.h"

namespace kit::plugin::download {

inline constexpr int kDownloadDialogId = 113;
inline constexpr char16_t kDownloadSection[] = u"DOWNLOAD";
inline constexpr int kDownloadPageWidth = 289;
inline constexpr int kDownloadPageHeight = 284;

// Controls of the template.
inline constexpr int kPathEditId = 1039;          // read-only
inline constexpr int kBrowseButtonId = 1040;      // "RC_BROWSE_FIREWARE"
inline constexpr int kDownloadButtonId = 1036;    // "RC_DOWNLOAD_FIREWARE"
inline constexpr int kLogoListId = 1041;          // ID, Name, Path
inline constexpr int kOriginalRadioId = 1087;     // "RC_ORIGINAL"
inline constexpr int kTransformRadioId = 1061;    // "RC_MONO"
inline constexpr int kNoneRadioId = 1089;         // "RC_NONE"
inline constexpr int kDitherM3RadioId = 1090;     // "RC_DITHERM3"
inline constexpr int kDitherM4RadioId = 1091;     // "RC_DITHERM4"
inline constexpr int kDiffuseRadioId = 1092;      // "RC_DIFFUSE"
inline constexpr int kContrastBarId = 1095;
inline constexpr int kContrastValueId = 1096;
inline constexpr int kBrightnessBarId = 1083;
inline constexpr int kBrightnessValueId = 1086;
inline constexpr int kAddButtonId = 1042;         // "RC_LOGO_ADD"
inline constexpr int kDeleteButtonId = 1043;      // "RC_LOGO_DELETE"
inline constexpr int kDownloadAllButtonId = 1044; // "RC_LOGO_DOWNLOAD"
inline constexpr int kClearLogosButtonId = 1045;  // "RC_LOGO_CLEARALLLOGOS"
inline constexpr int kPreviewFrameId = 1046;
// The halftone radios in method order: None, Dither M3, Dither M4, Error Diffuse.
inline constexpr int kHalftoneRadioIds[] = {kNoneRadioId, kDitherM3RadioId, kDitherM4RadioId, kDiffuseRadioId};
// Labels the page sets from its texts.
inline constexpr int kFileGroupId = 1047;         // "RC_STATIC_FWDOWNLOAD"
inline constexpr int kFileInfoId = 1048;          // "RC_STATIC_DOWN_INFO"
inline constexpr int kLogoGroupId = 1049;         // "RC_STATIC_LOGODOWNLOAD"
inline constexpr int kPreviewLabelId = 1050;      // "RC_STATIC_PREVIEW"
inline constexpr int kHalftoneGroupId = 1051;     // "RC_STATIC_HALFTONE"
inline constexpr int kLevelsGroupId = 1052;       // "RC_STATIC_CONANDBRIGHT"
inline constexpr int kContrastLabelId = 1053;     // "RC_STATIC_CONTRA"
inline constexpr int kBrightnessLabelId = 1054;   // "RC_STATIC_BRIGHT"
inline constexpr int kNoticeId = 1055;            // "RC_STATIC_DOWNOWNLOAD_NOTICE"

// Label texts are cut to this many characters (two built-in texts are
// longer than 50).
inline constexpr std::size_t kLabelCapacity = 256;
// List columns, in pixels.
inline constexpr int kIdColumnWidth = 40;
inline constexpr int kNameColumnWidth = 150;
inline constexpr int kPathColumnWidth = 300;
// Trackbars: range, Page Up/Down and arrow-key steps.
inline constexpr int kLevelMin = -100;
inline constexpr int kLevelMax = 100;
inline constexpr int kLevelPageSize = 20;
inline constexpr int kLevelLineSize = 1;

// The file dialogs: OFN_OVERWRITEPROMPT | OFN_HIDEREADONLY |
// OFN_EXTENSIONDIFFERENT | OFN_PATHMUSTEXIST | OFN_CREATEPROMPT |
// OFN_LONGNAMES, and a path buffer of 2048 characters.
inline constexpr std::uint32_t kFileDialogFlags = 0x00202C06;
inline constexpr std::size_t kFileDialogPathCapacity = 2048;
// The download reads its path with this capacity (terminator included): a
// longer path is refused, never opened shortened.
inline constexpr std::size_t kDownloadPathCapacity = 1024;
// The title of both file dialogs, and the logo dialog's filter.
inline constexpr char16_t kBrowseTitleKey[] = u"RC_BROWSEBOX";
inline constexpr char16_t kBrowseTitle[] = u"Open";
inline constexpr char16_t kLogoPattern[] = u"*.bmp";
// The largest file the download sends (64 MiB). The family's firmware, font
// and EEPROM files are a few megabytes; a larger file is refused with the
// memory message before any buffer is taken, so that no file can take the
// memory of the application the plug-in runs in.
inline constexpr std::uint64_t kMaxDownloadBytes = 64u << 20;

// The firmware filter for the current text file, compared without regard to
// case: simplified Chinese, traditional Chinese, or English for any other.
ui::OpenFileRequest FirmwareFileRequest(std::u16string_view title, std::u16string_view text_file);

class DownloadPage final : public sheets::SheetPage {
 public:
  // `logos`: the process-wide records and mode (ProcessLogoState()); tests
  // give their own.
  DownloadPage(sheets::PageContext context, LogoState& logos) : SheetPage(context), logos_(logos) {}

  const ui::DialogTemplate& Template() const override;
  std::optional<sheets::PageSlot> Slot() const override { return sheets::PageSlot::kDownload; }
  bool OnCommand(ui::Window& window, int id, ui::Notify code) override;
  void OnPaint(ui::Window& window, ui::Painter& painter) override;
  ui::SheetReply OnSheet(ui::Window& window, ui::SheetEvent event) override;

 protected:
  void LoadTexts(ui::Window& window, const sheets::CurrentTexts& texts) override;
  void ShowValues(ui::Window& window) override;
  // Apply deletes every converted logo.
  void ApplyValues(ui::Window& window) override;

 private:
  std::u16string Label(std::u16string_view key, std::u16string_view builtin) const;
  std::u16string TempFolder() const;
  std::u16string ConvertedPath(std::size_t index) const;
  int Count(ui::Window& window) const;
  // The selected logo's list index, if any.
  std::optional<std::size_t> Selected(ui::Window& window) const;
  // Converts the logo at `index` with `settings` into its own file, from the
  // bytes read when it was added; false when the source is not 24 or 8 bits
  // or the conversion failed. `result`, when given, receives the file's bytes.
  bool Convert(ui::Window& window, std::size_t index, const logo::LogoSettings& settings, Bytes* result = nullptr);
  void DeleteConvertedFiles(std::size_t from_index = 0);
  void Send(const print::rawjob::RawJob& job);
  void Tell(ui::Window& window, sheets::Message message, bool information = false);

  void Browse(ui::Window& window);
  void DownloadFile(ui::Window& window);
  void AddLogo(ui::Window& window);
  void DeleteLogo(ui::Window& window);
  void ChooseOriginal(ui::Window& window);
  void ChooseTransformation(ui::Window& window);
  void ChooseHalftone(ui::Window& window, int halftone);
  void LevelsMoved(ui::Window& window, bool released);
  void ShowSelectedLogo(ui::Window& window);
  void ShowLevels(ui::Window& window, const logo::LogoSettings& settings);
  void CheckHalftone(ui::Window& window, int halftone);
  void EnableModeRadios(ui::Window& window, bool enabled);
  void DrawPreview(ui::Window& window);
  void DownloadAll(ui::Window& window);

  LogoState& logos_;
  // The full path of each listed logo, in list order (the list's own cells
  // may hold less than a long path).
  std::vector<std::u16string> paths_;
  // What each listed logo's header can need of its file, read once when it
  // was added (LogoBytesNeeded): the preview and the conversions work on
  // these bytes, never on the whole file again.
  std::vector<Bytes> sources_;
};

}  // namespace kit::plugin::download
