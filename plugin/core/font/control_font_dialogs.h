// The control-font translation table (dialog 115) and its per-character
// translator (dialog 116). The table lists the 96 characters of the
// "Control" font with their commands; Edit (or a double click) opens the
// translator for the selected character, Delete empties its command, OK
// saves the table and Cancel leaves the file alone.
// This file is OS-independent.
#pragma once

#include <optional>
#include <string>

#include "common/hex/hex_text.h"
#include "platform/files.h"
#include "platform/system.h"
#include "plugin/core/font/control_font_file.h"
#include "ui/page.h"

namespace kit::plugin::font {

inline constexpr int kControlFontTableId = 115;
inline constexpr int kControlFontTranslatorId = 116;

// Dialog 115.
inline constexpr int kDriverNameBoxId = 1151;
inline constexpr int kTableListId = 1152;
inline constexpr int kEditButtonId = 1153;
inline constexpr int kDeleteButtonId = 1154;
// Columns of the list and their widths in pixels.
inline constexpr int kCharColumn = 0, kHexColumn = 1, kCommandColumn = 2;
inline constexpr int kCharColumnWidth = 50, kHexColumnWidth = 50, kCommandColumnWidth = 450;
// What the read-only "Driver Name:" box shows.
inline constexpr char16_t kDriverNameText[] = u"Printer Driver";
// Edit refuses a row whose file value is longer than a command holds.
inline constexpr char16_t kRowTooLongText[] = u"Command length error";

// Dialog 116.
inline constexpr int kCharBoxId = 1161;
inline constexpr int kHexBoxId = 1162;
inline constexpr int kCommandBoxId = 1163;
inline constexpr int kCommandBoxLimit = 399;

class ControlFontTranslator final : public ui::Page {
 public:
  ControlFontTranslator(std::u16string character, std::u16string hex, std::u16string command)
      : character_(std::move(character)), hex_(std::move(hex)), command_(std::move(command)) {}
  const ui::DialogTemplate& Template() const override;
  void OnInit(ui::Window& window) override;
  bool OnCommand(ui::Window& window, int id, ui::Notify code) override;
  // The command confirmed with OK.
  const CommandBytes& Result() const { return result_; }

 private:
  std::u16string character_, hex_, command_;
  CommandBytes result_;
};

class ControlFontTable final : public ui::Page {
 public:
  // `path`: the table's file; `files` and `system` must outlive the dialog.
  ControlFontTable(Files& files, SystemFacts& system, std::u16string path)
      : files_(files), system_(system), path_(std::move(path)) {}
  const ui::DialogTemplate& Template() const override;
  void OnInit(ui::Window& window) override;
  bool OnCommand(ui::Window& window, int id, ui::Notify code) override;

 private:
  void EditRow(ui::Window& window);
  void DeleteRow(ui::Window& window);
  void Save(ui::Window& window);
  // The page's file message ("check the administrator rights").
  static void ShowFileMessage(ui::Window& window);
  // After Edit or Delete: the row before the selected one in view (the
  // selected one for the first two rows), the focus on the list.
  static void Reveal(ui::Window& window, int row);

  Files& files_;
  SystemFacts& system_;
  std::u16string path_;
  // The file was there and could not be read (access denied, in use): the
  // rows are empty, and Save would write them over the table, so it
  // leaves the file as it is.
  bool unreadable_ = false;
  // Each row's text as the list showed it at the start (at most 399
  // characters) and the file's value in full, both from one reading of the
  // file: a row still showing its first text is written back as the file
  // held it.
  ControlFontTexts shown_;
  ControlFontTexts stored_;
};

// Opens the table on the file in the driver folder of `system`'s Windows
// folder, as a modal dialog owned by `owner`. Returns kIdOk after a save,
// kIdCancel otherwise.
int RunControlFontTable(ui::Window& owner, Files& files, SystemFacts& system);

}  // namespace kit::plugin::font
