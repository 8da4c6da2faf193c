// This file is OS-independent.
#include "plugin/core/utility/utility_page.h"

#include "common/strings/decimal.h"
#include "plugin/core/font/control_font_dialogs.h"
#include "plugin/core/sheets/dialog_number.h"
#include "plugin/pages/rawjob/raw_job_channel.h"
#include "print/commands/printer_commands.h"

namespace kit::plugin::utility {
namespace {

const std::vector<sheets::PageText> kTexts = {
    {kSelfTestButtonId, u"RC_SELFTEST", u"SelfTest", 20},
    {kSelfTestLabelId, u"RC_STATIC_SELFTEST", u"Print a self-test page", 50},
    {kCheckCommLabelId, u"RC_STATIC_CHECKCOMM", u"Check that communication settings is correct first", 100},
    {kCustomSizeGroupId, u"RC_STATIC_CUSTOMSIZE", u"User Defined Paper Size", 50},
    {kDeleteButtonId, u"RC_BUTTON_DELETE", u"Delete Paper Size", 20},
    {kSaveButtonId, u"RC_BUTTON_SAVE", u"Save Paper Size", 50},
    {kFormNameLabelId, u"RC_STATIC_FORMNAME", u"Form Name:", 20},
    {kWidthLabelId, u"RC_STATIC_FORMWIDTH", u"Width:", 50},
    {kHeightLabelId, u"RC_STATIC_FORMHEIGHT", u"Height:", 20},
};

const std::vector<sheets::TooltipKey> kTooltips = {
    {kSelfTestButtonId, u"CTEXT_SELFTEST", u"Print Self-test page."},
    {kFormListId, u"CTEXT_LIST_PAPERSIZE",
     u"List shows the user defined paper size. You can select one paper size from the list and edit its name, "
     u"width and height, and you can also define a new paper size."},
    {kDeleteButtonId, u"CTEXT_BUTTON_DELETE", u"Delete the selected user defined paper size in the list."},
    {kSaveButtonId, u"CTEXT_BUTTON_SAVE",
     u"Save user defined paper size. The user defined paper size will be saved if this button is clicked. If the "
     u"paper size you edited is already in the list, then the width and height of the paper size will be "
     u"rewritten."},
    {kFormNameEditId, u"CTEXT_EDIT_FORMNAME",
     u"Specify the name of paper size you want to save. The maximum length of the name is 18 characters."},
    {kWidthEditId, u"CTEXT_EDIT_WIDTH", u"Specify the paper width."},
    {kHeightEditId, u"CTEXT_EDIT_HEIGHT", u"Specify the paper height."},
};

ui::DialogTemplate MakeTemplate() {
  using namespace ui;
  DialogTemplate t = sheets::PageTemplate(kUtilityDialogId, u"Utility");
  t.controls = {
      {kSelfTestButtonId, ControlKind::kPushButton, u"SelfTest", {14, 14, 60, 16}, kTabStop},
      {kSelfTestLabelId, ControlKind::kStatic, u"Print a self-test page", {82, 12, 160, 10}, kNone},
      {kCheckCommLabelId, ControlKind::kStatic, u"Check that communication settings is correct first",
       {82, 23, 160, 18}, kNone},
      {kCustomSizeGroupId, ControlKind::kGroupBox, u"User Defined Paper Size", {8, 46, 236, 164}, kNone},
      {kFormListId, ControlKind::kListBox, u"", {16, 60, 108, 120}, kTabStop | kBorder | kVScroll | kNotify},
      {kDeleteButtonId, ControlKind::kPushButton, u"Delete Paper Size", {16, 186, 108, 16}, kTabStop},
      {kFormNameLabelId, ControlKind::kStatic, u"Form Name:", {132, 60, 104, 10}, kNone},
      {kFormNameEditId, ControlKind::kEdit, u"", {132, 71, 104, 13}, kTabStop | kBorder, kFormNameLimit},
      {kWidthLabelId, ControlKind::kStatic, u"Width:", {132, 92, 104, 10}, kNone},
      {kWidthEditId, ControlKind::kEdit, u"", {132, 103, 46, 13}, kTabStop | kBorder | kNumber, kWidthLimit},
      {kWidthSpinId, ControlKind::kUpDown, u"", {178, 103, 10, 13}, kNone, 0, kWidthEditId},
      {kWidthHintId, ControlKind::kStatic, kWidthHint, {132, 118, 104, 10}, kNone},
      {kHeightLabelId, ControlKind::kStatic, u"Height:", {132, 132, 104, 10}, kNone},
      {kHeightEditId, ControlKind::kEdit, u"", {132, 143, 46, 13}, kTabStop | kBorder | kNumber, kHeightLimit},
      {kHeightSpinId, ControlKind::kUpDown, u"", {178, 143, 10, 13}, kNone, 0, kHeightEditId},
      {kHeightHintId, ControlKind::kStatic, kHeightHint, {132, 158, 104, 10}, kNone},
      {kSaveButtonId, ControlKind::kPushButton, u"Save Paper Size", {132, 186, 104, 16}, kTabStop},
      {kControlFontButtonId, ControlKind::kPushButton, u"Control Font", {82, 186, 44, 16}, kHidden},
  };
  return t;
}

}  // namespace

const ui::DialogTemplate& UtilityPage::Template() const {
  static const ui::DialogTemplate t = MakeTemplate();
  return t;
}

void UtilityPage::LoadTexts(ui::Window& window, const sheets::CurrentTexts& texts) {
  SetTexts(window, texts, kUtilitySection, kTexts);
  SetTooltips(window, texts, kUtilitySection, kTooltips);
}

std::optional<std::vector<FormInfo1>> UtilityPage::Forms() const {
  PrinterHandle printer = context().UsePrinter();
  if (!printer) return std::nullopt;
  return ReadForms(*printer);
}

void UtilityPage::ShowSize(ui::Window& window, FormSize size) {
  window.SetPosition(kWidthSpinId, size.width);
  window.SetText(kWidthEditId, DecimalText(size.width));
  window.SetPosition(kHeightSpinId, size.height);
  window.SetText(kHeightEditId, DecimalText(size.height));
}

void UtilityPage::ShowValues(ui::Window& window) {
  window.SetRange(kWidthSpinId, kMinFormWidth, kMaxFormWidth);
  window.SetRange(kHeightSpinId, kMinFormHeight, kMaxFormHeight);  // a 32-bit range
  window.SetText(kWidthHintId, kWidthHint);
  window.SetText(kHeightHintId, kHeightHint);
  window.ClearItems(kFormListId);
  window.Enable(kDeleteButtonId, false);
  const auto forms = Forms();
  if (!forms) return;
  for (const std::u16string& name : ListedForms(*forms)) window.AddItem(kFormListId, name);
  if (window.ItemCount(kFormListId) == 0) return;
  window.SetSelection(kFormListId, 0);
  // The first entry's size: the kit's form when it exists, else the entry
  // shown, so that a Save without edits keeps that form's size.
  ShowSelected(window);
}

void UtilityPage::ShowSelected(ui::Window& window) {
  const int selected = window.Selection(kFormListId);
  if (selected < 0) {
    UpdateDelete(window);
    return;
  }
  const std::u16string name = window.ItemText(kFormListId, selected);
  window.SetText(kFormNameEditId, ShownName(name));
  UpdateDelete(window);
  if (const auto forms = Forms()) {
    if (const FormInfo1* form = FindForm(*forms, name)) ShowSize(window, SizeOf(*form));
  }
}

void UtilityPage::UpdateDelete(ui::Window& window) {
  // Delete needs an entry, and never takes the kit's own form.
  const int selected = window.Selection(kFormListId);
  window.Enable(kDeleteButtonId, selected >= 0 && window.ItemText(kFormListId, selected) != kKitDefaultForm);
}

bool UtilityPage::OnCommand(ui::Window& window, int id, ui::Notify code) {
  if (id == kFormListId && code == ui::Notify::kSelChanged) {
    ShowSelected(window);
    return true;
  }
  if (id == kFormNameEditId && code == ui::Notify::kChanged) {
    UpdateDelete(window);
    return true;
  }
  if (code != ui::Notify::kClicked) return false;
  switch (id) {
    case kSelfTestButtonId: SelfTest(); return true;
    case kSaveButtonId: Save(window); return true;
    case kDeleteButtonId: Delete(window); return true;
    case kControlFontButtonId: OpenControlFontTable(window); return true;
    default: return false;
  }
}

// The hidden "Control Font" button: the control-font translation table, on
// the system the page works on. Without one the button does nothing.
void UtilityPage::OpenControlFontTable(ui::Window& window) {
  const sheets::PagePlatform& platform = context().platform();
  if (platform.files == nullptr || platform.system == nullptr) return;
  font::RunControlFontTable(window, *platform.files, *platform.system);
}

void UtilityPage::Save(ui::Window& window) {
  FormSize size{sheets::ReadDialogInteger(window.Text(kWidthEditId)),
                sheets::ReadDialogInteger(window.Text(kHeightEditId))};
  if (ClampWidth(size.width) != size.width) {
    size.width = ClampWidth(size.width);
    window.SetText(kWidthEditId, DecimalText(size.width));
  }
  if (ClampHeight(size.height) != size.height) {
    size.height = ClampHeight(size.height);
    window.SetText(kHeightEditId, DecimalText(size.height));
  }
  std::u16string typed = window.Text(kFormNameEditId);
  if (typed.size() >= kTypedNameCapacity) typed.resize(kTypedNameCapacity - 1);

  PrinterHandle printer = context().UsePrinter();
  if (!printer) return;
  const auto forms = ReadForms(*printer);
  const FormInfo1* existing = forms ? FindSavedForm(*forms, typed) : nullptr;
  if (existing != nullptr) {
    if (!printer->SetForm(existing->name, MakeForm(existing->name, size)))
      ShowMessage(window, sheets::Message::kUtilityError1, sheets::MessageTitle::kError, ui::kMbIconError);
    return;
  }
  const std::u16string name = kCustomFormPrefix + typed;
  if (!printer->AddForm(MakeForm(name, size))) {
    ShowMessage(window, sheets::Message::kUtilityError1, sheets::MessageTitle::kError, ui::kMbIconError);
    return;
  }
  window.AddItem(kFormListId, name);
  window.SetSelection(kFormListId, window.ItemCount(kFormListId) - 1);
  UpdateDelete(window);
}

void UtilityPage::Delete(ui::Window& window) {
  const int selected = window.Selection(kFormListId);
  if (selected < 0) return;
  const std::u16string name = window.ItemText(kFormListId, selected);
  if (name == kKitDefaultForm) return;
  PrinterHandle printer = context().UsePrinter();
  // A failed delete keeps the entry: the form is still there.
  if (!printer || !printer->DeleteForm(name)) return;
  window.DeleteItem(kFormListId, selected);
  const int count = window.ItemCount(kFormListId);
  window.SetSelection(kFormListId, count == 0 ? -1 : std::min(selected, count - 1));
  ShowSelected(window);
}

void UtilityPage::SelfTest() { rawjob::SendRawJob(context(), print::commands::SelfTestJob()); }

}  // namespace kit::plugin::utility
