// This file is OS-independent.
#include "plugin/core/main/main_page.h"

#include <algorithm>

#include "plugin/core/language/density_option.h"
#include "plugin/core/main/log_viewer.h"
#include "plugin/core/com/module_state.h"
#include "plugin/core/sheets/dialog_number.h"
#include "plugin/core/sheets/tab_titles.h"
#include "plugin/core/sheets/watermark_signal.h"

namespace kit::plugin::main {
namespace {

// The sheet's "nothing left to apply" message (PSM_UNCHANGED).
constexpr std::uint32_t kSheetUnchangedMessage = 0x046D;

const std::vector<sheets::PageText> kTexts = {
    {kDocSettingGroupId, u"RC_DOCSETTING", u"Document Setting", 50},
    {kPrintAsImageLabelId, u"RC_PRINT_AS_IMAGE", u"Print all text as graphics image:", 50},
    {kGraphicsYesId, u"RC_RADIO_ASGRAPHICSYES", u"Yes", 20},
    {kGraphicsNoId, u"RC_RADIO_ASGRAPHICSNO", u"No", 20},
    {kZoomCheckId, u"RC_CHECK_ZOOM", u"Zoom Printing", 50},
    {kScaleLabelId, u"RC_SCALE", u"Scale:", 20},
    {kRotateGroupId, u"RC_ROTATE", u"Rotate", 20},
    {kRotateNormalId, u"RC_RADIO_ROTATENOMAL", u"Normal", 20},
    {kRotate180Id, u"RC_RADIO_ROTATE180", u"Rotate by 180 Degrees", 50},
    {kPaperLabelId, u"RC_PAPERSIZE", u"Paper Size:", 20},
    {kLanguageLabelId, u"RC_LANGUAGE", u"Language:", 20},
    {kUpdateButtonId, u"RC_BUTTON_UPDATE", u"Update Language From Web", 50},
    {kLogGroupId, u"RC_STATIC_LOG", u"Driver LOG", 20},
    {kLogCheckId, u"RC_CHECK_LOG", u"Record driver data", 20},
    {kLogBrowseId, u"RC_BUTTON_LOG", u"Browse...", 20},
    {kLogViewerId, u"RC_BUTTON_VIEWER", u"Viewer", 20},
};

constexpr char16_t kRotateTip[] =
    u"This configures print direction.The graphic shown on the right changes according to the selected setting.";
const std::vector<sheets::TooltipKey> kTooltips = {
    {kGraphicsYesId, u"CTEXT_RADIO_ASGRAPHICSYES", u"All the data will be printed as a graphic image."},
    {kGraphicsNoId, u"CTEXT_RADIO_ASGRAPHICSNO", u"'All the data printed as a graphic image' will not be enabled."},
    {kRotateNormalId, u"CTEXT_RADIO_ROTATENOMAL", kRotateTip},
    {kRotate180Id, u"CTEXT_RADIO_ROTATE180", kRotateTip},
    {kZoomCheckId, u"CTEXT_CHECK_ZOOM", u"This configures reduced print."},
    {kScaleEditId, u"CTEXT_SCALE", u"This configures reduced print."},
    {kLanguageListId, u"CTEXT_LANGUAGE", u"You can select a language used for this properties dialog box."},
    {kPaperListId, u"CTEXT_PAPERSIZE", u"Select the paper size from list."},
    {kLogBrowseId, u"CTEXT_BUTTON_LOG", u"Select the path of Log."},
    {kLogViewerId, u"CTEXT_BUTTON_VIEWER", u"View the log."},
    {kLogCheckId, u"CTEXT_CHECK_LOG", u"Record the driver ."},
    {kLogFolderId, u"CTEXT_EDIT_LOG", u"The driver log dirctory."},
    {kUpdateButtonId, u"CTEXT_BUTTON_UPDATE", u"Update the language source."},
};

ui::DialogTemplate MakeTemplate() {
  using namespace ui;
  DialogTemplate t = sheets::PageTemplate(kMainDialogId, u"Main");
  t.controls = {
      {kDocSettingGroupId, ControlKind::kGroupBox, u"Document Setting", {8, 6, 236, 70}, kNone},
      {kPrintAsImageLabelId, ControlKind::kStatic, u"Print all text as graphics image:", {16, 20, 130, 10}, kNone},
      {kGraphicsYesId, ControlKind::kRadioButton, u"Yes", {150, 19, 40, 10}, kGroup | kTabStop},
      {kGraphicsNoId, ControlKind::kRadioButton, u"No", {194, 19, 40, 10}, kNone},
      {kZoomCheckId, ControlKind::kCheckBox, u"Zoom Printing", {16, 38, 90, 10}, kTabStop},
      {kScaleLabelId, ControlKind::kStatic, u"Scale:", {110, 39, 36, 10}, kNone},
      {kScaleEditId, ControlKind::kEdit, u"", {150, 37, 36, 13}, kTabStop | kBorder | kNumber, kScaleLimit},
      {kScaleSpinId, ControlKind::kUpDown, u"", {186, 37, 10, 13}, kNone, 0, kScaleEditId},
      {kPercentLabelId, ControlKind::kStatic, u"%", {200, 39, 12, 10}, kNone},
      {kRotateGroupId, ControlKind::kGroupBox, u"Rotate", {8, 80, 236, 10}, kHidden},
      {kRotateNormalId, ControlKind::kRadioButton, u"Normal", {16, 80, 80, 10}, kHidden | kGroup},
      {kRotate180Id, ControlKind::kRadioButton, u"Rotate by 180 Degrees", {100, 80, 100, 10}, kHidden},
      {kRotatePictureNormalId, ControlKind::kPicture, u"", {204, 80, 16, 10}, kHidden},
      {kRotatePicture180Id, ControlKind::kPicture, u"", {222, 80, 16, 10}, kHidden},
      {kPaperLabelId, ControlKind::kStatic, u"Paper Size:", {16, 58, 60, 10}, kNone},
      {kPaperListId, ControlKind::kComboBox, u"", {80, 56, 156, 120}, kTabStop | kDropDownList | kVScroll},
      {kLanguageLabelId, ControlKind::kStatic, u"Language:", {16, 98, 60, 10}, kNone},
      {kLanguageListId, ControlKind::kComboBox, u"", {80, 96, 156, 100}, kTabStop | kDropDownList | kVScroll},
      {kUpdateButtonId, ControlKind::kPushButton, u"Update Language From Web", {80, 114, 156, 14}, kHidden},
      {kLogGroupId, ControlKind::kGroupBox, u"Driver LOG", {8, 134, 236, 76}, kNone},
      {kLogCheckId, ControlKind::kCheckBox, u"Record driver data", {16, 148, 150, 10}, kTabStop},
      {kLogFolderId, ControlKind::kEdit, u"", {16, 164, 220, 13}, kBorder | kReadOnly},
      {kLogBrowseId, ControlKind::kPushButton, u"Browse...", {116, 186, 56, 16}, kTabStop},
      {kLogViewerId, ControlKind::kPushButton, u"Viewer", {180, 186, 56, 16}, kTabStop},
  };
  return t;
}

void CheckRadio(ui::Window& window, int on, int off) {
  window.SetChecked(on, true);
  window.SetChecked(off, false);
}

}  // namespace

const ui::DialogTemplate& MainPage::Template() const {
  static const ui::DialogTemplate t = MakeTemplate();
  return t;
}

PrivateDevMode MainPage::Read() const {
  if (const auto record = context().PrivateRecord()) return Decode(*record);
  if (!own_record_ready_) return DefaultPrivateDevMode(com::SystemDirectory());
  return Decode(own_record_);
}

void MainPage::Write(const PrivateDevMode& record) {
  if (const auto host_record = context().PrivateRecord()) {
    Encode(record, *host_record);
    return;
  }
  Encode(record, own_record_);
  own_record_ready_ = true;
}

void MainPage::LoadTexts(ui::Window& window, const sheets::CurrentTexts& texts) {
  SetTexts(window, texts, kLayoutSection, kTexts);
  SetTooltips(window, texts, kLayoutSection, kTooltips);
}

void MainPage::OnPaint(ui::Window& window, ui::Painter& painter) {
  SheetPage::OnPaint(window, painter);
  // The message texts and the driver's density option follow the language.
  const sheets::CurrentTexts texts(context().language());
  sheets::LoadMessageTexts(texts);
  if (com::OEMCUIPPARAM* param = context().CommonParam()) {
    RenameDensityOption(*param, context().document() != nullptr ? context().document()->pDriver : nullptr,
                        texts.Get(kDensitySection, kDensityNameKey, kDensityNameBuiltin, kDensityTextCapacity),
                        texts.Get(kDensitySection, kDensityIndexKey, kDensityIndexBuiltin, kDensityTextCapacity));
  }
}

void MainPage::FillLanguages(ui::Window& window) {
  window.ClearItems(kLanguageListId);
  LanguageFiles* language = context().language();
  if (language == nullptr) return;
  const std::vector<LanguageEntry>& entries = language->LoadCatalogue();
  for (const LanguageEntry& entry : entries) window.AddItem(kLanguageListId, entry.display_name);
  window.AddItem(kLanguageListId, language->state().system_choice_name);
  const bool follows_system = language->FollowsSystemLanguage();
  for (std::size_t i = 0; i < entries.size(); ++i) {
    if (entries[i].text_file != language->state().current_file) continue;
    if (!follows_system) {
      window.SetSelection(kLanguageListId, static_cast<int>(i));
      return;
    }
    // The entry that starts with this language's name of the system choice.
    const std::u16string& system_name = entries[i].system_choice_name;
    for (int n = 0; n < window.ItemCount(kLanguageListId); ++n) {
      if (window.ItemText(kLanguageListId, n).starts_with(system_name)) {
        window.SetSelection(kLanguageListId, n);
        return;
      }
    }
    return;
  }
}

void MainPage::FillPaper(ui::Window& window) {
  paper_ = ReadPaperOptions(context().CommonParam());
  window.ClearItems(kPaperListId);
  for (const std::u16string& name : paper_.names) window.AddItem(kPaperListId, name);
  const std::u16string stored = TextOf(Read().PaperSizeName);
  const int entry = stored.empty() && paper_.item != nullptr ? paper_.EntryOfOption(paper_.item->Sel)
                                                              : paper_.EntryOfName(stored);
  if (entry >= 0) window.SetSelection(kPaperListId, entry);
}

void MainPage::EnableScale(ui::Window& window, bool enabled) {
  for (int id : {kScaleEditId, kScaleSpinId, kScaleLabelId}) window.Enable(id, enabled);
}

void MainPage::EnableLog(ui::Window& window, bool enabled) {
  for (int id : {kLogFolderId, kLogBrowseId, kLogViewerId}) window.Enable(id, enabled);
}

void MainPage::ForceGraphics(ui::Window& window) {
  CheckRadio(window, kGraphicsYesId, kGraphicsNoId);
  window.Enable(kGraphicsYesId, false);
  window.Enable(kGraphicsNoId, false);
  // What the page shows is what the record holds.
  Edit([](PrivateDevMode& r) { r.PrintAsGraphics = 1; });
}

void MainPage::ShowGraphicsRule(ui::Window& window, bool from_activation) {
  const PrivateDevMode record = Read();
  if (record.ZoomEnabled != 0 || record.Rotate180 != 0 || record.WatermarkMode != 0) {
    ForceGraphics(window);
    return;
  }
  window.Enable(kGraphicsYesId, true);
  window.Enable(kGraphicsNoId, true);
  if (from_activation && sheets::TakeWatermarkGraphicsOff()) {
    CheckRadio(window, kGraphicsNoId, kGraphicsYesId);
    Edit([](PrivateDevMode& r) { r.PrintAsGraphics = 0; });
  }
}

void MainPage::ShowValues(ui::Window& window) {
  printer_name_ = context().PrinterName();
  FillLanguages(window);
  FillPaper(window);
  const PrivateDevMode record = Read();
  if (record.Rotate180 == 1) {
    CheckRadio(window, kRotate180Id, kRotateNormalId);
  } else {
    CheckRadio(window, kRotateNormalId, kRotate180Id);
  }
  window.SetRange(kScaleSpinId, kScaleSpinLow, kScaleSpinHigh);
  window.SetPosition(kScaleSpinId, record.ZoomPercent);
  window.SetChecked(kZoomCheckId, record.ZoomEnabled != 0);
  EnableScale(window, record.ZoomEnabled != 0);
  window.SetChecked(kLogCheckId, record.LogEnabled != 0);
  EnableLog(window, record.LogEnabled != 0);
  window.SetText(kLogFolderId, TextOf(record.LogDirectory));
  if (record.PrintAsGraphics != 0) {
    CheckRadio(window, kGraphicsYesId, kGraphicsNoId);
  } else {
    CheckRadio(window, kGraphicsNoId, kGraphicsYesId);
  }
  ShowGraphicsRule(window, /*from_activation=*/false);
}

void MainPage::StoreScale(ui::Window& window) {
  const int scale =
      std::clamp(sheets::ReadDialogInteger(window.Text(kScaleEditId)), kMinZoomPercent, kMaxZoomPercent);
  window.SetPosition(kScaleSpinId, scale);
  Edit([&](PrivateDevMode& r) { r.ZoomPercent = static_cast<std::uint8_t>(scale); });
}

void MainPage::ChoosePaperEntry(ui::Window& window) {
  const int entry = window.Selection(kPaperListId);
  com::IPrintOemDriverUI* driver = context().document() != nullptr ? context().document()->pDriver : nullptr;
  // Nothing selected: the driver's option and the stored name stay.
  if (!ChoosePaper(paper_, entry, context().CommonParam(), driver)) return;
  const std::u16string name = window.ItemText(kPaperListId, entry);
  Edit([&](PrivateDevMode& r) { SetText(r.PaperSizeName, name); });
}

void MainPage::Browse(ui::Window& window) {
  const std::optional<std::u16string> folder = window.BrowseForFolder(u"");
  // A folder the record cannot hold whole is not taken: cut, it would name
  // another folder.
  if (!folder || folder->empty() || folder->size() > kMaxLogDirectoryLength) return;
  window.SetText(kLogFolderId, *folder);
  Edit([&](PrivateDevMode& r) { SetText(r.LogDirectory, *folder); });
  Changed(window);
}

void MainPage::View(ui::Window& window) {
  const sheets::PagePlatform& platform = context().platform();
  if (platform.system == nullptr || platform.files == nullptr || platform.shell == nullptr) return;
  const ViewerStart started =
      StartLogViewer(*platform.system, *platform.files, *platform.shell, TextOf(Read().LogDirectory));
  if (started == ViewerStart::kNotFound)
    ShowMessage(window, sheets::Message::kLayoutViewer, sheets::MessageTitle::kError, ui::kMbOk);
}

bool MainPage::OnCommand(ui::Window& window, int id, ui::Notify code) {
  const PrivateDevMode record = Read();
  const auto inform_graphics = [&] {
    if (record.PrintAsGraphics == 0)
      ShowMessage(window, sheets::Message::kLayoutInformation1, sheets::MessageTitle::kInformation,
                  ui::kMbIconInformation);
  };
  if (code == ui::Notify::kSelChanged) {
    if (id == kPaperListId) ChoosePaperEntry(window);
    if (id != kPaperListId && id != kLanguageListId) return false;
    Changed(window);  // a language takes effect on Apply
    return true;
  }
  if (id == kScaleEditId && code == ui::Notify::kKillFocus) {
    StoreScale(window);
    Changed(window);
    return true;
  }
  // A new scale, typed or set by the spin arrows (which need not take the
  // focus), makes Apply available at once; it is stored when the box loses
  // the focus.
  if (id == kScaleEditId && code == ui::Notify::kChanged) {
    Changed(window);
    return true;
  }
  if (code != ui::Notify::kClicked) return false;
  switch (id) {
    case kGraphicsYesId:
    case kGraphicsNoId:
      Edit([&](PrivateDevMode& r) { r.PrintAsGraphics = id == kGraphicsYesId ? 1 : 0; });
      break;
    case kZoomCheckId:
      if (window.IsChecked(kZoomCheckId)) {
        EnableScale(window, true);
        inform_graphics();
        Edit([](PrivateDevMode& r) { r.ZoomEnabled = 1; });
        ForceGraphics(window);
      } else {
        Edit([](PrivateDevMode& r) { r.ZoomEnabled = 0; });
        ShowGraphicsRule(window, /*from_activation=*/false);
        EnableScale(window, false);
      }
      break;
    case kRotate180Id:
      inform_graphics();
      Edit([](PrivateDevMode& r) { r.Rotate180 = 1; });
      ForceGraphics(window);
      break;
    case kRotateNormalId:
      Edit([](PrivateDevMode& r) { r.Rotate180 = 0; });
      ShowGraphicsRule(window, /*from_activation=*/false);
      break;
    case kLogCheckId: {
      const bool on = window.IsChecked(kLogCheckId);
      EnableLog(window, on);
      Edit([&](PrivateDevMode& r) { r.LogEnabled = on ? 1 : 0; });
      break;
    }
    case kLogBrowseId:
      Browse(window);
      return true;
    case kLogViewerId:
      View(window);
      return true;
    default:
      return false;
  }
  Changed(window);
  return true;
}

ui::SheetReply MainPage::OnSheet(ui::Window& window, ui::SheetEvent event) {
  if (event == ui::SheetEvent::kSetActive) {
    ShowGraphicsRule(window, /*from_activation=*/true);
    if (paper_.item != nullptr) {
      const int entry = paper_.EntryOfOption(paper_.item->Sel);
      if (entry >= 0) window.SetSelection(kPaperListId, entry);
    }
    return ui::SheetReply::kAccept;
  }
  if (event == ui::SheetEvent::kApply) {
    ApplyValues(window);
    context().ReportApplied();
    window.SendToParent(kSheetUnchangedMessage, 0, 0);
    ApplyLanguage(window);
  }
  return ui::SheetReply::kAccept;
}

void MainPage::ApplyValues(ui::Window& window) {
  if (window.IsChecked(kRotateNormalId)) Edit([](PrivateDevMode& r) { r.Rotate180 = 0; });
  if (window.IsChecked(kRotate180Id)) Edit([](PrivateDevMode& r) { r.Rotate180 = 1; });
  ChoosePaperEntry(window);
  // Enter or the Apply key applies while the scale box may keep the focus.
  StoreScale(window);
}

void MainPage::ApplyLanguage(ui::Window& window) {
  LanguageFiles* language = context().language();
  const int selected = window.Selection(kLanguageListId);
  // No entry matched the catalogue: no language value changes.
  if (language == nullptr || selected < 0) return;
  language->ChangeLanguage(window.ItemText(kLanguageListId, selected));
  sheets::RelabelAfterLanguageChange(window, sheets::CurrentTexts(language), printer_name_);
  window.Invalidate();
}

}  // namespace kit::plugin::main
