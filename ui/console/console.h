// The console host: shows the current headless dialog as plain text and
// takes actions typed by a person or read from a script, one action a line
// ("#" starts a comment). Message boxes and nested modal dialogs are shown
// and answered the same way. The output holds no terminal escapes, so a
// transcript is stable for tests. This file is OS-independent.
#pragma once

#include <functional>
#include <iosfwd>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "ui/headless/dialog.h"
#include "ui/headless/sheet.h"

namespace kit::ui::console {

struct Options {
  // Prompt with "> " before reading (a person at a terminal). Otherwise each
  // action read is echoed after "> ", so the transcript shows it.
  bool interactive = false;
};

class Console {
 public:
  Console(std::istream& in, std::ostream& out, Options options = {});

  // Makes this console answer the environment's message boxes and drive its
  // nested modal dialogs.
  void Attach(headless::Environment& env);

  // A command of the program's own (for example one that stands in for the
  // outside world). The handler gets the rest of the line and returns an
  // error text, or an empty string on success.
  void AddCommand(std::string name, std::string help, std::function<std::string(const std::string&)> run);

  // Runs the action loop on a dialog until it ends or the input ends (or
  // "quit"). Returns true when the dialog ended.
  bool Run(headless::Dialog& dialog);
  // The same for a property sheet; true when it was closed.
  bool RunSheet(headless::Sheet& sheet);

  // Texts as shown.
  static std::string Render(headless::Dialog& dialog);
  static std::string RenderSheet(headless::Sheet& sheet);
  static std::string RenderMessageBox(const ShownMessageBox& box);
  std::string Help() const;

  // Number of actions that failed (unknown action, unreachable control, ...).
  int Errors() const { return errors_; }

 private:
  bool ReadAction(std::string* line);
  // Applies one action to a dialog; returns an error text or "".
  std::string Apply(headless::Dialog& dialog, const std::string& line, bool* quit);
  std::string ApplySheet(headless::Sheet& sheet, const std::string& line, bool* quit, bool* handled);
  int AnswerMessageBox(const ShownMessageBox& box);
  std::optional<std::u16string> AnswerFolderDialog(std::u16string_view title);
  // The answer to a shell dialog: "<verb> <path>" chooses the path; "cancel"
  // (or anything else, reported as an error of `dialog`) closes it.
  std::optional<std::u16string> ReadChosenPath(const std::string& verb, const std::string& dialog);
  // console_file_dialog.cpp
  std::optional<std::u16string> AnswerFileDialog(const OpenFileRequest& request);
  void Report(const std::string& error);

  std::istream& in_;
  std::ostream& out_;
  Options options_;
  headless::Environment* env_ = nullptr;
  struct Extra {
    std::string help;
    std::function<std::string(const std::string&)> run;
  };
  std::map<std::string, Extra> extra_;
  bool input_ended_ = false;
  bool quit_ = false;
  bool greeted_ = false;
  int errors_ = 0;
};

}  // namespace kit::ui::console
