// This file is OS-independent.
#include "plugin/core/font/control_font_dialogs.h"

#include "common/strings/capacity.h"
#include "platform/profile_snapshot.h"
#include "plugin/core/operation/operation_rules.h"
#include "plugin/core/sheets/message_texts.h"
#include "ui/fonts.h"

namespace kit::plugin::font {
namespace {

ui::DialogTemplate MakeTableTemplate() {
  using namespace ui;
  DialogTemplate t;
  t.id = kControlFontTableId;
  t.caption = u"Control Font Character Translation Table";
  t.cx = 380;
  t.cy = 250;
  t.font = DialogFont();
  t.controls = {
      {kIdStatic, ControlKind::kStatic, u"Driver Name:", {10, 10, 50, 10}, kNone},
      {kDriverNameBoxId, ControlKind::kEdit, u"", {62, 8, 150, 12}, kBorder | kReadOnly},
      {kTableListId, ControlKind::kListView, u"", {10, 26, 360, 196}, kReportView | kFullRowSelect | kBorder | kTabStop},
      {kEditButtonId, ControlKind::kPushButton, u"Edit", {10, 228, 60, 14}, kTabStop},
      {kDeleteButtonId, ControlKind::kPushButton, u"Delete", {76, 228, 60, 14}, kTabStop},
      {kIdOk, ControlKind::kPushButton, u"OK", {244, 228, 60, 14}, kDefault | kTabStop},
      {kIdCancel, ControlKind::kPushButton, u"Cancel", {310, 228, 60, 14}, kTabStop},
  };
  return t;
}

ui::DialogTemplate MakeTranslatorTemplate() {
  using namespace ui;
  DialogTemplate t;
  t.id = kControlFontTranslatorId;
  t.caption = u"Control Font Character Translator";
  t.cx = 300;
  t.cy = 96;
  t.font = DialogFont();
  t.controls = {
      {kIdStatic, ControlKind::kStatic, u"Char", {10, 10, 40, 10}, kNone},
      {kCharBoxId, ControlKind::kEdit, u"", {52, 8, 40, 12}, kBorder | kReadOnly},
      {kIdStatic, ControlKind::kStatic, u"Hex", {110, 10, 30, 10}, kNone},
      {kHexBoxId, ControlKind::kEdit, u"", {142, 8, 40, 12}, kBorder | kReadOnly},
      {kIdStatic, ControlKind::kStatic, u"Command", {10, 34, 40, 10}, kNone},
      {kCommandBoxId, ControlKind::kEdit, u"", {52, 32, 238, 14}, kBorder | kTabStop, kCommandBoxLimit},
      {kIdOk, ControlKind::kPushButton, u"OK", {164, 72, 60, 14}, kDefault | kTabStop},
      {kIdCancel, ControlKind::kPushButton, u"Cancel", {230, 72, 60, 14}, kTabStop},
  };
  return t;
}

std::u16string ReadCommandBox(ui::Window& window, int id) {
  return kit::CopyCapped(std::u16string_view{window.Text(id)}, kCommandTextCapacity);
}

}  // namespace

// ---- translator

const ui::DialogTemplate& ControlFontTranslator::Template() const {
  static const ui::DialogTemplate t = MakeTranslatorTemplate();
  return t;
}

void ControlFontTranslator::OnInit(ui::Window& window) {
  window.SetText(kCharBoxId, character_);
  window.SetText(kHexBoxId, hex_);
  window.SetText(kCommandBoxId, command_);
  window.SetKeyFilter(kCommandBoxId, operation::CommandKeyFilter);
  window.SetFocus(kCommandBoxId);
}

bool ControlFontTranslator::OnCommand(ui::Window& window, int id, ui::Notify code) {
  if (id != ui::kIdOk || code != ui::Notify::kClicked) return false;
  const std::optional<CommandBytes> command = HexTextToCommand(ReadCommandBox(window, kCommandBoxId));
  if (!command) {
    sheets::ShowMessage(window, sheets::Message::kOperationError1, sheets::MessageTitle::kError, ui::kMbOk);
    return true;
  }
  result_ = *command;
  window.EndDialog(ui::kIdOk);
  return true;
}

// ---- table

const ui::DialogTemplate& ControlFontTable::Template() const {
  static const ui::DialogTemplate t = MakeTableTemplate();
  return t;
}

void ControlFontTable::OnInit(ui::Window& window) {
  window.SetText(kDriverNameBoxId, kDriverNameText);
  window.SetColumn(kTableListId, kCharColumn, u"Char", kCharColumnWidth);
  window.SetColumn(kTableListId, kHexColumn, u"Hex", kHexColumnWidth);
  window.SetColumn(kTableListId, kCommandColumn, u"Command", kCommandColumnWidth);
  // One reading for both: a second read that failed would leave rows shown
  // that Save then drops.
  ProfileSnapshot source(files_, system_);
  win32::Error error = win32::kErrorSuccess;
  unreadable_ = !source.Take(path_, &error);
  shown_ = {};
  stored_ = {};
  if (!unreadable_) {
    shown_ = LoadControlFontTexts(source, path_);
    stored_ = LoadControlFontValues(source, path_);
  }
  window.ClearItems(kTableListId);
  for (int i = 0; i < kControlCodeCount; ++i) {
    const int code = kFirstControlCode + i;
    const int row = window.AddItem(kTableListId, std::u16string(1, static_cast<char16_t>(code)));
    window.SetSubItemText(kTableListId, row, kHexColumn, ControlFontKey(code));
    // The file's own text; a value longer than a command holds is kept as
    // it is, refused by Edit and written back unchanged by Save.
    window.SetSubItemText(kTableListId, row, kCommandColumn, shown_[i]);
  }
  if (unreadable_) ShowFileMessage(window);
}

bool ControlFontTable::OnCommand(ui::Window& window, int id, ui::Notify code) {
  switch (id) {
    case kEditButtonId:
      if (code == ui::Notify::kClicked) EditRow(window);
      return true;
    case kTableListId:
      if (code == ui::Notify::kDoubleClicked) EditRow(window);
      return true;
    case kDeleteButtonId:
      if (code == ui::Notify::kClicked) DeleteRow(window);
      return true;
    case ui::kIdOk:
      if (code == ui::Notify::kClicked) Save(window);
      return true;
    default: return false;
  }
}

void ControlFontTable::EditRow(ui::Window& window) {
  const int row = window.Selection(kTableListId);
  if (row < 0) return;
  const std::optional<CommandBytes> command =
      HexTextToCommand(window.SubItemText(kTableListId, row, kCommandColumn));
  if (!command) {
    window.MessageBox(kRowTooLongText, sheets::TextOf(sheets::MessageTitle::kError), ui::kMbOk);
    return;
  }
  ControlFontTranslator translator(window.SubItemText(kTableListId, row, kCharColumn),
                                   window.SubItemText(kTableListId, row, kHexColumn),
                                   BytesToHexText(command->used()));
  if (window.RunModal(translator) == ui::kIdOk)
    window.SetSubItemText(kTableListId, row, kCommandColumn, BytesToHexText(translator.Result().used()));
  Reveal(window, row);
}

void ControlFontTable::DeleteRow(ui::Window& window) {
  const int row = window.Selection(kTableListId);
  if (row < 0) return;
  window.SetSubItemText(kTableListId, row, kCommandColumn, u"");
  Reveal(window, row);
}

void ControlFontTable::Reveal(ui::Window& window, int row) {
  window.EnsureItemVisible(kTableListId, row >= 2 ? row - 1 : row);
  window.SetFocus(kTableListId);
}

void ControlFontTable::ShowFileMessage(ui::Window& window) {
  sheets::ShowMessage(window, sheets::Message::kWatermarkError2, sheets::MessageTitle::kError, ui::kMbIconError);
}

void ControlFontTable::Save(ui::Window& window) {
  if (unreadable_) {
    ShowFileMessage(window);
    return;
  }
  ControlFontTexts texts;
  for (int i = 0; i < kControlCodeCount; ++i) {
    texts[i] = window.SubItemText(kTableListId, i, kCommandColumn);
    // An untouched row keeps the file's value, also past what the list shows.
    if (texts[i] == shown_[i]) texts[i] = stored_[i];
  }
  if (!SaveControlFontTable(files_, path_, texts)) {
    ShowFileMessage(window);
    return;
  }
  window.EndDialog(ui::kIdOk);
}

int RunControlFontTable(ui::Window& owner, Files& files, SystemFacts& system) {
  ControlFontTable table(files, system, ControlFontPath(system.GetWindowsDirectory()));
  return owner.RunModal(table);
}

}  // namespace kit::plugin::font
