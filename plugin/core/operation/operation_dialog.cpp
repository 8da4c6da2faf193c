// This file is OS-independent.
#include "plugin/core/operation/operation_dialog.h"

#include <string>

#include "common/hex/hex_text.h"
#include "common/strings/capacity.h"
#include "common/strings/decimal.h"
#include "plugin/core/sheets/message_texts.h"
#include "plugin/core/sheets/sheet_page.h"
#include "ui/fonts.h"

namespace kit::plugin::operation {
namespace {

struct Text {
  const char16_t* key;
  const char16_t* builtin;
};
struct ControlText {
  int id;
  Text text;
  std::size_t capacity;
};

constexpr Text kTitles[kEventCount] = {
    {u"RC_DOCUMENT_STARTDOC", u"Start Document Operation"},
    {u"RC_DOCUMENT_STARTPAGE", u"Start Page Operation"},
    {u"RC_DOCUMENT_ENDPAGE", u"End Page Operation"},
    {u"RC_DOCUMENT_ENDDOC", u"End Document Operation"},
};

constexpr ControlText kLabels[] = {
    {kSendCommandId, {u"RC_SEND_COMMAND", u"Send Command      [Example:1D 56 42 00]"}, kDocumentLabelCapacity},
    {kOpenDrawerId, {u"RC_OPEN_DRAWER", u"Open Drawer"}, kDocumentLabelCapacity},
    {kHeraldId, {u"RC_ORDER_MESSENGER", u"Herald"}, kDocumentLabelCapacity},
    {kBuzzerLabelId, {u"RC_STATIC_OPERATION_BUZZER", u"Buzzer:"}, kDocumentLabelCapacity},
    {kVolumeLabelId, {u"RC_STATIC_BUZZER_VOLUME", u"Buzzer Volume:"}, kDocumentLabelCapacity},
    {kFeedLabelId, {u"RC_STATIC_OPERATION_FEED", u"Paper Feed:"}, kDocumentLabelCapacity},
    {kFeedToCutId, {u"RC_FEEDTOPOSITION", u"Feed to cut position before cut"}, kDocumentLabelCapacity},
    {kCutLabelId, {u"RC_PAPERCUT", u"Paper Cut:"}, kDocumentLabelCapacity},
    {kLogoLabelId, {u"RC_STATIC_OPERATION_LOGO", u"Print Logo:"}, kDocumentLabelCapacity},
    {kAlignLabelId, {u"RC_STATIC_OPERATION_ALIGN", u"Align:"}, kDocumentButtonCapacity},
    {kLeftId, {u"RC_LEFT", u"Left"}, kDocumentButtonCapacity},
    {kCenteredId, {u"RC_CENTERED", u"Centered"}, kDocumentButtonCapacity},
    {kRightId, {u"RC_RIGHT", u"Right"}, kDocumentButtonCapacity},
    {kPositionLabelId, {u"RC_STATIC_OPERATION_POSITION", u"Position:"}, kDocumentButtonCapacity},
    {kBeforeCutId, {u"RC_BEFORE_CUT", u"Before Cut"}, kDocumentButtonCapacity},
    {kAfterCutId, {u"RC_AFTER_CUT", u"After Cut"}, kDocumentButtonCapacity},
    {kDefaultId, {u"RC_OPERATION_DEFAULT", u"Default"}, kDocumentButtonCapacity},
    {ui::kIdOk, {u"RC_OPERATION_OK", u"OK"}, kDocumentButtonCapacity},
    {ui::kIdCancel, {u"RC_OPERATION_CANCEL", u"Cancel"}, kDocumentButtonCapacity},
};

constexpr Text kDrawerItems[] = {
    {u"RC_OPENDRAWER1", u"No Cash Drawer"},           {u"RC_OPENDRAWER2", u"Cash Drawer Waiting 10ms"},
    {u"RC_OPENDRAWER3", u"Cash Drawer Waiting 20ms"}, {u"RC_OPENDRAWER4", u"Cash Drawer Waiting 40ms"},
    {u"RC_OPENDRAWER5", u"Cash Drawer Waiting 60ms"},
};
constexpr Text kHeraldItems[] = {{u"RC_ORDERMESSENGER1", u"Enable"}, {u"RC_ORDERMESSENGER2", u"Disable"}};
constexpr Text kBuzzerItems[] = {
    {u"RC_OPERATION_BUZZER1", u"Beep off"},   {u"RC_OPERATION_BUZZER2", u"Beep one"},
    {u"RC_OPERATION_BUZZER3", u"Beep three"}, {u"RC_OPERATION_BUZZER4", u"Beep five"},
    {u"RC_OPERATION_BUZZER5", u"Beep ten"},   {u"RC_OPERATION_BUZZER6", u"Beep twenty"},
};
constexpr Text kCutItems[] = {
    {u"RC_PAPER_CUT1", u"No Cut"}, {u"RC_PAPER_CUT2", u"Partial Cut"}, {u"RC_PAPER_CUT3", u"Full Cut"}};
constexpr Text kLogoItems[] = {
    {u"RC_PRINT_LOGO1", u"Not Print Logo"}, {u"RC_PRINT_LOGO2", u"Print Logo1"},
    {u"RC_PRINT_LOGO3", u"Print Logo2"},    {u"RC_PRINT_LOGO4", u"Print Logo3"},
    {u"RC_PRINT_LOGO5", u"Print Logo4"},    {u"RC_PRINT_LOGO6", u"Print Logo5"},
    {u"RC_PRINT_LOGO7", u"Print Logo6"},    {u"RC_PRINT_LOGO8", u"Print Logo7"},
    {u"RC_PRINT_LOGO9", u"Print Logo8"},    {u"RC_PRINT_LOGO10", u"Print Logo9"},
};

const std::vector<sheets::TooltipKey>& Tooltips() {
  static const std::vector<sheets::TooltipKey> tips = {
      {kSendCommandId, u"CTEXT_SEND_COMMAND",
       u"The command input column is enabled if this item is selected. Edit command which needs to be sent in the "
       u"input column, this command will be sent at the document corresponding position."},
      {kCommandId, u"CTEXT_EDIT", u"Edit the command which needs to be sent in the input column."},
      {kOpenDrawerId, u"CTEXT_OPEN_DRAWER",
       u"Parameter of cash drawer can be set after selecting this item, and printer will control the cash drawer "
       u"at document corresponding position."},
      {kDrawerListId, u"CTEXT_OPENDRAWER", u"Select the cash drawer number and pulse time for opening."},
      {kHeraldId, u"CTEXT_ORDER_MESSENGER",
       u"The print messenger can be set after selecting this item. The print messenger will give the prompts you "
       u"needed at the document corresponding position."},
      {kHeraldListId, u"CTEXT_ORDERMESSENGER", u"Set the print messenger status (on/off)."},
      {kBuzzerListId, u"CTEXT_BUZZER", u"Whether to enable the buzzer, and set the buzzer beep time."},
      {kVolumeId, u"CTEXT_BUZZERVOLUME",
       u"Set the volume of buzzer. This item is only enabled when the buzzer is on."},
      {kFeedId, u"CTEXT_PAPER_FEED",
       u"Set paper feed distance. Print blank for the distance needed at the document corresponding position."},
      {kFeedToCutId, u"CTEXT_FEEDTOPOSITION",
       u"Feed paper to the cut position before cutting. After selecting this item, the print content will be sent "
       u"out completely to avoid being cut off."},
      {kCutListId, u"CTEXT_PAPER_CUT", u"Set the paper cut type(full cut / partial cut / no cut)."},
      {kLogoListId, u"CTEXT_PRINT_LOGO",
       u"Set the serial number of Logo to be printed. These Logos are bitmaps stored in the Flash of printer, "
       u"please confirm the needed Logo are stored in the printer before using these Logos."},
      {kLeftId, u"CTEXT_LEFT", u"Select the Logo alignment mode to be left justification."},
      {kCenteredId, u"CTEXT_CENTERED", u"Select the Logo alignment mode to be center justification."},
      {kRightId, u"CTEXT_RIGHT", u"Select the Logo alignment mode to be right justification."},
      {kBeforeCutId, u"CTEXT_BEFORE_CUT", u"Select the Logo to be print before paper cut."},
      {kAfterCutId, u"CTEXT_AFTER_CUT", u"Select the Logo to be print after paper cut."},
      {kDefaultId, u"CTEXT_IDDEFAULT", u"Recovery the optional items in this interface to be default."},
      {ui::kIdOk, u"CTEXT_IDOK", u"Confirm your settings."},
      {ui::kIdCancel, u"CTEXT_IDCANCEL", u"Cancel your settings."},
  };
  return tips;
}

template <std::size_t N>
void FillList(ui::Window& window, int id, const Text (&items)[N], const sheets::CurrentTexts& texts) {
  window.ClearItems(id);
  for (const Text& item : items)
    window.AddItem(id, texts.Get(kDocumentSection, item.key, item.builtin, kDocumentLabelCapacity));
}

ui::DialogTemplate MakeTemplate() {
  using namespace ui;
  DialogTemplate t;
  t.id = kOperationDialogId;
  t.caption = u"Start Document Operation";
  t.cx = 300;
  t.cy = 228;
  t.font = DialogFont();
  t.kind = DialogKind::kPopup;
  const std::uint32_t list = kDropDownList | kVScroll | kTabStop;
  t.controls = {
      {kSendCommandId, ControlKind::kCheckBox, u"Send Command      [Example:1D 56 42 00]", {10, 8, 200, 10}, kTabStop},
      {kCommandId, ControlKind::kEdit, u"", {10, 20, 280, 14}, kBorder | kTabStop, kCommandBoxLimit},
      {kOpenDrawerId, ControlKind::kRadioButton, u"Open Drawer", {10, 42, 72, 10}, kGroup | kTabStop},
      {kDrawerListId, ControlKind::kComboBox, u"", {85, 40, 120, 80}, list},
      {kHeraldId, ControlKind::kRadioButton, u"Herald", {10, 58, 72, 10}, kDisabled},
      {kHeraldListId, ControlKind::kComboBox, u"", {85, 56, 120, 60}, list},
      {kBuzzerLabelId, ControlKind::kStatic, u"Buzzer:", {10, 76, 72, 10}, kDisabled},
      {kBuzzerListId, ControlKind::kComboBox, u"", {85, 74, 120, 90}, list | kDisabled},
      {kVolumeLabelId, ControlKind::kStatic, u"Buzzer Volume:", {10, 92, 72, 10}, kDisabled},
      {kVolumeId, ControlKind::kEdit, u"0", {85, 90, 30, 12}, kBorder | kNumber | kTabStop | kDisabled, kNumberBoxLimit},
      {kVolumeSpinId, ControlKind::kUpDown, u"", {115, 90, 10, 12}, kDisabled, 0, kVolumeId},
      {kVolumeUnitId, ControlKind::kStatic, u" [ 0 .. 255 ]", {128, 92, 70, 10}, kDisabled},
      {kFeedLabelId, ControlKind::kStatic, u"Paper Feed:", {10, 108, 72, 10}, kNone},
      {kFeedId, ControlKind::kEdit, u"0", {85, 106, 30, 12}, kBorder | kNumber | kTabStop, kNumberBoxLimit},
      {kFeedSpinId, ControlKind::kUpDown, u"", {115, 106, 10, 12}, kNone, 0, kFeedId},
      {kFeedUnitId, ControlKind::kStatic, u"mm [ 0 .. 100 ]", {128, 108, 70, 10}, kNone},
      {kFeedToCutId, ControlKind::kCheckBox, u"Feed to cut position before cut", {10, 124, 190, 10}, kDisabled},
      {kCutLabelId, ControlKind::kStatic, u"Paper Cut:", {10, 140, 72, 10}, kDisabled},
      {kCutListId, ControlKind::kComboBox, u"", {85, 138, 120, 60}, list | kDisabled},
      {kLogoLabelId, ControlKind::kStatic, u"Print Logo:", {10, 156, 72, 10}, kNone},
      {kLogoListId, ControlKind::kComboBox, u"", {85, 154, 120, 70}, list},
      {kAlignLabelId, ControlKind::kStatic, u"Align:", {10, 172, 40, 10}, kNone},
      {kLeftId, ControlKind::kRadioButton, u"Left", {52, 172, 44, 10}, kGroup | kTabStop},
      {kCenteredId, ControlKind::kRadioButton, u"Centered", {98, 172, 52, 10}, kNone},
      {kRightId, ControlKind::kRadioButton, u"Right", {152, 172, 44, 10}, kNone},
      {kPositionLabelId, ControlKind::kStatic, u"Position:", {10, 188, 40, 10}, kNone},
      {kBeforeCutId, ControlKind::kRadioButton, u"Before Cut", {52, 188, 60, 10}, kGroup | kDisabled},
      {kAfterCutId, ControlKind::kRadioButton, u"After Cut", {114, 188, 60, 10}, kDisabled},
      {kPreviewId, ControlKind::kPicture, u"", {212, 40, 78, 140}, kSingleBorder},
      {kDefaultId, ControlKind::kPushButton, u"Default", {10, 208, 60, 14}, kTabStop},
      {ui::kIdOk, ControlKind::kPushButton, u"OK", {166, 208, 60, 14}, kDefault | kTabStop},
      {ui::kIdCancel, ControlKind::kPushButton, u"Cancel", {230, 208, 60, 14}, kTabStop},
  };
  return t;
}

}  // namespace

const ui::DialogTemplate& OperationDialog::Template() const {
  static const ui::DialogTemplate t = MakeTemplate();
  return t;
}

void OperationDialog::LoadTexts(ui::Window& window, const sheets::CurrentTexts& texts) {
  const int event = working_.event >= 0 && working_.event < kEventCount ? working_.event : kStartOfDocument;
  window.SetCaption(texts.Get(kDocumentSection, kTitles[event].key, kTitles[event].builtin, kDocumentLabelCapacity));
  for (const ControlText& label : kLabels)
    window.SetText(label.id, texts.Get(kDocumentSection, label.text.key, label.text.builtin, label.capacity));
  FillList(window, kDrawerListId, kDrawerItems, texts);
  FillList(window, kHeraldListId, kHeraldItems, texts);
  FillList(window, kBuzzerListId, kBuzzerItems, texts);
  FillList(window, kCutListId, kCutItems, texts);
  FillList(window, kLogoListId, kLogoItems, texts);
}

void OperationDialog::OnInit(ui::Window& window) {
  // The texts are read again at every opening, in the current language.
  const sheets::CurrentTexts texts(language_);
  LoadTexts(window, texts);
  window.SetKeyFilter(kCommandId, CommandKeyFilter);
  for (const sheets::TooltipKey& tip : Tooltips())
    window.SetTooltip(tip.control_id, texts.Get(kDocumentSection, tip.key, tip.builtin, sheets::kTooltipCapacity));
  window.SetRange(kFeedSpinId, 0, kMaxFeedMm);
  window.SetRange(kVolumeSpinId, 0, kMaxBuzzerVolume);
  Show(window, working_.values);
}

void OperationDialog::Show(ui::Window& window, const EventOperation& v) {
  shown_ = v;
  // A damaged record may say more than the field holds: never past it.
  const std::size_t length = v.CommandLength < kMaxCommandLength ? v.CommandLength : kMaxCommandLength;
  window.SetText(kCommandId, BytesToHexText(std::span<const std::uint8_t>(v.Command.data(), length)));
  window.SetChecked(kSendCommandId, v.SendCommand == 1);
  window.Enable(kCommandId, v.SendCommand == 1);
  window.SetChecked(kFeedToCutId, v.FeedToCut == 1);
  window.SetSelection(kDrawerListId, v.DrawerSelect);
  window.SetSelection(kHeraldListId, v.HeraldSelect);
  window.SetSelection(kCutListId, v.CutType);
  window.SetSelection(kBuzzerListId, v.BuzzerSelect);
  window.SetSelection(kLogoListId, v.LogoSelect);
  window.SetPosition(kFeedSpinId, v.FeedMm);
  window.SetText(kFeedId, DecimalText(v.FeedMm));
  window.SetPosition(kVolumeSpinId, v.BuzzerVolume);
  window.SetText(kVolumeId, DecimalText(v.BuzzerVolume));
  const bool herald = v.UseHerald != 0;
  window.SetChecked(kHeraldId, herald);
  window.SetChecked(kOpenDrawerId, !herald);
  window.Enable(kDrawerListId, !herald);
  window.Enable(kHeraldListId, herald);
  const bool buzzer = v.BuzzerSelect != 0;
  window.Enable(kVolumeId, buzzer);
  window.Enable(kVolumeSpinId, buzzer);
  window.SetChecked(kLeftId, v.LogoAlign == 0);
  window.SetChecked(kCenteredId, v.LogoAlign == 1);
  window.SetChecked(kRightId, v.LogoAlign == 2);
  for (int id : {kLeftId, kCenteredId, kRightId}) window.Enable(id, v.LogoSelect != 0);
  window.SetChecked(kAfterCutId, v.LogoPosition != 0);
  window.SetChecked(kBeforeCutId, v.LogoPosition == 0);
  ShowPreview(window);
}

std::uint8_t OperationDialog::ListValue(ui::Window& window, int id, std::uint8_t shown) const {
  const int selection = window.Selection(id);
  return selection < 0 ? shown : static_cast<std::uint8_t>(selection);
}

void OperationDialog::ShowPreview(ui::Window& window) {
  const bool cut = ListValue(window, kCutListId, shown_.CutType) != 0;
  window.ShowBitmapResource(kPreviewId, PreviewBitmapId(working_.event, window.IsChecked(kFeedToCutId), cut));
}

bool OperationDialog::OnCommand(ui::Window& window, int id, ui::Notify code) {
  switch (id) {
    case kSendCommandId:
      if (code == ui::Notify::kClicked) window.Enable(kCommandId, window.IsChecked(kSendCommandId));
      return true;
    case kOpenDrawerId:
    case kHeraldId:
      if (code == ui::Notify::kClicked) {
        const bool herald = id == kHeraldId;
        window.Enable(kDrawerListId, !herald);
        window.Enable(kHeraldListId, herald);
      }
      return true;
    case kBuzzerListId:
      if (code == ui::Notify::kSelChanged) {
        const bool on = window.Selection(kBuzzerListId) != 0;
        window.Enable(kVolumeId, on);
        window.Enable(kVolumeSpinId, on);
      }
      return true;
    case kLogoListId:
      if (code == ui::Notify::kSelChanged) {
        const bool logo = window.Selection(kLogoListId) != 0;
        for (int align : {kLeftId, kCenteredId, kRightId}) window.Enable(align, logo);
      }
      return true;
    case kFeedId:
    case kVolumeId:
      if (code == ui::Notify::kChanged) {
        const int high = id == kFeedId ? kMaxFeedMm : kMaxBuzzerVolume;
        const std::u16string text = window.Text(id);
        const int value = ReadClamped(text, high);
        window.SetPosition(id == kFeedId ? kFeedSpinId : kVolumeSpinId, value);
        if (!text.empty() && text != DecimalText(value)) window.SetText(id, DecimalText(value));
      }
      return true;
    case kFeedSpinId:
    case kVolumeSpinId:
      if (code == ui::Notify::kScrolled)
        window.SetText(id == kFeedSpinId ? kFeedId : kVolumeId, DecimalText(window.Position(id)));
      return true;
    case kFeedToCutId:
      if (code == ui::Notify::kClicked) ShowPreview(window);
      return true;
    case kCutListId:
      if (code == ui::Notify::kSelChanged) ShowPreview(window);
      return true;
    case kDefaultId:
      if (code == ui::Notify::kClicked) {
        Show(window, DefaultOperation(working_.event));
        window.Enable(kCommandId, false);
        for (int align : {kLeftId, kCenteredId, kRightId}) window.Enable(align, false);
      }
      return true;
    case ui::kIdOk:
      if (code == ui::Notify::kClicked && TakeValues(window)) window.EndDialog(ui::kIdOk);
      return true;
    case ui::kIdCancel:
      if (code == ui::Notify::kClicked) window.EndDialog(ui::kIdCancel);
      return true;
    default: return false;
  }
}

bool OperationDialog::TakeValues(ui::Window& window) {
  const std::u16string text = kit::CopyCapped(std::u16string_view{window.Text(kCommandId)}, kCommandTextCapacity);
  const std::optional<CommandBytes> command = HexTextToCommand(text);
  if (!command) {
    sheets::ShowMessage(window, sheets::Message::kOperationError1, sheets::MessageTitle::kError, ui::kMbOk);
    return false;
  }
  EventOperation& v = working_.values;
  v.Command = command->bytes;
  v.CommandLength = static_cast<std::uint8_t>(command->length);
  v.SendCommand = window.IsChecked(kSendCommandId) ? 1 : 0;
  v.FeedToCut = window.IsChecked(kFeedToCutId) ? 1 : 0;
  v.DrawerSelect = ListValue(window, kDrawerListId, shown_.DrawerSelect);
  v.CutType = ListValue(window, kCutListId, shown_.CutType);
  v.HeraldSelect = ListValue(window, kHeraldListId, shown_.HeraldSelect);
  v.BuzzerSelect = ListValue(window, kBuzzerListId, shown_.BuzzerSelect);
  v.LogoSelect = ListValue(window, kLogoListId, shown_.LogoSelect);
  v.FeedMm = static_cast<std::uint8_t>(ReadClamped(window.Text(kFeedId), kMaxFeedMm));
  v.BuzzerVolume = static_cast<std::uint8_t>(ReadClamped(window.Text(kVolumeId), kMaxBuzzerVolume));
  v.UseHerald = window.IsChecked(kOpenDrawerId) ? 0 : 1;
  v.LogoAlign = window.IsChecked(kLeftId) ? 0 : window.IsChecked(kCenteredId) ? 1 : 2;
  v.LogoPosition = window.IsChecked(kBeforeCutId) ? 0 : 1;
  return true;
}

}  // namespace kit::plugin::operation
