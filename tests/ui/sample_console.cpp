// Runs the setup wizard's sample dialogs in the console host:
//   ui_sample_console about|progress [--language FILE] [--script FILE]
// Without --script, actions are read from standard input (a person types
// them at a terminal). The progress dialog's install worker is played by the
// extra action "worker done" or "worker fail".
#include <atomic>
#include <iostream>
#include <memory>
#include <string>

#include "common/ini/profile_file.h"
#include "setup/about/about_dialog.h"
#include "setup/about/language_texts.h"
#include "setup/progress/progress_dialog.h"
#include "ui/console/action_source.h"
#include "ui/console/console.h"

namespace {

constexpr char kUsage[] = "usage: ui_sample_console about|progress [--language FILE] [--script FILE]\n";

kit::setup::MemoryLanguageTexts BuiltInTexts() {
  kit::setup::MemoryLanguageTexts t;
  t.Set("About", "Caption", "About Printer Driver Setup");
  t.Set("About", "Version", "Printer Driver Setup Version 3.1");
  t.Set("About", "Copyright", "Copyright (C) Veldran");
  t.Set("About", "OK", "OK");
  t.Set("Progress", "Wait", "Installing the printer driver, please wait...");
  return t;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2) {
    std::cerr << kUsage;
    return 2;
  }
  const std::string which = argv[1];
  std::string language, script;
  for (int i = 2; i + 1 < argc; i += 2) {
    const std::string flag = argv[i];
    if (flag == "--language") language = argv[i + 1];
    else if (flag == "--script") script = argv[i + 1];
    else {
      std::cerr << kUsage;
      return 2;
    }
  }

  kit::ini::HostFileSource files;
  const auto built_in = BuiltInTexts();
  std::unique_ptr<kit::setup::LanguageTexts> from_file;
  if (!language.empty()) from_file = std::make_unique<kit::setup::FileLanguageTexts>(files, language);
  const kit::setup::LanguageTexts& texts = from_file ? *from_file : static_cast<const kit::setup::LanguageTexts&>(built_in);

  kit::ui::console::ActionSource actions;
  if (!actions.Open(script)) {
    std::cerr << "cannot read " << script << "\n";
    return 2;
  }
  kit::ui::console::Console console(actions.stream(), std::cout, actions.options());
  kit::ui::headless::Environment env;
  console.Attach(env);

  std::atomic<int> state{kit::setup::kProgressRunning};
  std::unique_ptr<kit::ui::Page> page;
  if (which == "about") {
    page = std::make_unique<kit::setup::AboutDialog>(texts);
  } else if (which == "progress") {
    page = std::make_unique<kit::setup::ProgressDialog>(texts, state);
    console.AddCommand("worker", "done|fail   end the install worker", [&](const std::string& how) {
      if (how == "done") state = kit::setup::kProgressDone;
      else if (how == "fail") state = kit::setup::kProgressFailed;
      else return std::string("worker takes done or fail");
      return std::string();
    });
  } else {
    std::cerr << kUsage;
    return 2;
  }
  kit::ui::headless::Dialog dialog(*page, env);
  dialog.Create();
  const bool ended = console.Run(dialog);
  return ended && console.Errors() == 0 ? 0 : 1;
}
